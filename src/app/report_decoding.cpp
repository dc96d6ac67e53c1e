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
  for (std::uint32_t i = 0; i < count; ++i) {
    codes.push_back(BuildButtonCode(
        usagePage, usage, data.subspan(static_cast<std::size_t>(i) * reportSize, reportSize)));
  }
  return codes;
}

RawRead ReadRawHidBlock(std::intptr_t rawInputHandle, RawHidBlock* block) {
  RawInput& raw = *os().rawInput;
  std::uint32_t size = 0;
  raw.ReadRecord(rawInputHandle, nullptr, &size);
  // A record too small to hold its own header cannot be read.
  if (size < RawRecordLayout::kHeaderSize) return RawRead::Unreadable;
  block->record.reset(new (std::nothrow) std::uint8_t[size]);
  if (!block->record) return RawRead::Unreadable;
  if (raw.ReadRecord(rawInputHandle, block->record.get(), &size) != size) {
    return RawRead::Unreadable;
  }

  const std::uint8_t* record = block->record.get();
  if (ReadU32(record + RawRecordLayout::kTypeOffset) != RawRecordLayout::kTypeHid) {
    return RawRead::NoBlock;
  }
  if (size < RawRecordLayout::kHidDataOffset) return RawRead::Unreadable;
  block->reportSize = ReadU32(record + RawRecordLayout::kHidSizeOffset);
  block->count = ReadU32(record + RawRecordLayout::kHidCountOffset);
  block->data = std::span<const std::uint8_t>(record + RawRecordLayout::kHidDataOffset,
                                              size - RawRecordLayout::kHidDataOffset);
  // A block that claims more reports than the record holds is a short read.
  if (static_cast<std::uint64_t>(block->reportSize) * block->count > block->data.size()) {
    return RawRead::Unreadable;
  }
  block->device = ReadPointer(record + RawRecordLayout::kDeviceOffset);
  if (!raw.DeviceCollection(block->device, &block->collection)) {
    return RawRead::NoBlock;  // no collection to build a code from: the message is dropped
  }
  return RawRead::Block;
}

bool DecodeRawInput(std::intptr_t rawInputHandle) {
  RawHidBlock block;
  const RawRead read = ReadRawHidBlock(rawInputHandle, &block);
  if (read == RawRead::Unreadable) return false;
  if (read == RawRead::NoBlock) return true;
  // Every report of the message is a button event of its own: a press and its release may
  // arrive together.
  for (ButtonCode code : ButtonCodesOfBlock(block.collection.usagePage, block.collection.usage,
                                            block.reportSize, block.count, block.data)) {
    DispatchButton(code);
  }
  return true;
}

}  // namespace bk
