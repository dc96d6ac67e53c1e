// The machine that the logic runs against in the unit tests: one object that answers for every
// interface of platform/os.h. It keeps what a user would notice (keys down, what reached the
// application, windows and their states, timers on a manual clock) and logs the calls whose
// order is the behaviour.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/os.h"

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
  bool maximized = false;  // also the state that a restore from minimised returns to
  ThreadId thread = 0;
  ProcessId process = 0;
  WindowId parent = 0;  // the program's own windows: the input window and its children
  std::string className{};
  Rect rect{};
  int alpha = -1;  // the layered alpha; -1 while none is set
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
  unsigned SendKeys(std::span<const KeyInput> events) override;
  std::uint16_t ScanCode(std::uint8_t vk) override { return vk == 0 ? 0 : 0x100 + vk; }
  KeyValue KeyForChar(char ch) override;
  bool AsyncKeyDown(std::uint8_t vk) override { return down[vk]; }
  bool KeyToggled(std::uint8_t vk) override { return vk == vk::Capital && capsLock; }
  // A key from outside the program (extraInfo: another program's marker): the hook sees it first.
  void Input(std::uint8_t vk, bool isDown, std::uintptr_t extraInfo = 0);
  // Runs `handler` as one of the program's callbacks: what it sends arrives after it returns.
  void Callback(const std::function<void()>& handler);
  void Deliver();
  const std::vector<KeyInput>& Received();  // what reached the foreground application
  std::vector<std::uint8_t> HeldByProgram() const;

  std::map<char, KeyValue> layout;  // VkKeyScanA answers that differ from US English
  bool capsLock = false;
  bool down[256] = {};
  std::vector<std::vector<KeyInput>> calls;
  int callsWhileHooked = 0;
  bool ranAway = false;  // the program's keys kept coming back as new ones

  // ---- Timers, fired through the window procedure's router as the clock moves on.
  void Start(TimerId id, unsigned ms) override { timers[id] = {ms, now + ms}; }
  void Stop(TimerId id) override { timers.erase(id); }
  void Advance(std::uint64_t ms);
  bool Running(TimerId id) const { return timers.count(id) != 0; }
  std::map<TimerId, std::pair<unsigned, std::uint64_t>> timers;  // period, due
  std::uint64_t now = 0;

  // ---- Hook
  HookHandle Install() override { return hook = failInstall ? 0 : ++nextHandle_; }
  void Remove(HookHandle handle) override { hook = handle == hook ? 0 : hook; }
  std::intptr_t CallNext(HookHandle, int, std::uintptr_t, std::intptr_t) override { return 0; }
  HookHandle hook = 0;
  bool failInstall = false;

  // ---- Desktop and WindowControl. Commands on other programs' windows, and every SendInput
  // call, go to `log`: for bringing a window forward, the order of the calls is the behaviour.
  WindowId Foreground() override { return foreground; }
  ThreadId WindowThreadProcess(WindowId window, ProcessId* processId) override;
  bool WindowInfoStyle(WindowId window, std::uint32_t* style) override;
  std::uint32_t Style(WindowId window) override { return Find(window).style; }
  std::uint32_t ExStyle(WindowId window) override { return Find(window).exStyle; }
  bool IsZoomed(WindowId window) override { return Find(window).maximized && !IsIconic(window); }
  bool IsIconic(WindowId window) override { return Find(window).minimized; }
  bool IsVisible(WindowId w) override {
    return Find(w).visible && (!Find(w).parent || IsVisible(Find(w).parent));
  }
  bool Exists(WindowId window) override { return window == kDesktop || windows.count(window); }
  WindowId DesktopWindow() override { return kDesktop; }
  WindowId TopChild(WindowId parent) override;
  WindowId NextBelow(WindowId window) override;
  bool Show(WindowId window, int command) override;
  bool SetForeground(WindowId window) override;
  void BringToTop(WindowId window) override;
  void SetActive(WindowId window) override { Note("SetActiveWindow", window); }
  void SetFocus(WindowId window) override;
  void PlaceOnTop(WindowId window) override;
  void AttachInput(ThreadId from, ThreadId to, bool attach) override;
  void Post(WindowId window, unsigned message, std::uintptr_t wParam, std::intptr_t) override;
  // A window of another program, below the others; the first one added comes to the front.
  WindowId AddWindow(Window window, WindowId id = 0);
  void MakeForeground(WindowId window);
  void Destroy(WindowId window);
  Window& Find(WindowId window);  // a window that does not exist has no style and is not visible
  std::string Name(WindowId window);
  void MoveToTop(WindowId window);
  void Note(const std::string& call, WindowId window, const std::string& more = "");

  std::map<WindowId, Window> windows;
  std::vector<WindowId> zOrder;  // other programs' windows, top first
  WindowId foreground = 0;
  WindowId focus = 0;
  std::set<std::pair<ThreadId, ThreadId>> attached;
  std::vector<std::string> log;
  int failSetForeground = 0;  // the next N calls fail; -1: every call
  bool failWindowInfo = false;
  bool zOrderLoops = false;      // windows keep moving: below the bottom one is the top one again
  std::function<void()> onShow;  // runs inside ShowWindow, before it acts

  // ---- Processes, Kernel, Registry, Launcher: every handle must be closed again.
  KernelHandle OpenForQuery(ProcessId id) override;
  std::uint32_t ImageFileName(KernelHandle process, char* buffer, std::uint32_t size) override;
  void Close(KernelHandle handle) override { handles.erase(handle); }
  MutexResult CreateOwnedMutex(const char* name) override;
  MutexResult OpenSyncMutex(const char* name) override;
  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override;
  bool OsMajorVersion(std::uint32_t* major) override;
  KernelHandle OpenUserKey(const char16_t* key) override {
    return registry.count(key) ? NewHandle(key) : 0;
  }
  bool QueryValue(KernelHandle key, const char16_t* name, void* buffer,
                  std::uint32_t* size) override;
  void CloseKey(KernelHandle key) override { handles.erase(key); }
  void Open(const char16_t* file, const char16_t* parameters) override;
  KernelHandle NewHandle(const std::u16string& what);

  std::map<KernelHandle, std::u16string> handles;  // open ones, with what they are
  std::map<ProcessId, std::string> images;         // a process missing here cannot be opened
  bool cutLongImageNames = false;  // a name too long for the buffer is cut, not refused
  int processOpens = 0;
  std::set<std::string> mutexes;        // held by other processes
  std::set<std::string> deniedMutexes;  // held by a process that this account may not open
  bool failCreateMutex = false;
  std::string modulePath = "C:\\Program Files\\BkRemote\\BkRemote.exe";
  std::uint32_t osMajor = 10;
  bool failVersion = false;
  std::map<std::u16string, std::map<std::u16string, std::vector<std::uint8_t>>> registry;
  std::vector<std::string> launches;  // "file parameters", in ASCII

  // ---- RawInput
  std::uint32_t ReadRecord(std::intptr_t handle, void* buffer, std::uint32_t* size) override;
  bool DeviceCollection(std::uintptr_t device, HidCollection* collection) override;
  bool Register(std::span<const RawDeviceRegistration> list) override;
  std::map<std::intptr_t, std::vector<std::uint8_t>> records;
  std::map<std::uintptr_t, HidCollection> devices;  // a device missing here fails its info call
  bool shortRead = false;                           // the second read copies one byte less
  std::vector<RawDeviceRegistration> registrations;

  // ---- Shell and LayoutWindow: the program's own window and its children.
  bool RegisterInputClass(const WindowClassValues& values) override;
  WindowId CreateInputWindow(const WindowValues& values) override;
  FontHandle CreateFontHandle(const FontValues& values) override {
    return *fonts.insert(values.height).first;
  }
  void DeleteFontHandle(FontHandle font) override { fonts.erase(font); }
  void PostQuit() override { quit = true; }
  void RunMessageLoop() override;
  void MakeTopmost(WindowId window, int width, int height) override;
  void Move(WindowId window, int x, int y, int w, int h, bool) override {
    Find(window).rect = {x, y, x + w, y + h};
  }
  bool WindowRect(WindowId window, Rect* rect) override;
  int SystemMetric(int index) override {
    return index == kSmCxFullScreen ? screen.right : screen.bottom;
  }
  void Invalidate(WindowId window, const Rect* rect, bool) override;
  bool SetAlpha(WindowId window, std::uint8_t alpha) override;
  void SetExStyle(WindowId window, std::uint32_t exStyle) override;
  WindowId CreateChild(const ChildValues& values) override;
  void SetUserData(WindowId window, std::intptr_t value) override { Find(window).userData = value; }
  std::intptr_t UserData(WindowId window) override { return Find(window).userData; }
  void SetClassBackgroundBlack(WindowId window) override { blackClass.insert(window); }
  std::uint32_t ButtonState(WindowId button) override { return Find(button).buttonState; }

  std::vector<WindowClassValues> classes;
  std::vector<WindowValues> created;
  bool failRegisterClass = false;
  bool failCreateWindow = false;
  std::set<FontHandle> fonts;  // live ones; a font's handle is its height
  bool quit = false;
  int loops = 0;
  std::function<void()> whileLooping;  // what happens while the message loop runs
  Rect screen{0, 0, 1280, 1004};       // the full-screen area: the screen less a caption
  std::vector<WindowId> invalidated;
  Rect repaintedUnder;      // the last rectangle invalidated on the desktop
  std::vector<int> alphas;  // every alpha that the window took
  std::set<WindowId> blackClass;
  int childrenBeforeFailure = -1;  // child creation fails once this many more were made

 private:
  bool Hooked(const KeyInput& event);
  void SetDown(std::uint8_t vk, bool isDown);
  std::deque<KeyInput> stream_;  // the program's keys, waiting for the hook
  std::vector<KeyInput> received_;
  bool userHolds_[256] = {};
  bool programDown_[256] = {};
  int depth_ = 0;
  KernelHandle nextHandle_ = 0x100;
  WindowId nextWindow_ = 0x20000;
  std::map<KernelHandle, ProcessId> processOf_;
};

// A canvas that writes what it is asked to draw as text: "S102 0 0 50 40" (stretch a bitmap),
// "B104 0 0" (blit), "F0 0 750 25 #777777" (frame), "T'q' 25 0 f24 #eeeeee c" (text: font by
// height, colour, alignment l, r or c), separated by "; ".
struct RecordingCanvas final : Canvas {
  void Blit(int id, int x, int y) override { Add("B" + std::to_string(id), {x, y}); }
  void Stretch(int id, const Rect& r) override {
    Add("S" + std::to_string(id), {r.left, r.top, r.right, r.bottom});
  }
  void Frame(const Rect& r, Colour colour) override;
  void Text(int x, int y, std::string_view text, FontHandle font, Colour colour,
            TextAlign align) override;
  void Add(const std::string& op, std::initializer_list<int> numbers, const std::string& more = "");
  std::string ops;
};

// What an application makes of key events on a US English keyboard: characters as they would be
// typed, and other keys and chords in angle brackets ("<enter>", "<ctrl+a>").
std::string TypedText(const std::vector<KeyInput>& events);

}  // namespace bk::fake
