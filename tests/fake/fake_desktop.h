// The desktop's top-level windows as a small model: styles, Z order, visibility, minimised and
// maximised states, owners, the foreground window and the focus. Window commands change the
// model as the system would, and every command is written to a log, because for activation the
// order of the calls is the behaviour.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/os.h"

namespace bk::fake {

class FakeLayoutWindow;

// WS_OVERLAPPEDWINDOW: caption, system menu, sizing frame, minimise and maximise boxes.
inline constexpr std::uint32_t kOverlappedWindow = 0x00CF0000;
inline constexpr std::uint32_t kAppWindowStyle = kOverlappedWindow | ws::Visible;

struct WindowTraits {
  std::string name;
  std::uint32_t style = kAppWindowStyle;
  std::uint32_t exStyle = 0;
  bool minimized = false;
  bool maximized = false;
  ThreadId thread = 0;    // 0: a thread of its own
  ProcessId process = 0;  // 0: a process of its own
  std::string image = "app.exe";
};

struct PostedMessage {
  WindowId window = 0;
  unsigned message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

class FakeDesktop final : public Desktop, public WindowControl {
 public:
  FakeDesktop();

  // Desktop
  WindowId Foreground() override;
  ThreadId WindowThreadProcess(WindowId window, ProcessId* processId) override;
  bool WindowInfoStyle(WindowId window, std::uint32_t* style) override;
  std::uint32_t Style(WindowId window) override;
  std::uint32_t ExStyle(WindowId window) override;
  bool IsZoomed(WindowId window) override;
  bool IsIconic(WindowId window) override;
  bool IsVisible(WindowId window) override;
  bool Exists(WindowId window) override;
  WindowId DesktopWindow() override { return kDesktopWindow; }
  WindowId TopChild(WindowId parent) override;
  WindowId NextBelow(WindowId window) override;
  // Other programs' windows have one name for their class and title.
  WindowId FindTopWindow(const char* className) override;

  // WindowControl
  bool Show(WindowId window, int command) override;
  bool SetForeground(WindowId window) override;
  void BringToTop(WindowId window) override;
  void SetActive(WindowId window) override;
  void SetFocus(WindowId window) override;
  void PlaceOnTop(WindowId window) override;
  void AttachInput(ThreadId from, ThreadId to, bool attach) override;
  void Post(WindowId window, unsigned message, std::uintptr_t wParam,
            std::intptr_t lParam) override;

  // Building the desktop. New windows go below the existing ones; the first window added
  // becomes the foreground window with the focus unless MakeForeground says otherwise.
  WindowId AddWindow(const WindowTraits& traits);
  // A window with a chosen id that belongs to a given thread and process; a process of 0 makes
  // GetWindowThreadProcessId report no process.
  WindowId AddWindowAs(WindowId id, ThreadId thread, ProcessId process);
  void SetProcessOf(WindowId window, ProcessId process);
  // A child window of `parent` that belongs to `process`, below the parent's other children.
  void AddChild(WindowId parent, WindowId child, ProcessId process);
  void Destroy(WindowId window);
  // The user brings `window` forward (0: no foreground window at all).
  void MakeForeground(WindowId window);

  // What the user sees.
  WindowId ForegroundWindow() const { return foreground_; }
  WindowId FocusWindow() const { return focus_; }
  bool Minimized(WindowId window) const;
  bool Maximized(WindowId window) const;
  bool Alive(WindowId window) const { return windows_.count(window) != 0; }
  const std::vector<WindowId>& ZOrder() const { return zOrder_; }
  const std::vector<PostedMessage>& PostedMessages() const { return posted_; }
  // Thread pairs whose input is still attached.
  const std::set<std::pair<ThreadId, ThreadId>>& Attached() const { return attached_; }
  ThreadId ThreadOf(WindowId window) const;
  ProcessId ProcessOf(WindowId window) const;
  std::string ImageOf(ProcessId process) const;
  std::string NameOf(WindowId window) const;

  // The window commands so far, one line each, such as "SetForegroundWindow(editor) -> 0".
  std::vector<std::string> log;
  void Note(std::string line) { log.push_back(std::move(line)); }

  // Fault switches.
  int failSetForegroundTimes = 0;  // the next N calls of SetForegroundWindow fail
  bool failSetForegroundAlways = false;
  bool failWindowInfo = false;
  bool zOrderLoops = false;  // windows keep moving: below the bottom one comes the top one again
  // Runs inside ShowWindow, before the command takes effect (a window that dies meanwhile).
  std::function<void(WindowId, int)> onShow;

  // The program's own windows (the input window and its buttons) live in this model; the
  // desktop answers for them from there, and records ShowWindow on them in `shows`.
  FakeLayoutWindow* ownWindows = nullptr;
  struct ShowCall {
    WindowId window = 0;
    int command = 0;
  };
  std::vector<ShowCall> shows;

  int nextBelowCalls = 0;
  static constexpr WindowId kDesktopWindow = 0x10010;
  static constexpr ThreadId kDesktopThread = 7;

 private:
  struct Window {
    std::string name;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    bool minimized = false;
    bool maximized = false;
    bool maximizeOnRestore = false;
    ThreadId thread = 0;
    ProcessId process = 0;
  };
  bool Own(WindowId window) const;
  Window* Find(WindowId window);
  const Window* Find(WindowId window) const;
  void MoveToTop(WindowId window);
  void LoseForeground(WindowId window);

  std::map<WindowId, Window> windows_;
  std::vector<WindowId> zOrder_;                        // top first
  std::map<WindowId, std::vector<WindowId>> children_;  // top first
  // Each window's place in zOrder_, rebuilt after the order changes.
  mutable std::map<WindowId, std::size_t> position_;
  mutable bool positionStale_ = true;
  std::map<ProcessId, std::string> images_;
  std::set<std::pair<ThreadId, ThreadId>> attached_;
  std::vector<PostedMessage> posted_;
  WindowId foreground_ = 0;
  WindowId focus_ = 0;
  WindowId active_ = 0;
  WindowId nextId_ = 0x20000;
  ThreadId nextThread_ = 100;
  ProcessId nextProcess_ = 4000;
};

}  // namespace bk::fake
