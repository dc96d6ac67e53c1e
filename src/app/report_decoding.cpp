#include "app/report_decoding.h"

#include <cstring>
#include <memory>
#include <new>

#include "app/button_dispatch.h"
#include "platform/os.h"

namespace bk {

namespace {

std::uint32_t ReadU32(const std::uint8_t* at) {
  std::uint32_t value = 0;
  std::memcpy(&value, at, sizeof value);
  return value;
}

std::uintptr_t ReadPointer(const std::uint8_t* at) {
  std::uintptr_t value = 0;
  std::memcpy(&value, at, sizeof value);
  return value;
}

}  // namespace

ButtonCode BuildButtonCode(std::uint16_t usagePage, std::uint16_t usage,
                           std::span<const std::uint8_t> report) {
  ButtonCode code = report[1];
  code |= static_cast<ButtonCode>(usage) << 16;
  code |= static_cast<ButtonCode>(usagePage) << 32;
  if (report.size() > 2) code |= static_cast<ButtonCode>(report[2]) << 8;
  return code;
}

std::vector<ButtonCode> ButtonCodesOfBlock(std::uint16_t usagePage, std::uint16_t usage,
                                           std::uint32_t reportSize, std::uint32_t count,
                                           std::span<const std::uint8_t> data) {
  std::vector<ButtonCode> codes;
  if (reportSize < 2) return codes;
  const std::uint64_t blockSize = static_cast<std::uint64_t>(reportSize) * count;
  if (blockSize > data.size()) return codes;
  codes.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    codes.push_back(BuildButtonCode(
        usagePage, usage, data.subspan(static_cast<std::size_t>(i) * reportSize, reportSize)));
  }
  return codes;
}

bool DecodeRawInput(std::intptr_t rawInputHandle) {
  RawInput& raw = *os().rawInput;
  std::uint32_t size = 0;
  raw.ReadRecord(rawInputHandle, nullptr, &size);
  // A record too small to hold its own header cannot be read.
  if (size < RawRecordLayout::kHeaderSize) return false;
  std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[size]);
  if (!buffer) return false;
  if (raw.ReadRecord(rawInputHandle, buffer.get(), &size) != size) return false;

  const std::uint8_t* record = buffer.get();
  if (ReadU32(record + RawRecordLayout::kTypeOffset) != RawRecordLayout::kTypeHid) return true;
  if (size < RawRecordLayout::kHidDataOffset) return false;
  const std::uint32_t reportSize = ReadU32(record + RawRecordLayout::kHidSizeOffset);
  const std::uint32_t count = ReadU32(record + RawRecordLayout::kHidCountOffset);
  const std::span<const std::uint8_t> data(record + RawRecordLayout::kHidDataOffset,
                                           size - RawRecordLayout::kHidDataOffset);
  // A block that claims more reports than the record holds is a short read.
  if (static_cast<std::uint64_t>(reportSize) * count > data.size()) return false;

  HidCollection collection;
  if (!raw.DeviceCollection(ReadPointer(record + RawRecordLayout::kDeviceOffset), &collection)) {
    return true;  // no collection to build a code from: the message is dropped
  }
  // Every report of the message is a button event of its own: a press and its release may
  // arrive together.
  for (ButtonCode code :
       ButtonCodesOfBlock(collection.usagePage, collection.usage, reportSize, count, data)) {
    DispatchButton(code);
  }
  return true;
}

}  // namespace bk
