// The machine that the logic runs against in the unit tests: one object that answers for every
// interface of platform/os.h. It keeps what a user would notice (keys down, what reached the
// application, windows and their states, timers on a manual clock) and logs the calls whose
// order is the behaviour.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/timers.h"
#include "osd/keyboard_hook.h"
#include "platform/os.h"
#include "platform/us_layout.h"

namespace bk::fake {

inline constexpr std::uint32_t kOverlapped = 0x00CF0000;  // WS_OVERLAPPEDWINDOW
inline constexpr std::uint32_t kAppStyle = kOverlapped | ws::Visible;
inline constexpr WindowId kDesktop = 0x10010;

struct Window {
  std::string name{};  // as the log names it
  std::uint32_t style = kAppStyle;
  std::uint32_t exStyle = 0;
  // What IsWindowVisible says, kept apart from the style bit so that each can be tested alone.
  bool visible = true;
  bool minimized = false;
  bool maximized = false;
  ThreadId thread = 0;
  ProcessId process = 0;
  std::string className{};
  Rect rect{};
  std::intptr_t userData = 0;
  std::uint32_t buttonState = 0;
};

// clang-format off
class FakeOs final : public Keyboard, public Timers, public Hook, public Desktop, public WindowControl,
    public Processes, public Kernel, public Registry, public Launcher, public RawInput, public Shell,
    public LayoutWindow {
  // clang-format on
 public:
  FakeOs() { Use(); }
  void Use() {
    InstallOs({this, this, this, this, this, this, this, this, this, this, this, this});
  }

  // ---- Keyboard: the program's keys come back through the hook once its callback returns.
  unsigned SendKeys(std::span<const KeyInput> events) override {
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
  std::uint16_t ScanCode(std::uint8_t vk) override { return vk == 0 ? 0 : 0x100 + vk; }
  KeyValue KeyForChar(char ch) override {
    return layout.count(ch) != 0 ? layout[ch] : UsLayoutKeyForChar(ch);
  }
  bool AsyncKeyDown(std::uint8_t vk) override { return down[vk]; }
  bool KeyToggled(std::uint8_t vk) override { return vk == vk::Capital && capsLock; }
  // A key from outside the program (extraInfo: another program's marker): the hook sees it first.
  void Input(std::uint8_t vk, bool isDown, std::uintptr_t extraInfo = 0) {
    Deliver();
    userHolds_[vk] = isDown;
    const KeyInput event{vk, ScanCode(vk), isDown ? 0 : kKeyEventKeyUp, extraInfo};
    if (!Hooked(event)) {
      SetDown(vk, isDown);
      received_.push_back(event);
    }
    Deliver();
  }
  // Runs `handler` as one of the program's callbacks: what it sends arrives after it returns.
  void Callback(const std::function<void()>& handler) {
    ++depth_;
    handler();
    --depth_;
    Deliver();
  }
  void Deliver() {
    for (int delivered = 0; depth_ == 0 && !stream_.empty(); stream_.pop_front()) {
      if (++delivered > 1000) {
        ranAway = true;
        return stream_.clear();
      }
      // The key state already follows the program's keys; only their way through the hook is left.
      if (!Hooked(stream_.front())) received_.push_back(stream_.front());
    }
  }
  // What reached the foreground application.
  const std::vector<KeyInput>& Received() {
    Deliver();
    return received_;
  }
  std::vector<std::uint8_t> HeldByProgram() const {
    std::vector<std::uint8_t> held;
    for (int vk = 0; vk < 256; ++vk) {
      if (programDown_[vk] && down[vk] && !userHolds_[vk]) held.push_back(std::uint8_t(vk));
    }
    return held;
  }

  std::map<char, KeyValue> layout;  // VkKeyScanA answers that differ from US English
  bool capsLock = false;
  bool down[256] = {};
  std::vector<std::vector<KeyInput>> calls;
  int callsWhileHooked = 0;
  bool ranAway = false;  // the program's keys kept coming back as new ones

  // ---- Timers, fired through the window procedure's router as the clock moves on.
  void Start(TimerId id, unsigned ms) override { timers[id] = {ms, now + ms}; }
  void Stop(TimerId id) override { timers.erase(id); }
  bool Running(TimerId id) const { return timers.count(id) != 0; }
  void Advance(std::uint64_t ms) {
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
  std::map<TimerId, std::pair<unsigned, std::uint64_t>> timers;  // period, due
  std::uint64_t now = 0;

  // ---- Hook
  HookHandle Install() override { return hook = ++nextHandle_; }
  void Remove(HookHandle handle) override { hook = handle == hook ? 0 : hook; }
  std::intptr_t CallNext(HookHandle, int, std::uintptr_t, std::intptr_t) override { return 0; }
  HookHandle hook = 0;

  // ---- Desktop and WindowControl. Commands on other programs' windows, and every SendInput
  // call, go to `log`: for bringing a window forward, the order of the calls is the behaviour.
  WindowId Foreground() override { return foreground; }
  ThreadId WindowThreadProcess(WindowId window, ProcessId* processId) override {
    if (processId != nullptr) *processId = Find(window).process;
    return window == kDesktop ? 7 : Find(window).thread;
  }
  bool WindowInfoStyle(WindowId window, std::uint32_t* style) override {
    *style = Find(window).style;
    return !failWindowInfo && windows.count(window) != 0;
  }
  std::uint32_t Style(WindowId window) override { return Find(window).style; }
  std::uint32_t ExStyle(WindowId window) override { return Find(window).exStyle; }
  bool IsZoomed(WindowId window) override { return Find(window).maximized; }
  bool IsIconic(WindowId window) override { return Find(window).minimized; }
  bool IsVisible(WindowId window) override { return Find(window).visible; }
  bool Exists(WindowId window) override { return window == kDesktop || windows.count(window); }
  WindowId DesktopWindow() override { return kDesktop; }
  // Other programs' child windows (a Store app's inside its frame) are listed in `frames`.
  WindowId TopChild(WindowId parent) override {
    const std::vector<WindowId>& children = parent == kDesktop ? zOrder : frames[parent];
    return children.empty() ? 0 : children.front();
  }
  WindowId NextBelow(WindowId window) override {
    for (auto& [frame, children] : frames) {
      const auto at = std::find(children.begin(), children.end(), window);
      if (at != children.end()) return at + 1 == children.end() ? 0 : at[1];
    }
    const auto at = std::find(zOrder.begin(), zOrder.end(), window);
    return at == zOrder.end() || at + 1 == zOrder.end() ? 0 : at[1];
  }
  WindowId FindTopWindow(const char* className) override {
    for (const auto& [id, w] : windows) {
      if (w.className == className) return id;
    }
    return 0;
  }
  // Only visibility changes: the tests read what was asked for minimising or maximising in the log.
  bool Show(WindowId window, int command) override {
    if (Find(window).className.empty()) Note("ShowWindow", window, ", " + std::to_string(command));
    Window& w = Find(window);
    const bool was = w.visible;
    w.visible = command != sw::Hide;
    w.style = w.visible ? w.style | ws::Visible : w.style & ~ws::Visible;
    return was;
  }
  bool SetForeground(WindowId window) override {
    const bool ok = windows.count(window) != 0 && failSetForeground == 0;
    failSetForeground -= failSetForeground > 0;
    log.push_back("SetForegroundWindow(" + Name(window) + ") -> " + "01"[ok]);
    if (ok) MakeForeground(window);
    return ok;
  }
  void BringToTop(WindowId window) override {
    Note("BringWindowToTop", window);
    MoveToTop(window);
  }
  void SetActive(WindowId window) override { Note("SetActiveWindow", window); }
  void SetFocus(WindowId window) override { Note("SetFocus", window); }
  void PlaceOnTop(WindowId window) override {
    Note("SetWindowPos", window, ", HWND_TOP");
    MoveToTop(window);
  }
  void AttachInput(ThreadId from, ThreadId to, bool attach) override {
    log.push_back("AttachThreadInput(" + std::to_string(from) + ", " + std::to_string(to) + ", " +
                  "01"[attach] + ")");
    if (attach) attached.insert({from, to});
    if (!attach) attached.erase({from, to});
  }
  void Post(WindowId window, unsigned message, std::uintptr_t wParam, std::intptr_t) override {
    Note("PostMessageA", window, ", " + std::to_string(message) + ", " + std::to_string(wParam));
  }
  // A window of another program, below the others; the first one added comes to the front.
  WindowId AddWindow(Window window, WindowId id = 0) {
    id = id != 0 ? id : (nextWindow_ += 0x10);
    window.thread = window.thread != 0 ? window.thread : ThreadId(100 + windows.size());
    window.process = window.process != 0 ? window.process : ProcessId(4000 + windows.size());
    windows[id] = window;
    zOrder.push_back(id);
    if (zOrder.size() == 1 && window.visible && !window.minimized) MakeForeground(id);
    return id;
  }
  void MakeForeground(WindowId window) {
    foreground = window;
    MoveToTop(window);
  }
  // A window that does not exist has no style and is not visible.
  Window& Find(WindowId window) {
    static Window gone;
    if (windows.count(window) != 0) return windows[window];
    return gone = {.style = 0, .visible = false};
  }
  std::string Name(WindowId window) { return Find(window).name; }
  void MoveToTop(WindowId window) {
    const auto at = std::find(zOrder.begin(), zOrder.end(), window);
    if (at != zOrder.end()) std::rotate(zOrder.begin(), at, at + 1);
  }
  void Note(const std::string& call, WindowId window, const std::string& more = "") {
    log.push_back(call + "(" + Name(window) + more + ")");
  }

  std::map<WindowId, Window> windows;
  std::vector<WindowId> zOrder;                      // other programs' windows, top first
  std::map<WindowId, std::vector<WindowId>> frames;  // child windows of other programs, top first
  WindowId foreground = 0;
  std::set<std::pair<ThreadId, ThreadId>> attached;
  std::vector<std::string> log;
  int failSetForeground = 0;  // the next N calls fail; -1: every call
  bool failWindowInfo = false;

  // ---- Processes, Kernel, Registry, Launcher: every handle must be closed again.
  KernelHandle OpenForQuery(ProcessId id) override {
    ++processOpens;
    if (images.count(id) == 0) return 0;
    const KernelHandle handle = NewHandle("a process");
    processOf_[handle] = id;
    return handle;
  }
  std::uint32_t ImageFileName(KernelHandle process, char* buffer, std::uint32_t size) override {
    const std::string& name = images[processOf_[process]];
    // As documented, a name that does not fit fails; some systems cut it to the buffer instead.
    if (name.size() >= size && !cutLongImageNames) return 0;
    const std::size_t length = std::min<std::size_t>(name.size(), size);
    std::memcpy(buffer, name.data(), length);
    if (length < size) buffer[length] = '\0';
    return static_cast<std::uint32_t>(length);
  }
  void Close(KernelHandle handle) override { handles.erase(handle); }
  MutexResult CreateOwnedMutex(const char* name) override {
    if (failCreateMutex) return {0, kErrorAccessDenied};
    return {NewHandle("the instance mutex"), mutexes.count(name) ? kErrorAlreadyExists : 0};
  }
  MutexResult OpenSyncMutex(const char* name) override {
    if (deniedMutexes.count(name) != 0) return {0, kErrorAccessDenied};
    if (mutexes.count(name) == 0) return {0, 2};  // ERROR_FILE_NOT_FOUND
    return {NewHandle("a sibling's mutex"), 0};
  }
  // As GetModuleFileNameA: a path that does not fit is cut, and the buffer's size returned.
  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override {
    const std::size_t length = std::min<std::size_t>(modulePath.size(), size);
    std::memcpy(buffer, modulePath.data(), length);
    buffer[std::min<std::size_t>(length, size - 1)] = '\0';
    return static_cast<std::uint32_t>(length);
  }
  bool OsVersion(std::uint32_t* major, std::uint32_t* minor) override {
    *major = osMajor;
    *minor = osMinor;
    return osMajor != 0;
  }
  void LoadLibrariesFromSystemOnly() override { log.push_back("SetDefaultDllDirectories"); }
  KernelHandle OpenUserKey(const char16_t* key) override {
    if (registry.count(key) == 0) return 0;
    const KernelHandle handle = NewHandle("a registry key");
    keyOf_[handle] = key;
    return handle;
  }
  // As RegQueryValueExW: a value larger than the buffer fails and reports the size it needs;
  // otherwise its bytes are copied as stored, terminator or not.
  bool QueryValue(KernelHandle key, const char16_t* name, void* buffer,
                  std::uint32_t* size) override {
    if (handles.count(key) == 0 || registry[keyOf_[key]].count(name) == 0) return false;
    const std::vector<std::uint8_t>& bytes = registry[keyOf_[key]][name];
    const bool fits = bytes.size() <= *size;
    *size = static_cast<std::uint32_t>(bytes.size());
    if (fits) std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(buffer));
    return fits;
  }
  void CloseKey(KernelHandle key) override { handles.erase(key); }
  void Open(const char16_t* file, const char16_t* parameters) override {
    launches.emplace_back();
    for (const char16_t* text : {file, u" ", parameters}) {
      while (*text != 0) launches.back() += static_cast<char>(*text++);
    }
  }
  KernelHandle NewHandle(const std::string& what) {
    handles[++nextHandle_] = what;
    return nextHandle_;
  }

  std::map<KernelHandle, std::string> handles;  // open ones, with what they are
  std::map<ProcessId, std::string> images;      // a process missing here cannot be opened
  bool cutLongImageNames = false;  // a name too long for the buffer is cut, not refused
  int processOpens = 0;
  std::set<std::string> mutexes;        // held by other processes
  std::set<std::string> deniedMutexes;  // held by a process that this account may not open
  bool failCreateMutex = false;
  std::string modulePath = "C:\\Program Files\\BkRemote\\BkRemote.exe";
  std::uint32_t osMajor = 6, osMinor = 1;  // Windows 7; 0.0: the call fails
  std::map<std::u16string, std::map<std::u16string, std::vector<std::uint8_t>>> registry;
  std::vector<std::string> launches;  // "file parameters", in ASCII

  // ---- RawInput
  std::uint32_t ReadRecord(std::intptr_t handle, void* buffer, std::uint32_t* size) override {
    const std::vector<std::uint8_t>& record = records[handle];
    if (buffer == nullptr) *size = static_cast<std::uint32_t>(record.size());
    if (buffer == nullptr || *size < record.size()) return buffer == nullptr ? 0 : kRawReadError;
    std::copy(record.begin(), record.end() - shortRead, static_cast<std::uint8_t*>(buffer));
    return static_cast<std::uint32_t>(record.size() - shortRead);
  }
  bool DeviceCollection(std::uintptr_t device, HidCollection* collection) override {
    if (devices.count(device) != 0) *collection = devices[device];
    return devices.count(device) != 0;
  }
  bool Register(std::span<const RawDeviceRegistration> list) override {
    registrations.assign(list.begin(), list.end());
    return true;
  }
  bool HidDevices(std::vector<HidDevice>* list) override {
    *list = connected;
    return true;
  }
  std::vector<HidDevice> connected;
  std::map<std::intptr_t, std::vector<std::uint8_t>> records;
  std::map<std::uintptr_t, HidCollection> devices;  // a device missing here fails its info call
  bool shortRead = false;                           // the second read copies one byte less
  std::vector<RawDeviceRegistration> registrations;

  // ---- Shell and LayoutWindow: the program's own window and its children.
  bool RegisterInputClass(const WindowClassValues&) override { return !failRegisterClass; }
  WindowId CreateInputWindow(const WindowValues& v) override {
    if (failCreateWindow) return 0;
    windows[0x5000] = {.style = v.style,
                       .exStyle = v.exStyle,
                       .visible = (v.style & ws::Visible) != 0,
                       .className = v.className,
                       .rect = {v.x, v.y, v.x + v.width, v.y + v.height}};
    return 0x5000;
  }
  // A font's handle is its height, by which the recording canvas names it.
  FontHandle CreateFontHandle(const FontValues& v) override { return v.height; }
  void DeleteFontHandle(FontHandle) override {}
  void PostQuit() override {}
  void RunMessageLoop() override {
    ++loops;
    if (whileLooping) whileLooping();
  }
  void MakeTopmost(WindowId window, int width, int height) override {
    Rect& rect = Find(window).rect;
    rect = {rect.left, rect.top, rect.left + width, rect.top + height};
  }
  void Move(WindowId window, int x, int y, int w, int h, bool) override {
    Find(window).rect = {x, y, x + w, y + h};
  }
  bool WindowRect(WindowId window, Rect* rect) override {
    *rect = Find(window).rect;
    return windows.count(window) != 0;
  }
  // The full-screen area: a 1280 x 1024 screen less a caption.
  int SystemMetric(int index) override { return index == kSmCxFullScreen ? 1280 : 1004; }
  void Invalidate(WindowId window, const Rect* rect, bool) override {
    invalidated.push_back(window);
    if (window == kDesktop && rect != nullptr) repaintedUnder = *rect;
  }
  // As the system: only a layered window takes layered attributes.
  bool SetAlpha(WindowId window, std::uint8_t alpha) override {
    if ((Find(window).exStyle & ws::ExLayered) == 0) return false;
    alphas.push_back(alpha);
    return true;
  }
  void SetExStyle(WindowId window, std::uint32_t exStyle) override {
    Find(window).exStyle = exStyle;
  }
  WindowId CreateChild(const ChildValues& v) override {
    if (childrenBeforeFailure == 0 || windows.count(v.parent) == 0) return 0;
    childrenBeforeFailure -= childrenBeforeFailure > 0;
    windows[nextWindow_ += 0x10] = {.style = v.style,
                                    .visible = (v.style & ws::Visible) != 0,
                                    .className = v.className,
                                    .rect = {v.x, v.y, v.x + v.width, v.y + v.height}};
    return nextWindow_;
  }
  void SetUserData(WindowId window, std::intptr_t value) override { Find(window).userData = value; }
  std::intptr_t UserData(WindowId window) override { return Find(window).userData; }
  void SetClassBackgroundBlack(WindowId) override {}
  std::uint32_t ButtonState(WindowId button) override { return Find(button).buttonState; }

  bool failRegisterClass = false;
  bool failCreateWindow = false;
  int loops = 0;
  std::function<void()> whileLooping;  // what happens while the message loop runs
  std::vector<WindowId> invalidated;
  Rect repaintedUnder;             // the last rectangle invalidated on the desktop
  std::vector<int> alphas;         // every alpha that the window took
  int childrenBeforeFailure = -1;  // child creation fails once this many more were made

 private:
  bool Hooked(const KeyInput& event) {
    if (hook == 0) return false;
    // With Alt down and Ctrl up, keys arrive as system keys.
    const bool system = down[vk::Menu] && !down[vk::Control];
    const bool up = (event.flags & kKeyEventKeyUp) != 0;
    ++depth_;
    const bool swallowed = KeyboardHookProc(kHcAction, (system ? kWmSysKeyDown : kWmKeyDown) + up,
                                            {event.vk, 0, event.extraInfo}, 0);
    --depth_;
    return swallowed;
  }
  void SetDown(std::uint8_t vk, bool isDown) {
    if (isDown && vk == vk::Capital && !down[vk]) capsLock = !capsLock;
    down[vk] = isDown;
    // The side-neutral codes follow their left and right keys, as GetAsyncKeyState reports them.
    down[vk::Shift] = down[vk::LShift] || down[vk::RShift];
    down[vk::Control] = down[vk::LControl] || down[vk::RControl];
    down[vk::Menu] = down[vk::LMenu] || down[vk::RMenu];
  }

  std::deque<KeyInput> stream_;  // the program's keys, waiting for the hook
  std::vector<KeyInput> received_;
  bool userHolds_[256] = {};
  bool programDown_[256] = {};
  int depth_ = 0;
  KernelHandle nextHandle_ = 0x100;
  WindowId nextWindow_ = 0x20000;
  std::map<KernelHandle, ProcessId> processOf_;
  std::map<KernelHandle, std::u16string> keyOf_;
};

// A canvas that writes what it is asked to draw as text: "S102 0 0 50 40" (stretch a bitmap),
// "B104 0 0" (blit), "F0 0 750 25 #777777" (frame), "T'q' 25 0 f24 #eeeeee c" (text: font by
// height, colour as RGB, alignment l, r or c), separated by "; ".
struct RecordingCanvas final : Canvas {
  void Blit(int id, int x, int y) override { Add("B" + std::to_string(id), {x, y}); }
  void Stretch(int id, const Rect& r) override {
    Add("S" + std::to_string(id), {r.left, r.top, r.right, r.bottom});
  }
  void Frame(const Rect& r, Colour colour) override {
    Add("F" + std::to_string(r.left), {r.top, r.right, r.bottom}, Rgb(colour));
  }
  void Text(int x, int y, std::string_view text, FontHandle font, Colour colour,
            TextAlign align) override {
    Add("T'" + std::string(text) + "'", {x, y},
        " f" + std::to_string(font) + Rgb(colour) + " " + "lrc"[static_cast<int>(align)]);
  }
  void Add(const std::string& op, std::initializer_list<int> numbers,
           const std::string& more = "") {
    ops += (ops.empty() ? "" : "; ") + op;
    for (int n : numbers) ops += " " + std::to_string(n);
    ops += more;
  }
  static std::string Rgb(Colour c) {
    char text[9];
    std::snprintf(text, sizeof text, " #%06x", (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
    return text;
  }
  std::string ops;
};

// A RAWINPUT record as GetRawInputData copies it, from `device`, with `count` reports.
inline std::vector<std::uint8_t> HidRecord(std::uint32_t reportSize, std::uint32_t count,
                                           const std::vector<std::uint8_t>& reports,
                                           std::uintptr_t device = 0x77) {
  std::vector<std::uint8_t> record(RawRecordLayout::kHidDataOffset + reports.size());
  const std::uint32_t type = RawRecordLayout::kTypeHid;
  std::memcpy(&record[RawRecordLayout::kTypeOffset], &type, 4);
  std::memcpy(&record[RawRecordLayout::kDeviceOffset], &device, sizeof device);
  std::memcpy(&record[RawRecordLayout::kHidSizeOffset], &reportSize, 4);
  std::memcpy(&record[RawRecordLayout::kHidCountOffset], &count, 4);
  std::copy(reports.begin(), reports.end(), record.begin() + RawRecordLayout::kHidDataOffset);
  return record;
}

// What an application makes of key events on a US English keyboard: characters as they would be
// typed, and other keys and chords in angle brackets ("<enter>", "<ctrl+a>").
std::string TypedText(const std::vector<KeyInput>& events);

}  // namespace bk::fake
