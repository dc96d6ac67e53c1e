#include "fake/fake_os.h"

#include <algorithm>
#include <cstring>

#include "osd/keyboard_hook.h"
#include "platform/us_layout.h"

namespace bk::fake {

// ---- keyboard ------------------------------------------------------------------------------

unsigned FakeKeyboard::SendKeys(std::span<const KeyInput> events) {
  if (hook_.Installed()) ++callsWhileHooked_;
  if (keepLogs) calls_.emplace_back(events.begin(), events.end());
  for (const KeyInput& event : events) {
    const std::uint8_t vk = static_cast<std::uint8_t>(event.vk);
    const bool up = (event.flags & kKeyEventKeyUp) != 0;
    // The key state follows at once: the program's keys pass its own hook.
    SetDown(vk, !up);
    programDown_[vk] = !up;
    if (keepLogs) {
      stream_.push_back(event);
      if (dropOwnMarker && stream_.back().extraInfo == kOwnInputMarker)
        stream_.back().extraInfo = 0;
    }
  }
  if (onInjected) {
    const std::vector<KeyInput> sent(events.begin(), events.end());
    for (const KeyInput& event : sent) onInjected(event);
  }
  return static_cast<unsigned>(events.size());
}

void FakeKeyboard::SetDown(std::uint8_t vk, bool down) {
  if (down && vk == vk::Capital && !down_[vk]) capsLock_ = !capsLock_;
  down_[vk] = down;
  // The side-neutral codes follow their left and right keys, as GetAsyncKeyState reports.
  down_[vk::Shift] = down_[vk::LShift] || down_[vk::RShift];
  down_[vk::Control] = down_[vk::LControl] || down_[vk::RControl];
  down_[vk::Menu] = down_[vk::LMenu] || down_[vk::RMenu];
}

bool FakeKeyboard::Hooked(const KeyInput& event) {
  if (!hook_.Installed()) return false;
  const bool up = (event.flags & kKeyEventKeyUp) != 0;
  // With Alt down and Ctrl up, keys arrive as system keys.
  const bool system = down_[vk::Menu] && !down_[vk::Control];
  const std::uintptr_t message =
      system ? (up ? kWmSysKeyUp : kWmSysKeyDown) : (up ? kWmKeyUp : kWmKeyDown);
  HookEvent hooked;
  hooked.vkCode = event.vk;
  hooked.flags = (up ? 0x80u : 0u) | (event.extraInfo != 0 ? 0x10u : 0u);  // LLKHF_UP, INJECTED
  hooked.extraInfo = event.extraInfo;
  ++callbackDepth_;
  const std::intptr_t result = KeyboardHookProc(kHcAction, message, hooked, 0);
  --callbackDepth_;
  return result != 0;
}

void FakeKeyboard::Reach(const KeyInput& event) {
  if (keepLogs) received_.push_back(event);
}

void FakeKeyboard::Input(std::uint8_t vk, bool down, std::uintptr_t extraInfo) {
  Deliver();
  KeyInput event;
  event.vk = vk;
  event.scan = ScanCode(vk);
  event.flags = down ? 0 : kKeyEventKeyUp;
  event.extraInfo = extraInfo;
  userHolds_[vk] = down;
  if (!Hooked(event)) {
    SetDown(vk, down);
    Reach(event);
  }
  Deliver();
}

void FakeKeyboard::Callback(const std::function<void()>& handler) {
  ++callbackDepth_;
  handler();
  --callbackDepth_;
  Deliver();
}

void FakeKeyboard::Deliver() {
  if (callbackDepth_ != 0) return;
  int delivered = 0;
  while (!stream_.empty()) {
    if (++delivered > replayLimit) {
      ranAway_ = true;
      stream_.clear();
      break;
    }
    const KeyInput event = stream_.front();
    stream_.pop_front();
    // The key state already follows the program's keys (SendKeys); only the path is replayed.
    if (!Hooked(event)) Reach(event);
  }
}

const std::vector<KeyInput>& FakeKeyboard::Received() {
  Deliver();
  return received_;
}

std::uint16_t FakeKeyboard::ScanCode(std::uint8_t vk) {
  // Any stable, non-zero mapping serves: tests compare against this same function.
  return static_cast<std::uint16_t>(vk == 0 ? 0 : 0x100 + vk);
}

KeyValue FakeKeyboard::KeyForChar(char ch) {
  const auto found = overrides_.find(static_cast<unsigned char>(ch));
  if (found != overrides_.end()) return found->second;
  return UsLayoutKeyForChar(ch);
}

bool FakeKeyboard::AsyncKeyDown(std::uint8_t vk) {
  return down_[vk];
}

bool FakeKeyboard::KeyToggled(std::uint8_t vk) {
  return vk == vk::Capital && capsLock_;
}

void FakeKeyboard::UserPress(std::uint8_t vk, bool down) {
  down_[vk] = down;
  down_[vk::Shift] = down_[vk::LShift] || down_[vk::RShift];
  down_[vk::Control] = down_[vk::LControl] || down_[vk::RControl];
  down_[vk::Menu] = down_[vk::LMenu] || down_[vk::RMenu];
}

std::vector<std::uint8_t> FakeKeyboard::KeysHeldByProgram() const {
  std::vector<std::uint8_t> held;
  for (unsigned vk = 0; vk < 256; ++vk) {
    if (programDown_[vk] && down_[vk] && !userHolds_[vk])
      held.push_back(static_cast<std::uint8_t>(vk));
  }
  return held;
}

std::vector<KeyInput> FakeKeyboard::AllEvents() const {
  std::vector<KeyInput> all;
  for (const auto& call : calls_) all.insert(all.end(), call.begin(), call.end());
  return all;
}

// ---- timers --------------------------------------------------------------------------------

void FakeTimers::Start(TimerId id, unsigned milliseconds) {
  running_[id] = {milliseconds, now_ + milliseconds};
}

void FakeTimers::Stop(TimerId id) {
  running_.erase(id);
}

std::set<TimerId> FakeTimers::Running() const {
  std::set<TimerId> ids;
  for (const auto& [id, entry] : running_) ids.insert(id);
  return ids;
}

void FakeTimers::Advance(std::uint64_t milliseconds) {
  const std::uint64_t end = now_ + milliseconds;
  for (;;) {
    auto next =
        std::min_element(running_.begin(), running_.end(),
                         [](const auto& a, const auto& b) { return a.second.due < b.second.due; });
    if (next == running_.end() || next->second.due > end) break;
    const TimerId id = next->first;
    now_ = next->second.due;
    next->second.due = now_ + std::max(1u, next->second.period);
    if (!onFire) continue;
    if (input != nullptr) {
      input->Callback([&] { onFire(id); });
    } else {
      onFire(id);
    }
  }
  now_ = end;
}

// ---- hook ----------------------------------------------------------------------------------

HookHandle FakeHook::Install() {
  if (failInstall) return 0;
  ++installs_;
  installed_ = ++nextHandle_;
  return installed_;
}

void FakeHook::Remove(HookHandle handle) {
  if (handle == installed_) installed_ = 0;
}

std::intptr_t FakeHook::CallNext(HookHandle handle, int, std::uintptr_t, std::intptr_t) {
  callNextHandles.push_back(handle);
  return 0;
}

// ---- kernel --------------------------------------------------------------------------------

MutexResult FakeKernel::CreateOwnedMutex(const char* name) {
  if (failCreateMutex) return {0, kErrorAccessDenied};
  const KernelHandle handle = ++nextHandle_;
  handles_[handle] = name;
  const bool existed = !existingMutexes.insert(name).second;
  return {handle, existed ? kErrorAlreadyExists : 0};
}

MutexResult FakeKernel::OpenSyncMutex(const char* name) {
  openedMutexNames.emplace_back(name);
  if (deniedMutexes.count(name) != 0) return {0, kErrorAccessDenied};
  if (existingMutexes.count(name) == 0) return {0, 2 /* ERROR_FILE_NOT_FOUND */};
  const KernelHandle handle = ++nextHandle_;
  handles_[handle] = name;
  return {handle, 0};
}

void FakeKernel::Close(KernelHandle handle) {
  handles_.erase(handle);
}

std::uint32_t FakeKernel::ModuleFileName(char* buffer, std::uint32_t size) {
  // As GetModuleFileNameA: a path that does not fit is cut and the full size returned.
  const std::size_t length = std::min<std::size_t>(modulePath.size(), size);
  std::memcpy(buffer, modulePath.data(), length);
  if (length < size) {
    buffer[length] = '\0';
  } else if (size > 0) {
    buffer[size - 1] = '\0';
  }
  return static_cast<std::uint32_t>(length);
}

bool FakeKernel::OsVersion(std::uint32_t* major, std::uint32_t* minor) {
  *major = failVersion ? 0 : osMajor;
  *minor = failVersion ? 0 : osMinor;
  return !failVersion;
}

std::set<KernelHandle> FakeKernel::OpenHandles() const {
  std::set<KernelHandle> open;
  for (const auto& [handle, name] : handles_) open.insert(handle);
  return open;
}

// ---- shell ---------------------------------------------------------------------------------

bool FakeShell::RegisterInputClass(const WindowClassValues& values) {
  registeredClasses.push_back(values);
  return !failRegisterClass;
}

WindowId FakeShell::CreateInputWindow(const WindowValues& values) {
  createdWindows.push_back(values);
  if (failCreateWindow) return 0;
  if (windowModel != nullptr) {
    FakeWindow window;
    window.className = values.className;
    window.style = values.style;
    window.exStyle = values.exStyle;
    window.rect = {values.x, values.y, values.x + values.width, values.y + values.height};
    windowModel->AddTopLevel(windowId, window);
  }
  if (onCreate) onCreate();
  return windowId;
}

FontHandle FakeShell::CreateFontHandle(const FontValues& values) {
  fontsCreated.push_back(values);
  const FontHandle font = ++nextFont_;
  liveFonts.insert(font);
  return font;
}

void FakeShell::DeleteFontHandle(FontHandle font) {
  liveFonts.erase(font);
}

void FakeShell::RunMessageLoop() {
  ++loopsRun;
  if (whileLooping) whileLooping();
}

// ---- raw input -----------------------------------------------------------------------------

std::uint32_t FakeRawInput::ReadRecord(std::intptr_t handle, void* buffer, std::uint32_t* size) {
  const auto found = records.find(handle);
  if (found == records.end()) {
    *size = 0;
    return kRawReadError;
  }
  const std::vector<std::uint8_t>& record = found->second;
  if (buffer == nullptr) {
    *size = static_cast<std::uint32_t>(record.size());
    return 0;
  }
  if (*size < record.size()) return kRawReadError;
  std::uint32_t copied = static_cast<std::uint32_t>(record.size());
  if (shortReads.count(handle) != 0 && copied > 0) --copied;
  std::memcpy(buffer, record.data(), copied);
  return copied;
}

bool FakeRawInput::DeviceCollection(std::uintptr_t device, HidCollection* collection) {
  ++deviceInfoCalls;
  const auto found = devices.find(device);
  if (found == devices.end()) return false;
  *collection = found->second;
  return true;
}

bool FakeRawInput::Register(std::span<const RawDeviceRegistration> devices) {
  registrations.emplace_back(devices.begin(), devices.end());
  return true;
}

std::vector<std::uint8_t> FakeRawInput::HidRecord(std::uintptr_t device, std::uint32_t reportSize,
                                                  std::uint32_t count,
                                                  const std::vector<std::uint8_t>& reports) {
  std::vector<std::uint8_t> record(RawRecordLayout::kHidDataOffset + reports.size());
  const std::uint32_t type = RawRecordLayout::kTypeHid;
  const std::uint32_t total = static_cast<std::uint32_t>(record.size());
  std::memcpy(&record[RawRecordLayout::kTypeOffset], &type, 4);
  std::memcpy(&record[4], &total, 4);
  std::memcpy(&record[RawRecordLayout::kDeviceOffset], &device, sizeof device);
  std::memcpy(&record[RawRecordLayout::kHidSizeOffset], &reportSize, 4);
  std::memcpy(&record[RawRecordLayout::kHidCountOffset], &count, 4);
  std::copy(reports.begin(), reports.end(), record.begin() + RawRecordLayout::kHidDataOffset);
  return record;
}

// ---- all -----------------------------------------------------------------------------------

FakeOs::FakeOs() {
  timers.input = &keyboard;
  shell.windowModel = &layoutWindow;
  desktop.ownWindows = &layoutWindow;
}

WindowId FakeOs::AddApp(WindowId window, ProcessId process, std::string imageName) {
  desktop.AddWindowAs(window, process + 1, process);
  processes.processes[process] = {std::move(imageName)};
  return window;
}

void FakeOs::Install() {
  Os all;
  all.keyboard = &keyboard;
  all.timers = &timers;
  all.hook = &hook;
  all.processes = &processes;
  all.kernel = &kernel;
  all.shell = &shell;
  all.rawInput = &rawInput;
  all.desktop = &desktop;
  all.windows = &desktop;
  all.registry = &registry;
  all.launcher = &launcher;
  all.layoutWindow = &layoutWindow;
  InstallOs(all);
}

}  // namespace bk::fake
