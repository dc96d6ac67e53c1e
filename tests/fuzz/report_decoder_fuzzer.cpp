// Feeds arbitrary WM_INPUT records to DecodeRawInput: the record as GetRawInputData would copy
// it, with a collection chosen by the first byte. Whatever the record claims about its reports,
// decoding must stay inside the bytes it was given (ASan) and dispatch at most one code per
// report it holds.
#include <cstdint>
#include <cstring>
#include <vector>

#include "app/report_decoding.h"
#include "fake/fake_os.h"
#include "state/program_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto* fake = new bk::fake::FakeOs;
  if (size == 0) return 0;
  *fake = bk::fake::FakeOs();  // nothing of the last input stays
  fake->Use();
  static const bk::HidCollection kCollections[] = {
      {0x000C, 0x0001}, {0xFFAA, 0x0088}, {0xFFBC, 0x0088}, {0x000C, 0x0080}};
  constexpr std::uintptr_t kDevice = 0x42;
  // One input in five has a device whose description cannot be read.
  if (data[0] % 5 != 4) fake->devices[kDevice] = kCollections[data[0] % 4];
  std::vector<std::uint8_t> record(data + 1, data + size);
  // Keep the device field pointing at the known device when the record is long enough to hold it.
  if (record.size() >= bk::RawRecordLayout::kDeviceOffset + sizeof kDevice) {
    std::memcpy(&record[bk::RawRecordLayout::kDeviceOffset], &kDevice, sizeof kDevice);
  }
  fake->records[1] = std::move(record);
  bk::layoutShown = (data[0] & 0x80) != 0;
  bk::DecodeRawInput(1);
  return 0;
}
