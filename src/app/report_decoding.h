// Turning one WM_INPUT record into ButtonCodes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/os.h"

namespace bk {

// The code of one report: usage page << 32 | usage << 16 | byte 2 << 8 | byte 1, where byte 2
// counts only when the report is longer than 2 bytes. `report` holds at least 2 bytes.
ButtonCode BuildButtonCode(std::uint16_t usagePage, std::uint16_t usage,
                           std::span<const std::uint8_t> report);

// The codes of a HID block of `count` reports of `reportSize` bytes each, one code per report.
// Reports shorter than 2 bytes give no code; so does a block that `data` cannot hold.
std::vector<ButtonCode> ButtonCodesOfBlock(std::uint16_t usagePage, std::uint16_t usage,
                                           std::uint32_t reportSize, std::uint32_t count,
                                           std::span<const std::uint8_t> data);

// One WM_INPUT record's HID block, read, with the collection of the device it came from.
struct RawHidBlock {
  std::unique_ptr<std::uint8_t[]> record;
  HidCollection collection;
  std::uintptr_t device = 0;  // the handle of the device it came from
  std::uint32_t reportSize = 0;
  std::uint32_t count = 0;
  std::span<const std::uint8_t> data;  // within `record`; holds reportSize * count bytes at least
};
enum class RawRead {
  Unreadable,  // the record could not be read: the window procedure returns 0
  NoBlock,     // not a HID record, or the device's collection is unknown: no code
  Block,
};
// Reads the record behind a WM_INPUT lParam and asks for its device's collection.
RawRead ReadRawHidBlock(std::intptr_t rawInputHandle, RawHidBlock* block);

// Reads the record behind a WM_INPUT lParam and dispatches each report's code. Returns true
// when the window procedure should return DefWindowProcA's result, false to return 0 without
// it (the record could not be read).
bool DecodeRawInput(std::intptr_t rawInputHandle);

}  // namespace bk
