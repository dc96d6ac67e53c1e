#include "fake/fake_os.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/timers.h"
#include "osd/keyboard_hook.h"
#include "platform/us_layout.h"

namespace bk::fake {

namespace {

std::string Hex(std::uintmax_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%jX", value);
  return text;
}

}  // namespace

void FakeOs::Use() {
  InstallOs({this, this, this, this, this, this, this, this, this, this, this, this});
}

// ---- keyboard ------------------------------------------------------------------------------

unsigned FakeOs::SendKeys(std::span<const KeyInput> events) {
  if (hook != 0) ++callsWhileHooked;
  Note("SendInput(" + std::to_string(events.size()) + ")");
  calls.emplace_back(events.begin(), events.end());
  for (const KeyInput& event : events) {
    const bool isDown = (event.flags & kKeyEventKeyUp) == 0;
    SetDown(static_cast<std::uint8_t>(event.vk), isDown);
    programDown_[event.vk & 0xFF] = isDown;
    stream_.push_back(event);
  }
  return static_cast<unsigned>(events.size());
}

void FakeOs::SetDown(std::uint8_t vk, bool isDown) {
  if (isDown && vk == vk::Capital && !down[vk]) capsLock = !capsLock;
  down[vk] = isDown;
  // The side-neutral codes follow their left and right keys, as GetAsyncKeyState reports them.
  down[vk::Shift] = down[vk::LShift] || down[vk::RShift];
  down[vk::Control] = down[vk::LControl] || down[vk::RControl];
  down[vk::Menu] = down[vk::LMenu] || down[vk::RMenu];
}

KeyValue FakeOs::KeyForChar(char ch) {
  const auto found = layout.find(ch);
  return found != layout.end() ? found->second : UsLayoutKeyForChar(ch);
}

bool FakeOs::Hooked(const KeyInput& event) {
  if (hook == 0) return false;
  const bool up = (event.flags & kKeyEventKeyUp) != 0;
  // With Alt down and Ctrl up, keys arrive as system keys.
  const bool system = down[vk::Menu] && !down[vk::Control];
  const std::uintptr_t message =
      system ? (up ? kWmSysKeyUp : kWmSysKeyDown) : (up ? kWmKeyUp : kWmKeyDown);
  ++depth_;
  const std::intptr_t result =
      KeyboardHookProc(kHcAction, message, {event.vk, up ? 0x80u : 0u, event.extraInfo}, 0);
  --depth_;
  return result != 0;
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
  for (int delivered = 0; depth_ == 0 && !stream_.empty();) {
    if (++delivered > 1000) {
      ranAway = true;
      stream_.clear();
      break;
    }
    const KeyInput event = stream_.front();
    stream_.pop_front();
    // The key state already follows the program's keys; only their way through the hook is left.
    if (!Hooked(event)) received_.push_back(event);
  }
}

const std::vector<KeyInput>& FakeOs::Received() {
  Deliver();
  return received_;
}

std::vector<std::uint8_t> FakeOs::HeldByProgram() const {
  std::vector<std::uint8_t> held;
  for (int vk = 0; vk < 256; ++vk) {
    if (programDown_[vk] && down[vk] && !userHolds_[vk])
      held.push_back(static_cast<std::uint8_t>(vk));
  }
  return held;
}

std::vector<KeyInput> FakeOs::Sent() const {
  std::vector<KeyInput> all;
  for (const auto& call : calls) all.insert(all.end(), call.begin(), call.end());
  return all;
}

// ---- timers and hook -----------------------------------------------------------------------

void FakeOs::Advance(std::uint64_t ms) {
  const std::uint64_t end = now + ms;
  for (;;) {
    const auto next = std::min_element(timers.begin(), timers.end(), [](auto& a, auto& b) {
      return a.second.second < b.second.second;
    });
    if (next == timers.end() || next->second.second > end) break;
    const TimerId id = next->first;
    now = next->second.second;
    // A timer that its handler does not stop fires again after its period.
    next->second.second = now + std::max(1u, next->second.first);
    Callback([id] { OnInputWindowTimer(id); });
  }
  now = end;
}

HookHandle FakeOs::Install() {
  return hook = failInstall ? 0 : ++nextHandle_;
}

void FakeOs::Remove(HookHandle handle) {
  if (handle == hook) hook = 0;
}

// ---- other programs' windows ---------------------------------------------------------------

WindowId FakeOs::AddWindow(Window window, WindowId id) {
  id = id != 0 ? id : (nextWindow_ += 0x10);
  if (window.thread == 0) window.thread = static_cast<ThreadId>(100 + windows.size());
  if (window.process == 0) window.process = static_cast<ProcessId>(4000 + windows.size());
  windows[id] = window;
  zOrder.push_back(id);
  if (zOrder.size() == 1 && window.visible && !window.minimized) MakeForeground(id);
  return id;
}

Window& FakeOs::Find(WindowId window) {
  static Window gone;
  const auto found = windows.find(window);
  if (found != windows.end()) return found->second;
  gone = {};
  gone.style = 0;
  gone.visible = false;
  return gone;
}

std::string FakeOs::Name(WindowId window) {
  if (window == kDesktop) return "desktop";
  const std::string& name = Find(window).name;
  return name.empty() ? Hex(window) : name;
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
  return window == kDesktop ? kDesktopThread : Find(window).thread;
}

bool FakeOs::WindowInfoStyle(WindowId window, std::uint32_t* style) {
  if (failWindowInfo || windows.count(window) == 0) return false;
  *style = Find(window).style;
  return true;
}

bool FakeOs::IsVisible(WindowId window) {
  const Window& w = Find(window);
  return w.visible && (w.parent == 0 || IsVisible(w.parent));
}

WindowId FakeOs::TopChild(WindowId parent) {
  return parent == kDesktop && !zOrder.empty() ? zOrder.front() : 0;
}

WindowId FakeOs::NextBelow(WindowId window) {
  auto at = std::find(zOrder.begin(), zOrder.end(), window);
  if (at == zOrder.end()) return 0;
  if (++at != zOrder.end()) return *at;
  return zOrderLoops ? zOrder.front() : 0;
}

bool FakeOs::Show(WindowId window, int command) {
  const bool own = !Find(window).className.empty();
  if (!own) Note("ShowWindow(" + Name(window) + ", " + std::to_string(command) + ")");
  if (onShow) onShow(window, command);
  if (windows.count(window) == 0) return false;
  Window& w = windows[window];
  const bool was = w.visible;
  w.visible = command != sw::Hide;
  w.style = w.visible ? w.style | ws::Visible : w.style & ~ws::Visible;
  if (command == sw::ShowNormal || command == sw::Restore) {
    (w.minimized ? w.minimized : w.maximized) = false;
  } else if (command == sw::Maximize) {
    w.minimized = false;
    w.maximized = true;
  } else if (command == sw::Minimize) {
    w.minimized = true;
  }
  // A window that is hidden or minimised gives up the foreground; no successor is chosen.
  if ((command == sw::Hide || command == sw::Minimize) && foreground == window)
    foreground = focus = 0;
  return was;
}

bool FakeOs::SetForeground(WindowId window) {
  const bool ok = windows.count(window) != 0 && failSetForeground == 0;
  if (failSetForeground > 0) --failSetForeground;
  Note("SetForegroundWindow(" + Name(window) + ") -> " + (ok ? "1" : "0"));
  if (ok) MakeForeground(window);
  return ok;
}

void FakeOs::BringToTop(WindowId window) {
  Note("BringWindowToTop(" + Name(window) + ")");
  MoveToTop(window);
}

// The focus belongs to the foreground window's thread: another program's window cannot take it
// before it is in the foreground.
void FakeOs::SetFocus(WindowId window) {
  Note("SetFocus(" + Name(window) + ")");
  if (window == foreground && windows.count(window) != 0) focus = window;
}

void FakeOs::PlaceOnTop(WindowId window) {
  Note("SetWindowPos(" + Name(window) + ", HWND_TOP)");
  MoveToTop(window);
}

void FakeOs::AttachInput(ThreadId from, ThreadId to, bool attach) {
  Note("AttachThreadInput(" + std::to_string(from) + ", " + std::to_string(to) + ", " +
       (attach ? "1" : "0") + ")");
  if (attach) {
    attached.insert({from, to});
  } else {
    attached.erase({from, to});
  }
}

void FakeOs::Post(WindowId window, unsigned message, std::uintptr_t wParam, std::intptr_t) {
  Note("PostMessageA(" + Name(window) + ", " + Hex(message) + ", " + Hex(wParam) + ")");
  // What the window's default procedure makes of the message once it arrives.
  if (message == msg::Close) Destroy(window);
  if (message == msg::SysCommand && wParam == msg::ScRestore) Find(window).minimized = false;
}

// ---- processes, kernel objects, registry, launcher ----------------------------------------

KernelHandle FakeOs::NewHandle(std::string what) {
  handles[++nextHandle_] = std::move(what);
  return nextHandle_;
}

KernelHandle FakeOs::OpenForQuery(ProcessId id) {
  ++processOpens;
  if (images.count(id) == 0) return 0;
  const KernelHandle handle = NewHandle("process");
  processOf_[handle] = id;
  return handle;
}

std::uint32_t FakeOs::ImageFileName(KernelHandle process, char* buffer, std::uint32_t size) {
  if (handles.count(process) == 0) return 0;
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
  return {NewHandle(name), mutexes.count(name) != 0 ? kErrorAlreadyExists : 0};
}

MutexResult FakeOs::OpenSyncMutex(const char* name) {
  if (deniedMutexes.count(name) != 0) return {0, kErrorAccessDenied};
  if (mutexes.count(name) == 0) return {0, 2};  // ERROR_FILE_NOT_FOUND
  return {NewHandle(name), 0};
}

std::uint32_t FakeOs::ModuleFileName(char* buffer, std::uint32_t size) {
  // As GetModuleFileNameA: a path that does not fit is cut, and the buffer's size returned.
  const std::size_t length = std::min<std::size_t>(modulePath.size(), size);
  std::memcpy(buffer, modulePath.data(), length);
  buffer[length < size ? length : size - 1] = '\0';
  return static_cast<std::uint32_t>(length);
}

bool FakeOs::OsMajorVersion(std::uint32_t* major) {
  *major = failVersion ? 0 : osMajor;
  return !failVersion;
}

KernelHandle FakeOs::OpenUserKey(const char16_t* subkey) {
  if (registry.count(subkey) == 0) return 0;
  const KernelHandle key = NewHandle("registry key");
  keyOf_[key] = subkey;
  return key;
}

// As RegQueryValueExW: a value larger than the buffer fails and reports the size it needs;
// otherwise its bytes are copied as stored, terminator or not.
bool FakeOs::QueryValue(KernelHandle key, const char16_t* name, void* buffer, std::uint32_t* size) {
  if (handles.count(key) == 0 || registry[keyOf_[key]].count(name) == 0) return false;
  const std::vector<std::uint8_t>& bytes = registry[keyOf_[key]][name];
  const bool fits = bytes.size() <= *size;
  *size = static_cast<std::uint32_t>(bytes.size());
  if (fits && !bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
  return fits;
}

void FakeOs::Open(const char16_t* file, const char16_t* parameters) {
  launches.push_back(std::u16string(file) + u" " + parameters);
}

// ---- raw input -----------------------------------------------------------------------------

std::uint32_t FakeOs::ReadRecord(std::intptr_t handle, void* buffer, std::uint32_t* size) {
  if (records.count(handle) == 0) return kRawReadError;
  const std::vector<std::uint8_t>& record = records[handle];
  if (buffer == nullptr) {
    *size = static_cast<std::uint32_t>(record.size());
    return 0;
  }
  if (*size < record.size()) return kRawReadError;
  const std::size_t copied = record.size() - (shortRead && !record.empty() ? 1 : 0);
  std::memcpy(buffer, record.data(), copied);
  return static_cast<std::uint32_t>(copied);
}

bool FakeOs::DeviceCollection(std::uintptr_t device, HidCollection* collection) {
  if (devices.count(device) == 0) return false;
  *collection = devices[device];
  return true;
}

bool FakeOs::Register(std::span<const RawDeviceRegistration> devices) {
  registrations.assign(devices.begin(), devices.end());
  return true;
}

// ---- the program's own window ----------------------------------------------------------------

bool FakeOs::RegisterInputClass(const WindowClassValues& values) {
  classes.push_back(values);
  return !failRegisterClass;
}

WindowId FakeOs::CreateInputWindow(const WindowValues& values) {
  created.push_back(values);
  if (failCreateWindow) return 0;
  Window& w = windows[0x5000];
  w.className = values.className;
  w.style = values.style;
  w.exStyle = values.exStyle;
  w.visible = (values.style & ws::Visible) != 0;
  w.rect = {values.x, values.y, values.x + values.width, values.y + values.height};
  return 0x5000;
}

FontHandle FakeOs::CreateFontHandle(const FontValues& values) {
  fonts.insert(values.height);
  return values.height;
}

void FakeOs::RunMessageLoop() {
  ++loops;
  if (whileLooping) whileLooping();
}

void FakeOs::MakeTopmost(WindowId window, int width, int height) {
  Rect& rect = Find(window).rect;
  rect = {rect.left, rect.top, rect.left + width, rect.top + height};
}

void FakeOs::Move(WindowId window, int x, int y, int width, int height, bool) {
  Find(window).rect = {x, y, x + width, y + height};
}

bool FakeOs::WindowRect(WindowId window, Rect* rect) {
  if (windows.count(window) == 0) return false;
  *rect = windows[window].rect;
  return true;
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

WindowId FakeOs::CreateChild(const ChildValues& values) {
  if (childrenBeforeFailure == 0 || windows.count(values.parent) == 0) return 0;
  if (childrenBeforeFailure > 0) --childrenBeforeFailure;
  Window& child = windows[nextWindow_ += 0x10];
  child.className = values.className;
  child.style = values.style;
  child.visible = (values.style & ws::Visible) != 0;
  child.parent = values.parent;
  child.rect = {values.x, values.y, values.x + values.width, values.y + values.height};
  return nextWindow_;
}

// ---- canvas and typed text -----------------------------------------------------------------

namespace {

std::string RgbText(Colour c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  return text;
}

std::string Numbers(std::initializer_list<int> numbers) {
  std::string text;
  for (int n : numbers) text += " " + std::to_string(n);
  return text;
}

}  // namespace

void RecordingCanvas::Blit(int bitmapId, int x, int y) {
  ops += (ops.empty() ? "B" : "; B") + std::to_string(bitmapId) + Numbers({x, y});
}

void RecordingCanvas::Stretch(int bitmapId, const Rect& r) {
  ops += (ops.empty() ? "S" : "; S") + std::to_string(bitmapId) +
         Numbers({r.left, r.top, r.right, r.bottom});
}

void RecordingCanvas::Frame(const Rect& r, Colour colour) {
  ops += (ops.empty() ? "F" : "; F") + Numbers({r.left, r.top, r.right, r.bottom}).substr(1) + " " +
         RgbText(colour);
}

void RecordingCanvas::Text(int x, int y, std::string_view text, FontHandle font, Colour colour,
                           TextAlign align) {
  const char* side = align == TextAlign::LeftTop ? "l" : align == TextAlign::RightTop ? "r" : "c";
  ops += (ops.empty() ? "T'" : "; T'") + std::string(text) + "'" + Numbers({x, y}) + " f" +
         std::to_string(font) + " " + RgbText(colour) + " " + side;
}

namespace {

// The character that a key gives, or 0 when it gives none.
char CharOf(std::uint8_t code, bool shift) {
  if (code >= 'A' && code <= 'Z') return static_cast<char>(shift ? code : code - 'A' + 'a');
  if (code >= '0' && code <= '9') return shift ? ")!@#$%^&*("[code - '0'] : static_cast<char>(code);
  if (code >= vk::Numpad0 && code <= vk::Numpad0 + 9) return static_cast<char>('0' + code - 0x60);
  static const std::string_view kKeys = "\x20\xBA\xBB\xBC\xBD\xBE\xBF\xC0\xDB\xDC\xDD\xDE";
  const std::size_t at = kKeys.find(static_cast<char>(code));
  if (at == std::string_view::npos) return 0;
  return (shift ? " :+<_>?~{|}\"" : " ;=,-./`[\\]'")[at];
}

std::string NameOf(std::uint8_t code) {
  static const std::map<std::uint8_t, std::string> kNames = {
      {vk::Back, "back"},  {vk::Tab, "tab"},    {vk::Return, "enter"}, {vk::Escape, "esc"},
      {vk::Prior, "pgup"}, {vk::Next, "pgdn"},  {vk::End, "end"},      {vk::Home, "home"},
      {vk::Left, "left"},  {vk::Up, "up"},      {vk::Right, "right"},  {vk::Down, "down"},
      {vk::Insert, "ins"}, {vk::Delete, "del"}, {vk::Apps, "menu"},    {vk::Space, "space"}};
  if (kNames.count(code) != 0) return kNames.at(code);
  if (code >= vk::F1 && code < vk::F1 + 24) return "f" + std::to_string(code - vk::F1 + 1);
  const char ch = CharOf(code, false);
  return ch != 0 ? std::string(1, ch) : "vk" + std::to_string(code);
}

}  // namespace

std::string TypedText(const std::vector<KeyInput>& events) {
  bool down[256] = {};
  bool caps = false;
  std::string text;
  for (const KeyInput& event : events) {
    const std::uint8_t code = static_cast<std::uint8_t>(event.vk);
    const bool up = (event.flags & kKeyEventKeyUp) != 0;
    if (code == vk::Capital && !up && !down[code]) caps = !caps;
    down[code] = !up;
    const bool shift = down[vk::Shift] || down[vk::LShift] || down[vk::RShift];
    const bool ctrl = down[vk::Control] || down[vk::LControl] || down[vk::RControl];
    const bool alt = down[vk::Menu] || down[vk::LMenu] || down[vk::RMenu];
    const bool win = down[vk::LWin] || down[vk::LWin + 1];
    const bool modifier = code == vk::Capital || (code >= vk::Shift && code <= vk::Menu) ||
                          (code >= vk::LShift && code <= vk::RMenu) || code == vk::LWin ||
                          code == vk::LWin + 1;
    if (up || modifier) continue;
    const bool letter = code >= 'A' && code <= 'Z';
    const char ch = CharOf(code, letter ? shift != caps : shift);
    if (!ctrl && !alt && !win && ch != 0) {
      text += ch;
      continue;
    }
    text += std::string("<") + (ctrl ? "ctrl+" : "") + (alt ? "alt+" : "") + (win ? "win+" : "") +
            (shift && (ch == 0 || ctrl || alt || win) ? "shift+" : "") + NameOf(code) + ">";
  }
  return text;
}

}  // namespace bk::fake
