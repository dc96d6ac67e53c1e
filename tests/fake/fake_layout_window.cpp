#include "fake/fake_layout_window.h"

namespace bk::fake {

FakeLayoutWindow::FakeLayoutWindow() {
  metrics[kSmCxFullScreen] = 1280;
  metrics[kSmCyFullScreen] = 1004;  // the screen less a caption bar's height
  FakeWindow desktop;
  desktop.className = "#32769";
  desktop.style = ws::Visible;
  desktop.rect = {0, 0, 1280, 1024};
  windows_[kDesktopWindow] = desktop;
}

FakeWindow* FakeLayoutWindow::Find(WindowId id) {
  const auto found = windows_.find(id);
  return found == windows_.end() ? nullptr : &found->second;
}

void FakeLayoutWindow::AddTopLevel(WindowId id, const FakeWindow& window) {
  windows_[id] = window;
}

bool FakeLayoutWindow::Visible(WindowId id) const {
  for (WindowId at = id; at != 0;) {
    const auto found = windows_.find(at);
    if (found == windows_.end() || (found->second.style & ws::Visible) == 0) return false;
    at = found->second.parent;
  }
  return id != 0;
}

void FakeLayoutWindow::SetVisible(WindowId id, bool visible) {
  if (FakeWindow* window = Find(id)) {
    window->style = visible ? window->style | ws::Visible : window->style & ~ws::Visible;
  }
}

std::vector<WindowId> FakeLayoutWindow::ChildrenOf(WindowId parent,
                                                   const std::string& className) const {
  std::vector<WindowId> children;
  for (const auto& [id, window] : windows_) {
    if (window.parent == parent && window.className == className) children.push_back(id);
  }
  return children;
}

Rect FakeLayoutWindow::ScreenRect(WindowId id) const {
  Rect rect = windows_.at(id).rect;
  for (WindowId at = windows_.at(id).parent; at != 0; at = windows_.at(at).parent) {
    const Rect& outer = windows_.at(at).rect;
    rect = {rect.left + outer.left, rect.top + outer.top, rect.right + outer.left,
            rect.bottom + outer.top};
  }
  return rect;
}

void FakeLayoutWindow::MakeTopmost(WindowId window, int width, int height) {
  ++topmostCalls;
  if (FakeWindow* w = Find(window)) {
    w->topmost = true;
    w->rect.right = w->rect.left + width;
    w->rect.bottom = w->rect.top + height;
  }
}

void FakeLayoutWindow::Move(WindowId window, int x, int y, int width, int height, bool) {
  moves.push_back({x, y, x + width, y + height});
  if (FakeWindow* w = Find(window)) w->rect = {x, y, x + width, y + height};
}

bool FakeLayoutWindow::WindowRect(WindowId window, Rect* rect) {
  if (failWindowRect || !Exists(window)) return false;
  *rect = ScreenRect(window);
  return true;
}

int FakeLayoutWindow::SystemMetric(int index) {
  const auto found = metrics.find(index);
  return found == metrics.end() ? 0 : found->second;
}

void FakeLayoutWindow::Invalidate(WindowId window, const Rect* rect, bool erase) {
  invalidations.push_back({window, rect ? std::optional<Rect>(*rect) : std::nullopt, erase});
}

bool FakeLayoutWindow::SetAlpha(WindowId window, std::uint8_t alpha) {
  FakeWindow* w = Find(window);
  // As the system: only a layered window takes layered attributes.
  if (w == nullptr || (w->exStyle & ws::ExLayered) == 0) return false;
  w->alpha = alpha;
  alphasApplied.push_back(alpha);
  return true;
}

void FakeLayoutWindow::SetExStyle(WindowId window, std::uint32_t exStyle) {
  FakeWindow* w = Find(window);
  if (w == nullptr) return;
  // Leaving the layered state drops the attributes; becoming layered again starts with none.
  if ((exStyle & ws::ExLayered) == 0 || (w->exStyle & ws::ExLayered) == 0) w->alpha = -1;
  w->exStyle = exStyle;
}

WindowId FakeLayoutWindow::CreateChild(const ChildValues& values) {
  if (childrenBeforeFailure == 0 || !Exists(values.parent)) return 0;
  if (childrenBeforeFailure > 0) --childrenBeforeFailure;
  FakeWindow child;
  child.className = values.className;
  child.style = values.style;
  child.parent = values.parent;
  child.rect = {values.x, values.y, values.x + values.width, values.y + values.height};
  const WindowId id = ++nextChild_;
  windows_[id] = child;
  return id;
}

void FakeLayoutWindow::SetUserData(WindowId window, std::intptr_t value) {
  if (FakeWindow* w = Find(window)) w->userData = value;
}

std::intptr_t FakeLayoutWindow::UserData(WindowId window) {
  const FakeWindow* w = Find(window);
  return w ? w->userData : 0;
}

void FakeLayoutWindow::SetClassBackgroundBlack(WindowId window) {
  blackClassBackground.insert(window);
}

std::uint32_t FakeLayoutWindow::ButtonState(WindowId button) {
  const FakeWindow* w = Find(button);
  return w ? w->buttonState : 0;
}

// ---- canvas --------------------------------------------------------------------------------

void RecordingCanvas::Blit(int bitmapId, int x, int y) {
  CanvasOp op;
  op.kind = CanvasOp::Kind::Blit;
  op.bitmap = bitmapId;
  op.x = x;
  op.y = y;
  ops.push_back(op);
}

void RecordingCanvas::Stretch(int bitmapId, const Rect& target) {
  CanvasOp op;
  op.kind = CanvasOp::Kind::Stretch;
  op.bitmap = bitmapId;
  op.rect = target;
  ops.push_back(op);
}

void RecordingCanvas::Frame(const Rect& rect, Colour colour) {
  CanvasOp op;
  op.kind = CanvasOp::Kind::Frame;
  op.rect = rect;
  op.colour = colour;
  ops.push_back(op);
}

void RecordingCanvas::Text(int x, int y, std::string_view text, FontHandle font, Colour colour,
                           TextAlign align) {
  CanvasOp op;
  op.kind = CanvasOp::Kind::Text;
  op.x = x;
  op.y = y;
  op.text = std::string(text);
  op.font = font;
  op.colour = colour;
  op.align = align;
  ops.push_back(op);
}

std::vector<const CanvasOp*> RecordingCanvas::Of(CanvasOp::Kind kind) const {
  std::vector<const CanvasOp*> found;
  for (const CanvasOp& op : ops) {
    if (op.kind == kind) found.push_back(&op);
  }
  return found;
}

}  // namespace bk::fake
