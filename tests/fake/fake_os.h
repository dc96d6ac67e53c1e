// A small model of the machine that the logic runs against in the unit tests: the keyboard,
// timers on a manual clock, the hook, kernel objects and the program's window. It records what
// the logic asked of it, so tests can check what a user would feel.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fake/fake_desktop.h"
#include "fake/fake_layout_window.h"
#include "fake/fake_processes.h"
#include "fake/fake_registry.h"
#include "platform/os.h"

namespace bk::fake {

class FakeHook;

// The keyboard and the system's input stream: which keys are down, which of those the program
// pressed, Caps Lock, a US English layout for VkKeyScanA, and what reaches the foreground
// application. As on the real system, the program's own keys go through the low-level hook once
// the callback that sent them (a message, a timer, the hook itself) has returned.
class FakeKeyboard final : public Keyboard {
 public:
  explicit FakeKeyboard(FakeHook& hook) : hook_(hook) {}

  unsigned SendKeys(std::span<const KeyInput> events) override;
  std::uint16_t ScanCode(std::uint8_t vk) override;
  KeyValue KeyForChar(char ch) override;
  bool AsyncKeyDown(std::uint8_t vk) override;
  bool KeyToggled(std::uint8_t vk) override;

  // The user's own hands: these keys are down, but the program did not press them. The hook does
  // not see this; Input does.
  void UserPress(std::uint8_t vk, bool down);
  void SetCapsLock(bool on) { capsLock_ = on; }
  bool CapsLock() const { return capsLock_; }
  // A keyboard layout for VkKeyScanA other than US English: character -> KeyValue.
  void OverrideKey(char ch, KeyValue value) { overrides_[static_cast<unsigned char>(ch)] = value; }

  // A key event from outside the program: a physical key, or another program's SendInput with its
  // own extra information. The installed hook sees it first; what the hook passes reaches the
  // application and the key state.
  void Input(std::uint8_t vk, bool down, std::uintptr_t extraInfo = 0);
  void Tap(std::uint8_t vk) {
    Input(vk, true);
    Input(vk, false);
  }
  // Runs `handler` as the system runs one of the program's callbacks: the keys it sends are
  // delivered once the outermost callback has returned.
  void Callback(const std::function<void()>& handler);
  // Delivers the program's keys that wait in the input stream, unless a callback is running.
  void Deliver();
  // Everything that reached the foreground application, in order (waiting keys delivered first).
  const std::vector<KeyInput>& Received();
  void ClearReceived() { received_.clear(); }
  // Fault switch: the program's keys arrive without their marker, as from a program that sets
  // none.
  bool dropOwnMarker = false;
  // One delivery gives up after this many of the program's keys: they keep making more.
  int replayLimit = 1000;
  bool RanAway() const { return ranAway_; }
  void ForgetRunaway() { ranAway_ = false; }
  // Benchmarks: keep the key state only, with no logs and no input stream.
  bool keepLogs = true;

  bool IsDown(std::uint8_t vk) const { return down_[vk]; }
  bool PressedByProgram(std::uint8_t vk) const { return programDown_[vk]; }
  // Keys down whose last press was the program's, and that the user does not hold as well.
  std::vector<std::uint8_t> KeysHeldByProgram() const;

  // Every SendInput call, in order, with its events.
  const std::vector<std::vector<KeyInput>>& Calls() const { return calls_; }
  std::vector<KeyInput> AllEvents() const;
  void ClearCalls() { calls_.clear(); }
  int CallsWhileHooked() const { return callsWhileHooked_; }

  // Optional: every event sent is also handed here as it is sent.
  std::function<void(const KeyInput&)> onInjected;

 private:
  // Runs the hook on one event, if one is installed; true when the hook swallowed it.
  bool Hooked(const KeyInput& event);
  void Reach(const KeyInput& event);  // the event reaches the application
  void SetDown(std::uint8_t vk, bool down);

  FakeHook& hook_;
  std::array<bool, 256> down_{};
  std::array<bool, 256> programDown_{};
  std::array<bool, 256> userHolds_{};  // keys under the user's fingers (Input)
  bool capsLock_ = false;
  std::map<unsigned char, KeyValue> overrides_;
  std::vector<std::vector<KeyInput>> calls_;
  int callsWhileHooked_ = 0;
  std::deque<KeyInput> stream_;  // the program's keys, waiting for the hook
  std::vector<KeyInput> received_;
  int callbackDepth_ = 0;
  bool ranAway_ = false;
};

// Window timers on a manual clock.
class FakeTimers final : public Timers {
 public:
  void Start(TimerId id, unsigned milliseconds) override;
  void Stop(TimerId id) override;

  bool IsRunning(TimerId id) const { return running_.count(id) != 0; }
  unsigned PeriodOf(TimerId id) const { return running_.at(id).period; }
  std::uint64_t Now() const { return now_; }
  std::set<TimerId> Running() const;
  // Moves the clock on, firing every timer that falls due on the way through `onFire`. A timer
  // that its handler does not stop fires again after its period, as window timers do.
  void Advance(std::uint64_t milliseconds);
  std::function<void(TimerId)> onFire;
  // Each expiry runs as a callback of the program there.
  FakeKeyboard* input = nullptr;

 private:
  struct Entry {
    unsigned period = 0;
    std::uint64_t due = 0;
  };
  std::map<TimerId, Entry> running_;
  std::uint64_t now_ = 0;
};

// The low-level keyboard hook chain.
class FakeHook final : public Hook {
 public:
  HookHandle Install() override;
  void Remove(HookHandle handle) override;
  std::intptr_t CallNext(HookHandle handle, int code, std::uintptr_t message,
                         std::intptr_t raw) override;

  bool Installed() const { return installed_ != 0; }
  HookHandle Handle() const { return installed_; }
  int InstallCount() const { return installs_; }
  bool failInstall = false;
  std::vector<HookHandle> callNextHandles;

 private:
  HookHandle installed_ = 0;
  HookHandle nextHandle_ = 0x1000;
  int installs_ = 0;
};

// Named mutexes, the module path and the system version.
class FakeKernel final : public Kernel {
 public:
  void LoadLibrariesFromSystemOnly() override { systemLibrariesOnly = true; }
  bool systemLibrariesOnly = false;
  MutexResult CreateOwnedMutex(const char* name) override;
  MutexResult OpenSyncMutex(const char* name) override;
  void Close(KernelHandle handle) override;
  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override;
  bool OsVersion(std::uint32_t* major, std::uint32_t* minor) override;

  std::set<std::string> existingMutexes;  // held by other processes
  std::set<std::string> deniedMutexes;    // exist, but OpenMutexA is refused access
  bool failCreateMutex = false;
  std::string modulePath = "C:\\Program Files\\BkRemote\\BkRemote.exe";
  std::uint32_t osMajor = 6;  // Windows 7
  std::uint32_t osMinor = 1;
  bool failVersion = false;

  std::set<KernelHandle> OpenHandles() const;
  std::vector<std::string> openedMutexNames;

 private:
  std::map<KernelHandle, std::string> handles_;
  KernelHandle nextHandle_ = 0x100;
};

// The program's own window class, window, fonts and message loop.
class FakeShell final : public Shell {
 public:
  bool RegisterInputClass(const WindowClassValues& values) override;
  WindowId CreateInputWindow(const WindowValues& values) override;
  FontHandle CreateFontHandle(const FontValues& values) override;
  void DeleteFontHandle(FontHandle font) override;
  void PostQuit() override { ++quitPosted; }
  void RunMessageLoop() override;

  bool failRegisterClass = false;
  bool failCreateWindow = false;
  std::vector<WindowClassValues> registeredClasses;
  std::vector<WindowValues> createdWindows;
  std::vector<FontValues> fontsCreated;
  std::set<FontHandle> liveFonts;
  int quitPosted = 0;
  int loopsRun = 0;
  WindowId windowId = 0x5000;
  // The model of the program's windows that the new window joins.
  FakeLayoutWindow* windowModel = nullptr;
  // Called inside CreateInputWindow, as WM_CREATE arrives inside CreateWindowExA.
  std::function<void()> onCreate;
  // What happens while the message loop runs; the loop returns when this does.
  std::function<void()> whileLooping;

 private:
  FontHandle nextFont_ = 0x900;
};

// WM_INPUT records and the collections of their devices.
class FakeRawInput final : public RawInput {
 public:
  std::uint32_t ReadRecord(std::intptr_t handle, void* buffer, std::uint32_t* size) override;
  bool DeviceCollection(std::uintptr_t device, HidCollection* collection) override;
  bool Register(std::span<const RawDeviceRegistration> devices) override;
  std::vector<HidDevice> HidDevices() override { return connected; }

  // A RAWINPUT record as GetRawInputData copies it, for a device.
  static std::vector<std::uint8_t> HidRecord(std::uintptr_t device, std::uint32_t reportSize,
                                             std::uint32_t count,
                                             const std::vector<std::uint8_t>& reports);
  std::map<std::intptr_t, std::vector<std::uint8_t>> records;
  std::map<std::uintptr_t, HidCollection> devices;  // a device missing here fails its info call
  std::set<std::intptr_t> shortReads;               // records whose second read returns fewer bytes
  std::vector<std::vector<RawDeviceRegistration>> registrations;
  std::vector<HidDevice> connected;
  int deviceInfoCalls = 0;
};

// Everything, wired together and installed.
class FakeOs {
 public:
  FakeOs();
  void Install();
  // An application window of `process`, whose image the platform reports as `imageName`
  // (device form, such as "\\Device\\HarddiskVolume3\\App\\app.exe").
  WindowId AddApp(WindowId window, ProcessId process, std::string imageName);

  FakeHook hook;
  FakeKeyboard keyboard{hook};
  FakeTimers timers;
  FakeProcesses processes;
  FakeKernel kernel;
  FakeShell shell;
  FakeRawInput rawInput;
  FakeDesktop desktop;  // also the window commands
  FakeRegistry registry;
  FakeLauncher launcher;
  FakeLayoutWindow layoutWindow;
};

}  // namespace bk::fake
