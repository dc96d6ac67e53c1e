#include <windows.h>

#include <cstddef>
#include <vector>

#include "platform/win32/win32_os.h"

namespace bk::win32 {

static_assert(sizeof(RAWINPUTHEADER) == RawRecordLayout::kHeaderSize);
static_assert(offsetof(RAWINPUTHEADER, dwType) == RawRecordLayout::kTypeOffset);
static_assert(offsetof(RAWINPUTHEADER, hDevice) == RawRecordLayout::kDeviceOffset);
static_assert(offsetof(RAWINPUT, data.hid.dwSizeHid) == RawRecordLayout::kHidSizeOffset);
static_assert(offsetof(RAWINPUT, data.hid.dwCount) == RawRecordLayout::kHidCountOffset);
static_assert(offsetof(RAWINPUT, data.hid.bRawData) == RawRecordLayout::kHidDataOffset);
static_assert(RIM_TYPEHID == RawRecordLayout::kTypeHid);
static_assert(RIDEV_INPUTSINK == kRidevInputSink);

namespace {

class Win32RawInput final : public RawInput {
 public:
  std::uint32_t ReadRecord(std::intptr_t handle, void* buffer, std::uint32_t* size) override {
    UINT bytes = *size;
    const UINT result = GetRawInputData(reinterpret_cast<HRAWINPUT>(handle), RID_INPUT, buffer,
                                        &bytes, sizeof(RAWINPUTHEADER));
    *size = bytes;
    return result;
  }
  bool DeviceCollection(std::uintptr_t device, HidCollection* collection) override {
    RID_DEVICE_INFO info{};
    info.cbSize = sizeof info;
    UINT infoSize = sizeof info;
    const UINT result =
        GetRawInputDeviceInfoA(reinterpret_cast<HANDLE>(device), RIDI_DEVICEINFO, &info, &infoSize);
    if (result == static_cast<UINT>(-1) || result == 0 || info.dwType != RIM_TYPEHID) return false;
    collection->usagePage = info.hid.usUsagePage;
    collection->usage = info.hid.usUsage;
    return true;
  }
  bool Register(std::span<const RawDeviceRegistration> devices) override {
    std::vector<RAWINPUTDEVICE> entries;
    for (const RawDeviceRegistration& device : devices) {
      entries.push_back(
          {device.usagePage, device.usage, device.flags, reinterpret_cast<HWND>(device.target)});
    }
    return RegisterRawInputDevices(entries.data(), static_cast<UINT>(entries.size()),
                                   sizeof(RAWINPUTDEVICE)) != FALSE;
  }
  bool HidDevices(std::vector<HidDevice>* devices) override {
    std::vector<RAWINPUTDEVICELIST> list;
    UINT count = 0;
    // A device that comes between the two calls fails the second, which then gives the new
    // count: ask again, a few times, rather than report no device at all.
    for (int attempt = 0;; ++attempt) {
      if (attempt == 8 || GetRawInputDeviceList(nullptr, &count, sizeof list[0]) != 0) return false;
      list.resize(count);
      const UINT listed = GetRawInputDeviceList(list.data(), &count, sizeof list[0]);
      if (listed != static_cast<UINT>(-1)) {
        list.resize(listed);
        break;
      }
    }
    devices->clear();
    for (const RAWINPUTDEVICELIST& entry : list) {
      HidDevice device;
      device.handle = Id(entry.hDevice);
      char name[512] = {};
      UINT nameSize = sizeof name - 1;
      // A device that went away since the list was taken fails these calls: it is left out.
      if (entry.dwType != RIM_TYPEHID || !DeviceCollection(device.handle, &device.collection) ||
          GetRawInputDeviceInfoA(entry.hDevice, RIDI_DEVICENAME, name, &nameSize) ==
              static_cast<UINT>(-1)) {
        continue;
      }
      device.name = name;
      devices->push_back(device);
    }
    return true;
  }

 private:
  static std::uintptr_t Id(HANDLE device) { return reinterpret_cast<std::uintptr_t>(device); }
};

}  // namespace

RawInput& RawInputImpl() {
  static Win32RawInput rawInput;
  return rawInput;
}

}  // namespace bk::win32
