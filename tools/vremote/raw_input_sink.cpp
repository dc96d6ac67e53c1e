#include "raw_input_sink.h"

#include <windows.h>

#include <vector>

#include "virtual_remote.h"

namespace bk::vremote {

struct RawInputSink::State {
  mutable CRITICAL_SECTION lock;
  std::vector<ReceivedReport> reports;
  HANDLE thread = nullptr;
  HANDLE started = nullptr;
  HWND window = nullptr;
  DWORD threadId = 0;
  bool ok = false;
  std::string why;
};

namespace {

constexpr const char kClassName[] = "BkVremoteSink";

void Record(RawInputSink::State* state, HRAWINPUT handle);

LRESULT CALLBACK SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INPUT) {
    auto* state = reinterpret_cast<RawInputSink::State*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (state) Record(state, reinterpret_cast<HRAWINPUT>(lParam));
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void Record(RawInputSink::State* state, HRAWINPUT handle) {
  const double now = NowMs();
  UINT size = 0;
  GetRawInputData(handle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER));
  if (size < sizeof(RAWINPUTHEADER)) return;
  std::vector<std::uint8_t> buffer(size);
  if (GetRawInputData(handle, RID_INPUT, buffer.data(), &size, sizeof(RAWINPUTHEADER)) != size)
    return;
  const auto* input = reinterpret_cast<const RAWINPUT*>(buffer.data());
  if (input->header.dwType != RIM_TYPEHID) return;
  RID_DEVICE_INFO info{};
  info.cbSize = sizeof info;
  UINT infoSize = sizeof info;
  if (GetRawInputDeviceInfoA(input->header.hDevice, RIDI_DEVICEINFO, &info, &infoSize) ==
      static_cast<UINT>(-1)) {
    return;
  }
  const DWORD reportSize = input->data.hid.dwSizeHid;
  const DWORD count = input->data.hid.dwCount;
  const std::size_t dataOffset = offsetof(RAWINPUT, data.hid.bRawData);
  if (reportSize == 0 || dataOffset + std::size_t{reportSize} * count > size) return;
  EnterCriticalSection(&state->lock);
  for (DWORD i = 0; i < count; ++i) {
    const std::uint8_t* report = input->data.hid.bRawData + std::size_t{i} * reportSize;
    state->reports.push_back({now, reinterpret_cast<std::uintptr_t>(input->header.hDevice),
                              info.hid.usUsagePage, info.hid.usUsage,
                              std::vector<std::uint8_t>(report, report + reportSize)});
  }
  LeaveCriticalSection(&state->lock);
}

DWORD WINAPI SinkThread(void* parameter) {
  auto* state = static_cast<RawInputSink::State*>(parameter);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = SinkProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);
  // A hidden top-level window: Raw Input targets need not be visible.
  state->window =
      CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kClassName, "BkVremoteSink", WS_POPUP, 0,
                      0, 1, 1, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!state->window) {
    state->why = "cannot create the sink window";
    SetEvent(state->started);
    return 1;
  }
  SetWindowLongPtrA(state->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  std::vector<RAWINPUTDEVICE> devices;
  for (const Collection& c : Collections()) {
    devices.push_back({c.usagePage, c.usage, RIDEV_INPUTSINK, state->window});
  }
  state->ok = RegisterRawInputDevices(devices.data(), static_cast<UINT>(devices.size()),
                                      sizeof(RAWINPUTDEVICE)) != FALSE;
  if (!state->ok) state->why = "RegisterRawInputDevices failed";
  SetEvent(state->started);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

}  // namespace

RawInputSink::RawInputSink() : state_(new State) {
  InitializeCriticalSection(&state_->lock);
}

RawInputSink::~RawInputSink() {
  if (state_->thread) {
    PostThreadMessageA(state_->threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(state_->thread, 5000);
    CloseHandle(state_->thread);
  }
  if (state_->started) CloseHandle(state_->started);
  DeleteCriticalSection(&state_->lock);
  delete state_;
}

bool RawInputSink::Start(std::string* why) {
  state_->started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  state_->thread = CreateThread(nullptr, 0, SinkThread, state_, 0, &state_->threadId);
  if (!state_->thread) {
    if (why) *why = "cannot start the sink thread";
    return false;
  }
  WaitForSingleObject(state_->started, 30000);
  if (!state_->ok && why) *why = state_->why;
  return state_->ok;
}

std::vector<ReceivedReport> RawInputSink::Reports() const {
  EnterCriticalSection(&state_->lock);
  std::vector<ReceivedReport> copy = state_->reports;
  LeaveCriticalSection(&state_->lock);
  return copy;
}

std::size_t RawInputSink::Count() const {
  EnterCriticalSection(&state_->lock);
  const std::size_t n = state_->reports.size();
  LeaveCriticalSection(&state_->lock);
  return n;
}

}  // namespace bk::vremote
