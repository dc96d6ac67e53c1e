// The virtual remote from user mode: its devices, setting it up in a Wine prefix, and pressing
// its buttons. Shared by the controller tool, the end-to-end harness and the interactive remote.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bk::vremote {

// One virtual HID device: one top-level collection, because Wine exposes only the first
// collection of a device.
struct Collection {
  std::uint32_t slot;
  std::string_view name;  // "consumer", "vendor", "ffbc", "selection"
  std::uint16_t usagePage;
  std::uint16_t usage;
  std::uint8_t reportId;
  std::uint8_t valueBytes;  // 2 for a 16-bit usage, 1 for a button byte
  std::vector<std::uint8_t> descriptor;
  // The report id plus the value: hidclass drops reports shorter than this.
  std::uint32_t ReportLength() const { return 1u + valueBytes; }
};

const std::vector<Collection>& Collections();
const Collection* FindCollection(std::string_view name);

// A remote button: the collection it reports on and the value its press report carries. The
// release report carries 0 on the same collection.
struct Button {
  std::string_view name;
  std::uint32_t slot;
  std::uint16_t value;
};

// The sixteen media buttons and the vendor buttons, by the names the binding files use.
const std::vector<Button>& Buttons();
// A button name, or "<collection>:<value>" (for example "vendor:3", "selection:0x224").
std::optional<Button> ParseButton(std::string_view text);

// The report bytes, padded to the collection's report length.
std::vector<std::uint8_t> MakeReport(const Collection& collection, std::uint16_t value);

struct SetupResult {
  bool ok = false;
  int created = 0;  // devices created by this call
  bool driverInstalled = false;
  double seconds = 0;  // from the call to the devices being listed by Raw Input
  std::string message;
};

// Creates whichever of the devices are missing, installs the driver from the INF when a device
// was created or the driver is not running, and waits until Raw Input lists every collection.
SetupResult Setup(const std::wstring& infPath, unsigned timeoutMs);

// True when the driver answers and Raw Input lists every collection.
bool Ready(std::string* why = nullptr);
bool WaitReady(unsigned timeoutMs, std::string* why = nullptr);

// Hands one report to the driver.
bool SendReport(std::uint32_t slot, const std::vector<std::uint8_t>& report,
                std::string* why = nullptr);
bool SendValue(std::uint32_t slot, std::uint16_t value, std::string* why = nullptr);
// A press as the real remote sends it: the press report, then the release report.
bool Press(const Button& button, std::string* why = nullptr);

struct SlotStatus {
  std::uint32_t slot;
  bool started;
  std::uint32_t readsWaiting;
  std::uint32_t queued;
  std::uint32_t delivered;
};
std::optional<std::vector<SlotStatus>> DriverStatus(std::string* why = nullptr);

// The HID devices Raw Input lists, with their handles (which change when a device is re-created).
struct RawDevice {
  std::uintptr_t handle;
  std::uint16_t usagePage;
  std::uint16_t usage;
  std::string name;
};
std::vector<RawDevice> RawHidDevices();

// Milliseconds from a monotonic clock, for timings and deadlines.
double NowMs();

}  // namespace bk::vremote
