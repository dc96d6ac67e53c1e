#include "app/report_decoding.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fake/bk_test.h"

namespace bk {
namespace {

// A record, whether its device can be asked for its collection, whether the second read comes
// short; what the window procedure returns (true: DefWindowProcA's result) and whether the
// viewer button's press was dispatched.
struct RecordCase {
  bool deviceKnown, shortRead, result, dispatched;
  std::vector<std::uint8_t> record = fake::HidRecord(2, 1, {2, 1});  // the viewer button's press
  std::size_t size = 0;                                              // the record cut to this size
};

class DecodeRawInputTest : public fake::BkTest, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(DecodeRawInputTest, DispatchesTheCodesOfAReadableRecord) {
  const RecordCase& c = GetParam();
  fake.records[1] = c.record;
  if (c.size != 0) fake.records[1].resize(c.size);
  if (c.deviceKnown) fake.devices[0x77] = {0xFFAA, 0x88};
  fake.shortRead = c.shortRead;
  EXPECT_EQ(DecodeRawInput(1), c.result);
  EXPECT_EQ(fake.Running(TIMER_VIEWER), c.dispatched);
  fake.Stop(TIMER_VIEWER);
}

INSTANTIATE_TEST_SUITE_P(
    Records, DecodeRawInputTest,
    ::testing::Values(
        RecordCase{true, false, true, true},    // read and dispatched
        RecordCase{false, false, true, false},  // the device query fails
        RecordCase{true, true, false, false},   // a short read
        RecordCase{true, false, false, false, fake::HidRecord(2, 4, {2, 1})},  // too few reports
        RecordCase{true, false, false, false, fake::HidRecord(2, 1, {}),
                   RawRecordLayout::kHidCountOffset},  // no room for the report counts
        RecordCase{true, false, true, false, std::vector<std::uint8_t>(99)}));  // a mouse's record

}  // namespace
}  // namespace bk
