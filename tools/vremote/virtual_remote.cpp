#include "virtual_remote.h"

#include <windows.h>
// After windows.h, which they need.
#include <newdev.h>
#include <setupapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

extern "C" {
#include "vremote_protocol.h"
}

namespace bk::vremote {

namespace {

// The System device class, which the INF installs into.
const GUID kSystemClass = {
    0x4d36e97d, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

std::vector<std::uint8_t> Descriptor(std::uint8_t pageLow, std::uint8_t pageHigh,
                                     std::uint8_t usage, std::uint8_t reportId, bool sixteenBit) {
  const bool vendorPage = pageHigh != 0;
  std::vector<std::uint8_t> d;
  if (vendorPage) {
    d.insert(d.end(), {0x06, pageLow, pageHigh});  // Usage Page (16-bit)
  } else {
    d.insert(d.end(), {0x05, pageLow});  // Usage Page
  }
  d.insert(d.end(), {0x09, usage,     // Usage
                     0xA1, 0x01,      // Collection (Application)
                     0x85, reportId,  //   Report ID
                     0x15, 0x00});    //   Logical Minimum (0)
  if (sixteenBit) {
    d.insert(d.end(), {0x26, 0xFF, 0x03,  //   Logical Maximum (0x3FF)
                       0x19, 0x00,        //   Usage Minimum (0)
                       0x2A, 0xFF, 0x03,  //   Usage Maximum (0x3FF)
                       0x75, 0x10});      //   Report Size (16)
  } else {
    d.insert(d.end(), {0x26, 0xFF, 0x00,  //   Logical Maximum (255)
                       0x19, 0x00,        //   Usage Minimum (0)
                       0x2A, 0xFF, 0x00,  //   Usage Maximum (255)
                       0x75, 0x08});      //   Report Size (8)
  }
  d.insert(d.end(), {0x95, 0x01,  //   Report Count (1)
                     0x81, 0x00,  //   Input (Data, Array, Absolute)
                     0xC0});      // End Collection
  return d;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

std::string LastErrorText(const char* what) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, "%s failed (error %lu)", what, GetLastError());
  return buffer;
}

void SetWhy(std::string* why, std::string text) {
  if (why) *why = std::move(text);
}

// A device of ours that SetupAPI knows, whether or not it runs.
struct KnownDevice {
  std::uint32_t slot;
  bool hasDriver;
};

bool IsOurs(HDEVINFO set, SP_DEVINFO_DATA* info) {
  wchar_t ids[512] = {};
  DWORD type = 0;
  if (!SetupDiGetDeviceRegistryPropertyW(set, info, SPDRP_HARDWAREID, &type,
                                         reinterpret_cast<BYTE*>(ids), sizeof ids - 4, nullptr)) {
    return false;
  }
  for (const wchar_t* id = ids; *id; id += std::wcslen(id) + 1) {
    if (_wcsicmp(id, VREMOTE_HARDWARE_ID) == 0) return true;
  }
  return false;
}

std::vector<KnownDevice> KnownDevices() {
  std::vector<KnownDevice> devices;
  HDEVINFO set = SetupDiGetClassDevsW(&kSystemClass, nullptr, nullptr, 0);
  if (set == INVALID_HANDLE_VALUE) return devices;
  SP_DEVINFO_DATA info{};
  info.cbSize = sizeof info;
  for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
    if (!IsOurs(set, &info)) continue;
    HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) continue;
    DWORD slot = 0, size = sizeof slot, type = 0;
    const bool haveSlot =
        RegQueryValueExW(key, VREMOTE_VALUE_SLOT, nullptr, &type, reinterpret_cast<BYTE*>(&slot),
                         &size) == ERROR_SUCCESS &&
        type == REG_DWORD;
    RegCloseKey(key);
    if (!haveSlot) continue;
    wchar_t service[64] = {};
    const bool hasDriver = SetupDiGetDeviceRegistryPropertyW(set, &info, SPDRP_SERVICE, nullptr,
                                                             reinterpret_cast<BYTE*>(service),
                                                             sizeof service - 2, nullptr) &&
                           _wcsicmp(service, VREMOTE_SERVICE_NAME) == 0;
    devices.push_back({slot, hasDriver});
  }
  SetupDiDestroyDeviceInfoList(set);
  return devices;
}

bool SetDword(HKEY key, const wchar_t* name, DWORD value) {
  return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value) == ERROR_SUCCESS;
}

bool SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// A root-enumerated device with our hardware id, its description in "Device Parameters".
bool CreateDevice(const Collection& collection, std::string* why) {
  HDEVINFO set = SetupDiCreateDeviceInfoList(&kSystemClass, nullptr);
  if (set == INVALID_HANDLE_VALUE) {
    SetWhy(why, LastErrorText("SetupDiCreateDeviceInfoList"));
    return false;
  }
  bool ok = false;
  SP_DEVINFO_DATA info{};
  info.cbSize = sizeof info;
  std::wstring description = L"BkRemote virtual remote (";
  for (char c : collection.name) description += static_cast<wchar_t>(c);
  description += L")";
  // The hardware id property is a list of strings ended by an empty one.
  std::wstring ids = VREMOTE_HARDWARE_ID;
  ids.push_back(L'\0');
  ids.push_back(L'\0');
  if (!SetupDiCreateDeviceInfoW(set, L"BKVREMOTE", &kSystemClass, description.c_str(), nullptr,
                                DICD_GENERATE_ID, &info)) {
    SetWhy(why, LastErrorText("SetupDiCreateDeviceInfoW"));
  } else if (!SetupDiSetDeviceRegistryPropertyW(set, &info, SPDRP_HARDWAREID,
                                                reinterpret_cast<const BYTE*>(ids.data()),
                                                static_cast<DWORD>(ids.size() * sizeof(wchar_t)))) {
    SetWhy(why, LastErrorText("SetupDiSetDeviceRegistryPropertyW"));
  } else if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &info)) {
    SetWhy(why, LastErrorText("DIF_REGISTERDEVICE"));
  } else {
    HKEY key =
        SetupDiCreateDevRegKeyW(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
    if (key == INVALID_HANDLE_VALUE) {
      SetWhy(why, LastErrorText("SetupDiCreateDevRegKeyW"));
    } else {
      ok =
          SetDword(key, VREMOTE_VALUE_SLOT, collection.slot) &&
          RegSetValueExW(key, VREMOTE_VALUE_DESCRIPTOR, 0, REG_BINARY, collection.descriptor.data(),
                         static_cast<DWORD>(collection.descriptor.size())) == ERROR_SUCCESS &&
          SetDword(key, VREMOTE_VALUE_VENDOR_ID, 0x1209) &&
          SetDword(key, VREMOTE_VALUE_PRODUCT_ID, 0xBC00 + collection.slot) &&
          SetDword(key, VREMOTE_VALUE_VERSION, 0x0100) &&
          SetString(key, VREMOTE_VALUE_MANUFACTURER, L"BkRemote developers") &&
          SetString(key, VREMOTE_VALUE_PRODUCT, description) &&
          SetString(key, VREMOTE_VALUE_SERIAL, L"VR" + std::to_wstring(collection.slot));
      RegCloseKey(key);
      if (!ok) SetWhy(why, "writing the device parameters failed");
    }
  }
  SetupDiDestroyDeviceInfoList(set);
  return ok;
}

HANDLE OpenControl() {
  // Shared: the interactive remote keeps its handle while a test or the controller sends too.
  return CreateFileW(VREMOTE_CONTROL_PATH, GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

// One handle for the life of the process; opened again if the driver went away.
HANDLE controlHandle = INVALID_HANDLE_VALUE;

bool Control(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, std::string* why) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (controlHandle == INVALID_HANDLE_VALUE) controlHandle = OpenControl();
    if (controlHandle == INVALID_HANDLE_VALUE) {
      SetWhy(why, LastErrorText("opening the virtual remote's control device"));
      return false;
    }
    DWORD returned = 0;
    if (DeviceIoControl(controlHandle, code, in, inSize, out, outSize, &returned, nullptr)) {
      return true;
    }
    SetWhy(why, LastErrorText("DeviceIoControl on the control device"));
    if (GetLastError() == ERROR_DEV_NOT_EXIST) return false;
    CloseHandle(controlHandle);
    controlHandle = INVALID_HANDLE_VALUE;
  }
  return false;
}

bool HasUsage(const std::vector<RawDevice>& devices, const Collection& collection) {
  return std::any_of(devices.begin(), devices.end(), [&](const RawDevice& d) {
    return d.usagePage == collection.usagePage && d.usage == collection.usage &&
           d.name.find("#BKVREMOTE#") != std::string::npos;
  });
}

}  // namespace

const std::vector<Collection>& Collections() {
  static const std::vector<Collection> collections = {
      {0, "consumer", 0x000C, 0x0001, 1, 2, Descriptor(0x0C, 0x00, 0x01, 1, true)},
      {1, "vendor", 0xFFAA, 0x0088, 2, 1, Descriptor(0xAA, 0xFF, 0x88, 2, false)},
      {2, "ffbc", 0xFFBC, 0x0088, 3, 1, Descriptor(0xBC, 0xFF, 0x88, 3, false)},
      {3, "selection", 0x000C, 0x0080, 4, 2, Descriptor(0x0C, 0x00, 0x80, 4, true)},
  };
  return collections;
}

const Collection* FindCollection(std::string_view name) {
  for (const Collection& c : Collections()) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

const std::vector<Button>& Buttons() {
  static const std::vector<Button> buttons = {
      {"menu", 0, 0x0040},      {"guide", 0, 0x008D},
      {"channelup", 0, 0x009C}, {"channeldown", 0, 0x009D},
      {"play", 0, 0x00B0},      {"pause", 0, 0x00B1},
      {"record", 0, 0x00B2},    {"fastforward", 0, 0x00B3},
      {"rewind", 0, 0x00B4},    {"next", 0, 0x00B5},
      {"previous", 0, 0x00B6},  {"stop", 0, 0x00B7},
      {"info", 0, 0x0209},      {"back", 0, 0x0224},
      {"zoom", 0, 0x022F},      {"fullscreen", 0, 0x0230},
      {"viewer", 1, 0x01},      {"input", 1, 0x02},
      {"a", 1, 0x06},           {"b", 1, 0x07},
      {"c", 1, 0x08},           {"d", 1, 0x09},
  };
  return buttons;
}

std::optional<Button> ParseButton(std::string_view text) {
  for (const Button& b : Buttons()) {
    if (b.name == text) return b;
  }
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const Collection* collection = FindCollection(text.substr(0, colon));
  if (!collection) return std::nullopt;
  const std::string number(text.substr(colon + 1));
  char* end = nullptr;
  const unsigned long value = std::strtoul(number.c_str(), &end, 0);
  const unsigned long limit = collection->valueBytes == 2 ? 0xFFFF : 0xFF;
  if (number.empty() || *end != '\0' || value > limit) return std::nullopt;
  return Button{text, collection->slot, static_cast<std::uint16_t>(value)};
}

std::vector<std::uint8_t> MakeReport(const Collection& collection, std::uint16_t value) {
  std::vector<std::uint8_t> report(collection.ReportLength(), 0);
  report[0] = collection.reportId;
  report[1] = static_cast<std::uint8_t>(value & 0xFF);
  if (collection.valueBytes == 2) report[2] = static_cast<std::uint8_t>(value >> 8);
  return report;
}

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::vector<RawDevice> RawHidDevices() {
  std::vector<RawDevice> devices;
  UINT count = 0;
  if (GetRawInputDeviceList(nullptr, &count, sizeof(RAWINPUTDEVICELIST)) != 0 || count == 0) {
    return devices;
  }
  std::vector<RAWINPUTDEVICELIST> list(count);
  const UINT got = GetRawInputDeviceList(list.data(), &count, sizeof(RAWINPUTDEVICELIST));
  if (got == static_cast<UINT>(-1)) return devices;
  for (UINT i = 0; i < got; ++i) {
    if (list[i].dwType != RIM_TYPEHID) continue;
    RID_DEVICE_INFO info{};
    info.cbSize = sizeof info;
    UINT size = sizeof info;
    if (GetRawInputDeviceInfoW(list[i].hDevice, RIDI_DEVICEINFO, &info, &size) ==
        static_cast<UINT>(-1)) {
      continue;
    }
    wchar_t name[512] = {};
    UINT nameSize = 511;
    GetRawInputDeviceInfoW(list[i].hDevice, RIDI_DEVICENAME, name, &nameSize);
    std::string narrow = Narrow(name);
    std::transform(narrow.begin(), narrow.end(), narrow.begin(), [](char c) {
      return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    });
    devices.push_back({reinterpret_cast<std::uintptr_t>(list[i].hDevice), info.hid.usUsagePage,
                       info.hid.usUsage, narrow});
  }
  return devices;
}

std::optional<std::vector<SlotStatus>> DriverStatus(std::string* why) {
  VremoteStatus status{};
  if (!Control(IOCTL_VREMOTE_STATUS, nullptr, 0, &status, sizeof status, why)) return std::nullopt;
  std::vector<SlotStatus> slots;
  for (unsigned long i = 0; i < status.count && i < VREMOTE_MAX_SLOTS; ++i) {
    const VremoteSlotStatus& s = status.slots[i];
    slots.push_back({static_cast<std::uint32_t>(s.slot), s.started != 0,
                     static_cast<std::uint32_t>(s.readsWaiting),
                     static_cast<std::uint32_t>(s.queued),
                     static_cast<std::uint32_t>(s.delivered)});
  }
  return slots;
}

bool Ready(std::string* why) {
  const auto slots = DriverStatus(why);
  if (!slots) return false;
  for (const Collection& c : Collections()) {
    const bool started = std::any_of(slots->begin(), slots->end(), [&](const SlotStatus& s) {
      return s.slot == c.slot && s.started;
    });
    if (!started) {
      SetWhy(why, "the driver has not started the " + std::string(c.name) + " device");
      return false;
    }
  }
  const std::vector<RawDevice> devices = RawHidDevices();
  for (const Collection& c : Collections()) {
    if (!HasUsage(devices, c)) {
      SetWhy(why, "Raw Input does not list the " + std::string(c.name) + " collection yet");
      return false;
    }
  }
  return true;
}

bool WaitReady(unsigned timeoutMs, std::string* why) {
  const double deadline = NowMs() + timeoutMs;
  while (!Ready(why)) {
    if (NowMs() > deadline) return false;
    Sleep(50);
  }
  return true;
}

SetupResult Setup(const std::wstring& infPath, unsigned timeoutMs) {
  SetupResult result;
  const double start = NowMs();
  std::vector<KnownDevice> known = KnownDevices();
  bool needDriver = false;
  for (const Collection& c : Collections()) {
    auto it = std::find_if(known.begin(), known.end(),
                           [&](const KnownDevice& d) { return d.slot == c.slot; });
    if (it == known.end()) {
      if (!CreateDevice(c, &result.message)) return result;
      ++result.created;
      needDriver = true;
    } else if (!it->hasDriver) {
      needDriver = true;
    }
  }
  if (needDriver) {
    BOOL reboot = FALSE;
    if (!UpdateDriverForPlugAndPlayDevicesW(nullptr, VREMOTE_HARDWARE_ID, infPath.c_str(),
                                            INSTALLFLAG_FORCE, &reboot)) {
      result.message = LastErrorText("UpdateDriverForPlugAndPlayDevicesW");
      return result;
    }
    result.driverInstalled = true;
  }
  std::string why;
  result.ok = WaitReady(timeoutMs, &why);
  result.seconds = (NowMs() - start) / 1000.0;
  if (!result.ok) result.message = "not ready: " + why;
  return result;
}

bool SendReport(std::uint32_t slot, const std::vector<std::uint8_t>& report, std::string* why) {
  if (report.empty() || report.size() > VREMOTE_MAX_REPORT) {
    SetWhy(why, "bad report length");
    return false;
  }
  VremoteReport request{};
  request.slot = slot;
  request.length = static_cast<unsigned long>(report.size());
  std::copy(report.begin(), report.end(), request.data);
  return Control(IOCTL_VREMOTE_SEND_REPORT, &request, sizeof request, nullptr, 0, why);
}

bool SendValue(std::uint32_t slot, std::uint16_t value, std::string* why) {
  for (const Collection& c : Collections()) {
    if (c.slot == slot) return SendReport(slot, MakeReport(c, value), why);
  }
  SetWhy(why, "no such collection");
  return false;
}

bool Press(const Button& button, std::string* why) {
  return SendValue(button.slot, button.value, why) && SendValue(button.slot, 0, why);
}

}  // namespace bk::vremote
