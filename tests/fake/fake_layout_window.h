// The program's own windows in the fake machine: the input window and its children, with their
// styles, placement, layering, user data and button states, and what was asked of them. The
// Desktop and WindowControl views here cover these windows only.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/os.h"

namespace bk::fake {

struct FakeWindow {
  std::string className;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  Rect rect;  // screen coordinates for a top-level window, the parent's client area for a child
  WindowId parent = 0;
  bool topmost = false;
  int alpha = -1;  // the layered alpha; -1 while none is set since the window became layered
  std::intptr_t userData = 0;
  std::uint32_t buttonState = 0;  // BST_* bits that BM_GETSTATE reports
};

class FakeLayoutWindow final : public LayoutWindow {
 public:
  FakeLayoutWindow();

  void MakeTopmost(WindowId window, int width, int height) override;
  void Move(WindowId window, int x, int y, int width, int height, bool repaint) override;
  bool WindowRect(WindowId window, Rect* rect) override;
  int SystemMetric(int index) override;
  void Invalidate(WindowId window, const Rect* rect, bool erase) override;
  bool SetAlpha(WindowId window, std::uint8_t alpha) override;
  void SetExStyle(WindowId window, std::uint32_t exStyle) override;
  WindowId CreateChild(const ChildValues& values) override;
  void SetUserData(WindowId window, std::intptr_t value) override;
  std::intptr_t UserData(WindowId window) override;
  void SetClassBackgroundBlack(WindowId window) override;
  std::uint32_t ButtonState(WindowId button) override;

  // A top-level window (the shell's input window) joins the model.
  void AddTopLevel(WindowId id, const FakeWindow& window);
  bool Exists(WindowId id) const { return windows_.count(id) != 0; }
  FakeWindow& At(WindowId id) { return windows_.at(id); }
  // As IsWindowVisible: the window and every ancestor have WS_VISIBLE.
  bool Visible(WindowId id) const;
  void SetVisible(WindowId id, bool visible);
  std::vector<WindowId> ChildrenOf(WindowId parent, const std::string& className) const;
  // Where a child lies on the screen.
  Rect ScreenRect(WindowId id) const;

  static constexpr WindowId kDesktopWindow = 0x10010;  // the same as FakeDesktop's
  std::map<int, int> metrics;  // GetSystemMetrics; SM_C[XY]FULLSCREEN of a 1280 x 1024 screen

  struct Invalidation {
    WindowId window = 0;
    std::optional<Rect> rect;
    bool erase = false;
  };
  std::vector<Invalidation> invalidations;
  std::vector<int> alphasApplied;  // every alpha that SetLayeredWindowAttributes took
  std::vector<Rect> moves;         // every MoveWindow, as the rectangle asked for
  int topmostCalls = 0;
  std::set<WindowId> blackClassBackground;  // buttons whose class background was set

  // Faults: child creation fails once this many more children were made (-1: never).
  int childrenBeforeFailure = -1;
  bool failWindowRect = false;

 private:
  FakeWindow* Find(WindowId id);
  std::map<WindowId, FakeWindow> windows_;
  WindowId nextChild_ = 0x7000;
};

// A canvas that records what was asked of it, in order.
struct CanvasOp {
  enum class Kind { Blit, Stretch, Frame, Text };
  Kind kind = Kind::Blit;
  int bitmap = 0;
  Rect rect;  // Stretch and Frame
  int x = 0, y = 0;
  std::string text;
  FontHandle font = 0;
  Colour colour = 0;
  TextAlign align = TextAlign::LeftTop;
};

class RecordingCanvas final : public Canvas {
 public:
  void Blit(int bitmapId, int x, int y) override;
  void Stretch(int bitmapId, const Rect& target) override;
  void Frame(const Rect& rect, Colour colour) override;
  void Text(int x, int y, std::string_view text, FontHandle font, Colour colour,
            TextAlign align) override;

  std::vector<CanvasOp> ops;
  std::vector<const CanvasOp*> Of(CanvasOp::Kind kind) const;
};

}  // namespace bk::fake
