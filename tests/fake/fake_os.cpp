#include "fake/fake_os.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/timers.h"
#include "osd/keyboard_hook.h"
#include "platform/us_layout.h"

namespace bk::fake {

namespace {

std::string Hex(std::uintmax_t value, const char* format = "0x%jX") {
  char text[24];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// A colour as RGB, though a COLORREF holds it as BGR.
std::string RgbText(Colour c) {
  return Hex((c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF), " #%06jx");
}

}  // namespace

// ---- keyboard ------------------------------------------------------------------------------

unsigned FakeOs::SendKeys(std::span<const KeyInput> events) {
  callsWhileHooked += hook != 0;
  log.push_back("SendInput(" + std::to_string(events.size()) + ")");
  calls.emplace_back(events.begin(), events.end());
  for (const KeyInput& event : events) {
    SetDown(event.vk & 0xFF, (event.flags & kKeyEventKeyUp) == 0);
    programDown_[event.vk & 0xFF] = (event.flags & kKeyEventKeyUp) == 0;
    stream_.push_back(event);
  }
  return static_cast<unsigned>(events.size());
}

void FakeOs::SetDown(std::uint8_t vk, bool isDown) {
  if (isDown && vk == vk::Capital && !down[vk]) capsLock = !capsLock;
  down[vk] = isDown;
  // The side-neutral codes follow their left and right keys, as GetAsyncKeyState reports them.
  for (int side : {vk::Shift, vk::Control, vk::Menu}) {
    down[side] =
        down[vk::LShift + 2 * (side - vk::Shift)] || down[vk::RShift + 2 * (side - vk::Shift)];
  }
}

KeyValue FakeOs::KeyForChar(char ch) {
  return layout.count(ch) != 0 ? layout[ch] : UsLayoutKeyForChar(ch);
}

bool FakeOs::Hooked(const KeyInput& event) {
  if (hook == 0) return false;
  const bool up = (event.flags & kKeyEventKeyUp) != 0;
  // With Alt down and Ctrl up, keys arrive as system keys.
  const bool system = down[vk::Menu] && !down[vk::Control];
  const std::uintptr_t message = (system ? kWmSysKeyDown : kWmKeyDown) + up;
  ++depth_;
  const bool swallowed = KeyboardHookProc(kHcAction, message, {event.vk, 0, event.extraInfo}, 0);
  --depth_;
  return swallowed;
}

void FakeOs::Input(std::uint8_t vk, bool isDown, std::uintptr_t extraInfo) {
  Deliver();
  userHolds_[vk] = isDown;
  const KeyInput event{vk, ScanCode(vk), isDown ? 0 : kKeyEventKeyUp, extraInfo};
  if (!Hooked(event)) {
    SetDown(vk, isDown);
    received_.push_back(event);
  }
  Deliver();
}

void FakeOs::Callback(const std::function<void()>& handler) {
  ++depth_;
  handler();
  --depth_;
  Deliver();
}

void FakeOs::Deliver() {
  for (int delivered = 0; depth_ == 0 && !stream_.empty(); stream_.pop_front()) {
    if (++delivered > 1000) {
      ranAway = true;
      return stream_.clear();
    }
    // The key state already follows the program's keys; only their way through the hook is left.
    if (!Hooked(stream_.front())) received_.push_back(stream_.front());
  }
}

const std::vector<KeyInput>& FakeOs::Received() {
  Deliver();
  return received_;
}

std::vector<std::uint8_t> FakeOs::HeldByProgram() const {
  std::vector<std::uint8_t> held;
  for (int vk = 0; vk < 256; ++vk) {
    if (programDown_[vk] && down[vk] && !userHolds_[vk]) held.push_back(std::uint8_t(vk));
  }
  return held;
}

// ---- timers --------------------------------------------------------------------------------

void FakeOs::Advance(std::uint64_t ms) {
  const std::uint64_t end = now + ms;
  const auto byDue = [](auto& a, auto& b) { return a.second.second < b.second.second; };
  for (auto next = std::min_element(timers.begin(), timers.end(), byDue);
       next != timers.end() && next->second.second <= end;
       next = std::min_element(timers.begin(), timers.end(), byDue)) {
    const TimerId id = next->first;
    now = next->second.second;
    // A timer that its handler does not stop fires again after its period.
    next->second.second = now + std::max(1u, next->second.first);
    Callback([id] { OnInputWindowTimer(id); });
  }
  now = end;
}

// ---- other programs' windows ---------------------------------------------------------------

WindowId FakeOs::AddWindow(Window window, WindowId id) {
  id = id != 0 ? id : (nextWindow_ += 0x10);
  window.thread = window.thread != 0 ? window.thread : ThreadId(100 + windows.size());
  window.process = window.process != 0 ? window.process : ProcessId(4000 + windows.size());
  windows[id] = window;
  zOrder.push_back(id);
  if (zOrder.size() == 1 && window.visible && !window.minimized) MakeForeground(id);
  return id;
}

Window& FakeOs::Find(WindowId window) {
  static Window gone;
  if (windows.count(window) != 0) return windows[window];
  gone = {.style = 0, .visible = false};
  return gone;
}

std::string FakeOs::Name(WindowId window) {
  const std::string& name = Find(window).name;
  return window == kDesktop ? "desktop" : name.empty() ? Hex(window) : name;
}

void FakeOs::Note(const std::string& call, WindowId window, const std::string& more) {
  log.push_back(call + "(" + Name(window) + more + ")");
}

void FakeOs::MoveToTop(WindowId window) {
  const auto at = std::find(zOrder.begin(), zOrder.end(), window);
  if (at != zOrder.end()) std::rotate(zOrder.begin(), at, at + 1);
}

void FakeOs::MakeForeground(WindowId window) {
  foreground = focus = window;
  MoveToTop(window);
}

void FakeOs::Destroy(WindowId window) {
  windows.erase(window);
  zOrder.erase(std::remove(zOrder.begin(), zOrder.end(), window), zOrder.end());
  if (foreground == window) foreground = focus = 0;
}

ThreadId FakeOs::WindowThreadProcess(WindowId window, ProcessId* processId) {
  if (processId != nullptr) *processId = Find(window).process;
  return window == kDesktop ? 7 : Find(window).thread;
}

bool FakeOs::WindowInfoStyle(WindowId window, std::uint32_t* style) {
  *style = Find(window).style;
  return !failWindowInfo && windows.count(window) != 0;
}

WindowId FakeOs::TopChild(WindowId parent) {
  return parent == kDesktop && !zOrder.empty() ? zOrder.front() : 0;
}

WindowId FakeOs::NextBelow(WindowId window) {
  auto at = std::find(zOrder.begin(), zOrder.end(), window);
  if (at == zOrder.end()) return 0;
  return ++at != zOrder.end() ? *at : zOrderLoops ? zOrder.front() : 0;
}

bool FakeOs::Show(WindowId window, int command) {
  if (Find(window).className.empty()) Note("ShowWindow", window, ", " + std::to_string(command));
  if (onShow) onShow();
  Window& w = Find(window);
  const bool was = w.visible;
  w.visible = command != sw::Hide;
  w.style = w.visible ? w.style | ws::Visible : w.style & ~ws::Visible;
  if (command == sw::ShowNormal || command == sw::Restore) {
    (w.minimized ? w.minimized : w.maximized) = false;
  } else if (command == sw::Maximize) {
    w.minimized = false;
    w.maximized = true;
  }
  w.minimized |= command == sw::Minimize;
  // A window that is hidden or minimised gives up the foreground; no successor is chosen.
  if ((!w.visible || w.minimized) && foreground == window) foreground = focus = 0;
  return was;
}

bool FakeOs::SetForeground(WindowId window) {
  const bool ok = windows.count(window) != 0 && failSetForeground == 0;
  failSetForeground -= failSetForeground > 0;
  log.push_back("SetForegroundWindow(" + Name(window) + ") -> " + "01"[ok]);
  if (ok) MakeForeground(window);
  return ok;
}

void FakeOs::BringToTop(WindowId window) {
  Note("BringWindowToTop", window);
  MoveToTop(window);
}

void FakeOs::PlaceOnTop(WindowId window) {
  Note("SetWindowPos", window, ", HWND_TOP");
  MoveToTop(window);
}

// The focus belongs to the foreground window's thread: another program's window cannot take it
// before it is in the foreground.
void FakeOs::SetFocus(WindowId window) {
  Note("SetFocus", window);
  if (window == foreground && windows.count(window) != 0) focus = window;
}

void FakeOs::AttachInput(ThreadId from, ThreadId to, bool attach) {
  log.push_back("AttachThreadInput(" + std::to_string(from) + ", " + std::to_string(to) + ", " +
                "01"[attach] + ")");
  if (attach) {
    attached.insert({from, to});
  } else {
    attached.erase({from, to});
  }
}

void FakeOs::Post(WindowId window, unsigned message, std::uintptr_t wParam, std::intptr_t) {
  Note("PostMessageA", window, ", " + Hex(message) + ", " + Hex(wParam));
  // What the window's default procedure makes of the message once it arrives.
  if (message == msg::Close) Destroy(window);
  if (message == msg::SysCommand && wParam == msg::ScRestore) Find(window).minimized = false;
}

// ---- processes, kernel objects, registry ---------------------------------------------------

KernelHandle FakeOs::NewHandle(const std::u16string& what) {
  handles[++nextHandle_] = what;
  return nextHandle_;
}

KernelHandle FakeOs::OpenForQuery(ProcessId id) {
  ++processOpens;
  if (images.count(id) == 0) return 0;
  const KernelHandle handle = NewHandle(u"a process");
  processOf_[handle] = id;
  return handle;
}

std::uint32_t FakeOs::ImageFileName(KernelHandle process, char* buffer, std::uint32_t size) {
  const std::string& name = images[processOf_[process]];
  // As documented, a name that does not fit fails; some systems cut it to the buffer instead.
  if (name.size() >= size && !cutLongImageNames) return 0;
  const std::size_t length = std::min<std::size_t>(name.size(), size);
  std::memcpy(buffer, name.data(), length);
  if (length < size) buffer[length] = '\0';
  return static_cast<std::uint32_t>(length);
}

MutexResult FakeOs::CreateOwnedMutex(const char* name) {
  if (failCreateMutex) return {0, kErrorAccessDenied};
  return {NewHandle(u"the instance mutex"), mutexes.count(name) != 0 ? kErrorAlreadyExists : 0};
}

MutexResult FakeOs::OpenSyncMutex(const char* name) {
  if (deniedMutexes.count(name) != 0) return {0, kErrorAccessDenied};
  if (mutexes.count(name) == 0) return {0, 2};  // ERROR_FILE_NOT_FOUND
  return {NewHandle(u"a sibling's mutex"), 0};
}

std::uint32_t FakeOs::ModuleFileName(char* buffer, std::uint32_t size) {
  // As GetModuleFileNameA: a path that does not fit is cut, and the buffer's size returned.
  const std::size_t length = std::min<std::size_t>(modulePath.size(), size);
  std::memcpy(buffer, modulePath.data(), length);
  buffer[std::min<std::size_t>(length, size - 1)] = '\0';
  return static_cast<std::uint32_t>(length);
}

bool FakeOs::OsMajorVersion(std::uint32_t* major) {
  *major = osMajor;
  return !failVersion;
}

// As RegQueryValueExW: a value larger than the buffer fails and reports the size it needs;
// otherwise its bytes are copied as stored, terminator or not.
bool FakeOs::QueryValue(KernelHandle key, const char16_t* name, void* buffer, std::uint32_t* size) {
  if (registry[handles.at(key)].count(name) == 0) return false;
  const std::vector<std::uint8_t>& bytes = registry[handles.at(key)][name];
  const bool fits = bytes.size() <= *size;
  *size = static_cast<std::uint32_t>(bytes.size());
  if (fits) std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(buffer));
  return fits;
}

void FakeOs::Open(const char16_t* file, const char16_t* parameters) {
  launches.emplace_back();
  for (const char16_t* text : {file, u" ", parameters}) {
    for (; *text != 0; ++text) launches.back() += static_cast<char>(*text);
  }
}

// ---- raw input -----------------------------------------------------------------------------

std::uint32_t FakeOs::ReadRecord(std::intptr_t handle, void* buffer, std::uint32_t* size) {
  const std::vector<std::uint8_t>& record = records[handle];
  if (buffer == nullptr) *size = static_cast<std::uint32_t>(record.size());
  if (buffer == nullptr || *size < record.size()) return buffer == nullptr ? 0 : kRawReadError;
  std::copy(record.begin(), record.end() - shortRead, static_cast<std::uint8_t*>(buffer));
  return static_cast<std::uint32_t>(record.size() - shortRead);
}

bool FakeOs::DeviceCollection(std::uintptr_t device, HidCollection* collection) {
  if (devices.count(device) != 0) *collection = devices[device];
  return devices.count(device) != 0;
}

bool FakeOs::Register(std::span<const RawDeviceRegistration> list) {
  registrations.assign(list.begin(), list.end());
  return true;
}

// ---- the program's own window ----------------------------------------------------------------

bool FakeOs::RegisterInputClass(const WindowClassValues& values) {
  classes.push_back(values);
  return !failRegisterClass;
}

WindowId FakeOs::CreateInputWindow(const WindowValues& v) {
  created.push_back(v);
  if (failCreateWindow) return 0;
  windows[0x5000] = {.style = v.style,
                     .exStyle = v.exStyle,
                     .visible = (v.style & ws::Visible) != 0,
                     .className = v.className,
                     .rect = {v.x, v.y, v.x + v.width, v.y + v.height}};
  return 0x5000;
}

void FakeOs::RunMessageLoop() {
  ++loops;
  if (whileLooping) whileLooping();
}

void FakeOs::MakeTopmost(WindowId window, int width, int height) {
  Rect& rect = Find(window).rect;
  rect = {rect.left, rect.top, rect.left + width, rect.top + height};
}

bool FakeOs::WindowRect(WindowId window, Rect* rect) {
  *rect = Find(window).rect;
  return windows.count(window) != 0;
}

void FakeOs::Invalidate(WindowId window, const Rect* rect, bool) {
  invalidated.push_back(window);
  if (window == kDesktop && rect != nullptr) repaintedUnder = *rect;
}

bool FakeOs::SetAlpha(WindowId window, std::uint8_t alpha) {
  // As the system: only a layered window takes layered attributes.
  if ((Find(window).exStyle & ws::ExLayered) == 0) return false;
  alphas.push_back(Find(window).alpha = alpha);
  return true;
}

void FakeOs::SetExStyle(WindowId window, std::uint32_t exStyle) {
  Window& w = Find(window);
  // Leaving the layered state drops the attributes; becoming layered again starts with none.
  if (((exStyle ^ w.exStyle) & ws::ExLayered) != 0) w.alpha = -1;
  w.exStyle = exStyle;
}

WindowId FakeOs::CreateChild(const ChildValues& v) {
  if (childrenBeforeFailure == 0 || windows.count(v.parent) == 0) return 0;
  childrenBeforeFailure -= childrenBeforeFailure > 0;
  windows[nextWindow_ += 0x10] = {.style = v.style,
                                  .visible = (v.style & ws::Visible) != 0,
                                  .parent = v.parent,
                                  .className = v.className,
                                  .rect = {v.x, v.y, v.x + v.width, v.y + v.height}};
  return nextWindow_;
}

// ---- canvas and typed text -----------------------------------------------------------------

void RecordingCanvas::Add(const std::string& op, std::initializer_list<int> numbers,
                          const std::string& more) {
  ops += (ops.empty() ? "" : "; ") + op;
  for (int n : numbers) ops += " " + std::to_string(n);
  ops += more;
}

void RecordingCanvas::Frame(const Rect& r, Colour colour) {
  Add("F" + std::to_string(r.left), {r.top, r.right, r.bottom}, RgbText(colour));
}

void RecordingCanvas::Text(int x, int y, std::string_view text, FontHandle font, Colour colour,
                           TextAlign align) {
  Add("T'" + std::string(text) + "'", {x, y},
      " f" + std::to_string(font) + RgbText(colour) + " " + "lrc"[static_cast<int>(align)]);
}

namespace {

// The character that a key gives, or 0 when it gives none.
char CharOf(std::uint8_t code, bool shift) {
  if (code >= 'A' && code <= 'Z') return static_cast<char>(shift ? code : code - 'A' + 'a');
  if (code >= '0' && code <= '9') return shift ? ")!@#$%^&*("[code - '0'] : static_cast<char>(code);
  if (code >= vk::Numpad0 && code <= vk::Numpad0 + 9) return static_cast<char>('0' + code - 0x60);
  const std::size_t at =
      std::string_view("\x20\xBA\xBB\xBC\xBD\xBE\xBF\xC0\xDB\xDC\xDD\xDE").find(char(code));
  return at == std::string_view::npos ? 0 : (shift ? " :+<_>?~{|}\"" : " ;=,-./`[\\]'")[at];
}

}  // namespace

std::string TypedText(const std::vector<KeyInput>& events) {
  static const std::map<int, std::string> kNames = {
      {vk::Back, "back"},  {vk::Tab, "tab"},    {vk::Return, "enter"}, {vk::Escape, "esc"},
      {vk::Prior, "pgup"}, {vk::Next, "pgdn"},  {vk::End, "end"},      {vk::Home, "home"},
      {vk::Left, "left"},  {vk::Up, "up"},      {vk::Right, "right"},  {vk::Down, "down"},
      {vk::Insert, "ins"}, {vk::Delete, "del"}, {vk::Apps, "menu"},    {vk::Space, "space"}};
  bool down[256] = {};
  bool caps = false;
  std::string text;
  for (const KeyInput& event : events) {
    const std::uint8_t code = event.vk & 0xFF;
    const bool up = (event.flags & kKeyEventKeyUp) != 0;
    caps ^= code == vk::Capital && !up && !down[code];
    down[code] = !up;
    const bool shift = down[vk::Shift] || down[vk::LShift] || down[vk::RShift];
    const bool ctrl = down[vk::LControl] || down[vk::RControl];
    const bool alt = down[vk::LMenu] || down[vk::RMenu];
    const bool win = down[vk::LWin];
    const bool modifier = code == vk::Capital || code == vk::LWin ||
                          (code >= vk::Shift && code <= vk::Menu) ||
                          (code >= vk::LShift && code <= vk::RMenu);
    if (up || modifier) continue;
    const char ch = CharOf(code, code >= 'A' && code <= 'Z' ? shift != caps : shift);
    if (!ctrl && !alt && !win && ch != 0) {
      text += ch;
      continue;
    }
    const std::string name = kNames.count(code) != 0 ? kNames.at(code)
                             : code >= vk::F1 && code < vk::F1 + 12
                                 ? "f" + std::to_string(code - vk::F1 + 1)
                                 : std::string(1, CharOf(code, false));
    text += std::string("<") + (ctrl ? "ctrl+" : "") + (alt ? "alt+" : "") + (win ? "win+" : "") +
            (shift && (ch == 0 || ctrl || alt || win) ? "shift+" : "") + name + ">";
  }
  return text;
}

}  // namespace bk::fake
