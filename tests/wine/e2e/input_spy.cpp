#include "input_spy.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

using bk::e2e::SpyLog;
using bk::e2e::SpyRecord;

SpyLog* Log() {
  static SpyLog* log = [] {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, bk::e2e::kSpyMapping);
    return mapping
               ? static_cast<SpyLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(SpyLog)))
               : nullptr;
  }();
  return log;
}

void Record(const MSG& message) {
  SpyLog* log = Log();
  if (!log) return;
  UINT size = 0;
  const auto handle = reinterpret_cast<HRAWINPUT>(message.lParam);
  GetRawInputData(handle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER));
  if (size < sizeof(RAWINPUTHEADER)) return;
  std::vector<BYTE> buffer(size);
  if (GetRawInputData(handle, RID_INPUT, buffer.data(), &size, sizeof(RAWINPUTHEADER)) != size)
    return;
  const auto* input = reinterpret_cast<const RAWINPUT*>(buffer.data());
  if (input->header.dwType != RIM_TYPEHID) return;
  RID_DEVICE_INFO info{};
  info.cbSize = sizeof info;
  UINT infoSize = sizeof info;
  GetRawInputDeviceInfoA(input->header.hDevice, RIDI_DEVICEINFO, &info, &infoSize);
  SpyRecord record{};
  record.usagePage = info.hid.usUsagePage;
  record.usage = info.hid.usUsage;
  const DWORD available = size - static_cast<DWORD>(offsetof(RAWINPUT, data.hid.bRawData));
  DWORD length = input->data.hid.dwSizeHid;
  if (length > available) length = available;
  if (length > sizeof record.bytes) length = sizeof record.bytes;
  record.size = length;
  std::memcpy(record.bytes, input->data.hid.bRawData, length);
  GetClassNameA(message.hwnd, record.windowClass, sizeof record.windowClass);
  const long index = InterlockedIncrement(&log->count) - 1;
  log->records[index % bk::e2e::kSpyCapacity] = record;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    InputSpyHook(int code, WPARAM wParam, LPARAM lParam) {
  // Only messages the loop removes: a peek that leaves the message would count it twice.
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (message->message == WM_INPUT) Record(*message);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
  // The harness loads the spy too, to hand its hook procedure over; only other processes count.
  if (reason == DLL_PROCESS_ATTACH && GetModuleHandleA("bk_e2e.exe") == nullptr) {
    if (SpyLog* log = Log()) InterlockedIncrement(&log->attached);
  }
  return TRUE;
}
