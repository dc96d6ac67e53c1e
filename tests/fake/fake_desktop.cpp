#include "fake/fake_desktop.h"

#include "fake/fake_layout_window.h"

#include <algorithm>
#include <cstdio>

namespace bk::fake {

namespace {

std::string Hex(std::uintmax_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%jX", value);
  return text;
}

}  // namespace

FakeDesktop::FakeDesktop() = default;

FakeDesktop::Window* FakeDesktop::Find(WindowId window) {
  const auto found = windows_.find(window);
  return found == windows_.end() ? nullptr : &found->second;
}

const FakeDesktop::Window* FakeDesktop::Find(WindowId window) const {
  const auto found = windows_.find(window);
  return found == windows_.end() ? nullptr : &found->second;
}

// ---- building and looking ------------------------------------------------------------------

WindowId FakeDesktop::AddWindow(const WindowTraits& traits) {
  const bool first = windows_.empty();
  nextId_ += 0x10;
  Window window;
  window.name = traits.name;
  window.style = traits.style;
  window.exStyle = traits.exStyle;
  window.minimized = traits.minimized;
  window.maximized = traits.maximized && !traits.minimized;
  window.maximizeOnRestore = traits.maximized && traits.minimized;
  window.thread = traits.thread != 0 ? traits.thread : nextThread_++;
  window.process = traits.process != 0 ? traits.process : nextProcess_++;
  images_[window.process] = traits.image;
  windows_[nextId_] = window;
  zOrder_.push_back(nextId_);
  positionStale_ = true;
  if (first && (traits.style & ws::Visible) != 0 && !traits.minimized) MakeForeground(nextId_);
  return nextId_;
}

WindowId FakeDesktop::AddWindowAs(WindowId id, ThreadId thread, ProcessId process) {
  Window window;
  window.style = kAppWindowStyle;
  window.thread = thread;
  window.process = process;
  if (windows_.count(id) == 0) zOrder_.push_back(id);
  windows_[id] = window;
  positionStale_ = true;
  return id;
}

void FakeDesktop::SetProcessOf(WindowId window, ProcessId process) {
  if (Window* found = Find(window)) found->process = process;
}

void FakeDesktop::AddChild(WindowId parent, WindowId child, ProcessId process) {
  windows_[child] = {.name = {}, .style = ws::Child, .thread = process + 1, .process = process};
  children_[parent].push_back(child);
}

void FakeDesktop::Destroy(WindowId window) {
  if (windows_.erase(window) == 0) return;
  zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), window), zOrder_.end());
  positionStale_ = true;
  LoseForeground(window);
}

void FakeDesktop::MakeForeground(WindowId window) {
  foreground_ = focus_ = active_ = window;
  if (window != 0) MoveToTop(window);
}

bool FakeDesktop::Minimized(WindowId window) const {
  const Window* found = Find(window);
  return found != nullptr && found->minimized;
}

bool FakeDesktop::Maximized(WindowId window) const {
  const Window* found = Find(window);
  return found != nullptr && found->maximized;
}

ThreadId FakeDesktop::ThreadOf(WindowId window) const {
  if (window == kDesktopWindow) return kDesktopThread;
  const Window* found = Find(window);
  return found == nullptr ? 0 : found->thread;
}

ProcessId FakeDesktop::ProcessOf(WindowId window) const {
  const Window* found = Find(window);
  return found == nullptr ? 0 : found->process;
}

std::string FakeDesktop::ImageOf(ProcessId process) const {
  const auto found = images_.find(process);
  return found == images_.end() ? std::string() : found->second;
}

std::string FakeDesktop::NameOf(WindowId window) const {
  if (window == 0) return "null";
  if (window == kDesktopWindow) return "desktop";
  const Window* found = Find(window);
  return found != nullptr && !found->name.empty() ? found->name : Hex(window);
}

void FakeDesktop::MoveToTop(WindowId window) {
  const auto at = std::find(zOrder_.begin(), zOrder_.end(), window);
  if (at == zOrder_.end()) return;
  std::rotate(zOrder_.begin(), at, at + 1);
  positionStale_ = true;
}

// A window that is minimised, hidden or destroyed gives up the foreground. The model picks no
// successor: bringing the next window forward is the program's job.
void FakeDesktop::LoseForeground(WindowId window) {
  if (foreground_ == window) foreground_ = 0;
  if (focus_ == window) focus_ = 0;
  if (active_ == window) active_ = 0;
}

// ---- Desktop -------------------------------------------------------------------------------

WindowId FakeDesktop::Foreground() {
  return foreground_;
}

ThreadId FakeDesktop::WindowThreadProcess(WindowId window, ProcessId* processId) {
  if (processId != nullptr) *processId = ProcessOf(window);
  return ThreadOf(window);
}

bool FakeDesktop::Own(WindowId window) const {
  return ownWindows != nullptr && ownWindows->Exists(window);
}

bool FakeDesktop::WindowInfoStyle(WindowId window, std::uint32_t* style) {
  if (Own(window)) {
    *style = ownWindows->At(window).style;
    return !failWindowInfo;
  }
  const Window* found = Find(window);
  if (failWindowInfo || found == nullptr) return false;
  *style = found->style;
  return true;
}

std::uint32_t FakeDesktop::Style(WindowId window) {
  if (Own(window)) return ownWindows->At(window).style;
  const Window* found = Find(window);
  return found == nullptr ? 0 : found->style;
}

std::uint32_t FakeDesktop::ExStyle(WindowId window) {
  if (Own(window)) return ownWindows->At(window).exStyle;
  const Window* found = Find(window);
  return found == nullptr ? 0 : found->exStyle;
}

bool FakeDesktop::IsZoomed(WindowId window) {
  return Maximized(window);
}

bool FakeDesktop::IsIconic(WindowId window) {
  return Minimized(window);
}

bool FakeDesktop::IsVisible(WindowId window) {
  if (Own(window)) return ownWindows->Visible(window);
  return (Style(window) & ws::Visible) != 0;
}

bool FakeDesktop::Exists(WindowId window) {
  return window == kDesktopWindow || Alive(window) || Own(window);
}

WindowId FakeDesktop::TopChild(WindowId parent) {
  const std::vector<WindowId>& children = parent == kDesktopWindow ? zOrder_ : children_[parent];
  return children.empty() ? 0 : children.front();
}

WindowId FakeDesktop::FindTopWindow(const char* className) {
  for (WindowId window : zOrder_) {
    if (windows_.at(window).name == className) return window;
  }
  return 0;
}

WindowId FakeDesktop::NextBelow(WindowId window) {
  ++nextBelowCalls;
  for (const auto& [parent, children] : children_) {
    const auto at = std::find(children.begin(), children.end(), window);
    if (at != children.end()) return at + 1 == children.end() ? 0 : at[1];
  }
  if (positionStale_) {
    position_.clear();
    for (std::size_t i = 0; i < zOrder_.size(); ++i) position_[zOrder_[i]] = i;
    positionStale_ = false;
  }
  const auto at = position_.find(window);
  if (at == position_.end()) return 0;
  if (at->second + 1 < zOrder_.size()) return zOrder_[at->second + 1];
  // Far past any sane bound the loop stops, so a walk without one fails instead of hanging.
  return zOrderLoops && nextBelowCalls < 1000000 ? zOrder_.front() : 0;
}

// ---- WindowControl -------------------------------------------------------------------------

bool FakeDesktop::Show(WindowId window, int command) {
  if (Own(window)) {
    shows.push_back({window, command});
    const bool wasVisible = (ownWindows->At(window).style & ws::Visible) != 0;
    ownWindows->SetVisible(window, command != sw::Hide);
    return wasVisible;
  }
  Note("ShowWindow(" + NameOf(window) + ", " + std::to_string(command) + ")");
  if (onShow) onShow(window, command);
  Window* found = Find(window);
  if (found == nullptr) return false;
  const bool wasVisible = (found->style & ws::Visible) != 0;
  if (command == sw::Hide) {
    found->style &= ~ws::Visible;
    LoseForeground(window);
    return wasVisible;
  }
  found->style |= ws::Visible;
  switch (command) {
    case sw::ShowNormal:
    case sw::Restore:
      if (found->minimized) {
        found->minimized = false;
        found->maximized = found->maximizeOnRestore;
      } else {
        found->maximized = false;
      }
      break;
    case sw::Maximize:
      found->minimized = false;
      found->maximized = true;
      break;
    case sw::Minimize:
      if (!found->minimized) found->maximizeOnRestore = found->maximized;
      found->minimized = true;
      found->maximized = false;
      LoseForeground(window);
      break;
    default:
      break;  // SW_SHOW, SW_SHOWNOACTIVATE: shown in the state it has
  }
  return wasVisible;
}

bool FakeDesktop::SetForeground(WindowId window) {
  bool ok = Alive(window);
  if (ok && failSetForegroundAlways) ok = false;
  if (ok && failSetForegroundTimes > 0) {
    --failSetForegroundTimes;
    ok = false;
  }
  Note("SetForegroundWindow(" + NameOf(window) + ") -> " + (ok ? "1" : "0"));
  if (ok) MakeForeground(window);
  return ok;
}

void FakeDesktop::BringToTop(WindowId window) {
  Note("BringWindowToTop(" + NameOf(window) + ")");
  MoveToTop(window);
}

void FakeDesktop::SetActive(WindowId window) {
  Note("SetActiveWindow(" + NameOf(window) + ")");
  if (Alive(window)) active_ = window;
}

// The focus belongs to the foreground window's thread: another program's window cannot take
// it before it is in the foreground.
void FakeDesktop::SetFocus(WindowId window) {
  Note("SetFocus(" + NameOf(window) + ")");
  if (Alive(window) && window == foreground_) focus_ = window;
}

void FakeDesktop::PlaceOnTop(WindowId window) {
  Note("SetWindowPos(" + NameOf(window) + ", HWND_TOP)");
  MoveToTop(window);
}

void FakeDesktop::AttachInput(ThreadId from, ThreadId to, bool attach) {
  Note("AttachThreadInput(" + std::to_string(from) + ", " + std::to_string(to) + ", " +
       (attach ? "1" : "0") + ")");
  if (attach) {
    attached_.insert({from, to});
  } else {
    attached_.erase({from, to});
  }
}

void FakeDesktop::Post(WindowId window, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
  Note("PostMessageA(" + NameOf(window) + ", " + Hex(message) + ", " + Hex(wParam) + ", " +
       std::to_string(lParam) + ")");
  Window* found = Find(window);
  if (found == nullptr) return;
  posted_.push_back({window, message, wParam, lParam});
  // What the window's default procedure makes of the message once it arrives.
  if (message == msg::Close) {
    Destroy(window);
  } else if (message == msg::SysCommand && wParam == msg::ScRestore && found->minimized) {
    found->minimized = false;
    found->maximized = found->maximizeOnRestore;
  }
}

}  // namespace bk::fake
