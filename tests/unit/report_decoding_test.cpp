#include "app/report_decoding.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fake/bk_test.h"

namespace bk {
namespace {

struct BlockCase {
  std::uint16_t page, usage;
  std::uint32_t reportSize, count;
  std::vector<std::uint8_t> data;
  std::vector<ButtonCode> codes;
};

class ButtonCodesOfBlockTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(ButtonCodesOfBlockTest, GivesOneCodePerReport) {
  const BlockCase& c = GetParam();
  EXPECT_EQ(ButtonCodesOfBlock(c.page, c.usage, c.reportSize, c.count, c.data), c.codes);
}

// Byte 0, the report id, never counts; byte 2 counts when the report has one; two reports in one
// message are two button events, a press and its release.
INSTANTIATE_TEST_SUITE_P(
    Reports, ButtonCodesOfBlockTest,
    ::testing::Values(BlockCase{0x0C, 1, 3, 1, {0x01, 0x24, 0x02}, {0x0000000C00010224}},
                      BlockCase{0xFFAA, 0x88, 2, 1, {0x7F, 0x06}, {0x0000FFAA00880006}},
                      BlockCase{0xFFAA, 0x88, 1, 1, {0x02}, {}},
                      BlockCase{0xFFAA, 0x88, 0, 1, {}, {}},
                      BlockCase{0x0C, 0x80, 4, 1, {1, 0xB0, 0, 0x55}, {0x0000000C008000B0}},
                      BlockCase{0xFFAA, 0x88, 2, 2, {2, 6, 2, 0}, {0xFFAA00880006, 0xFFAA00880000}},
                      BlockCase{0x0C, 1, 3, 2, {1, 0xB0, 0, 1, 0, 2}, {0xC000100B0, 0xC00010200}},
                      BlockCase{0xFFAA, 0x88, 2, 0, {}, {}},
                      BlockCase{0xFFAA, 0x88, 2, 3, {2, 6, 2, 0}, {}},
                      BlockCase{0xFFAA, 0x88, 0x10000, 0x10001, {2, 6}, {}}));

using fake::HidRecord;

struct RecordCase {
  const char* what;
  std::vector<std::uint8_t> record;
  bool deviceKnown;
  bool shortRead;
  bool result;  // true: the window procedure returns DefWindowProcA's result
  bool dispatched;
};

void PrintTo(const RecordCase& c, std::ostream* out) {
  *out << c.what;
}

class DecodeRawInputTest : public fake::BkTest, public ::testing::WithParamInterface<RecordCase> {};

// The remote's viewer button: its press starts the viewer's delay.
TEST_P(DecodeRawInputTest, DispatchesTheCodesOfAReadableRecord) {
  const RecordCase& c = GetParam();
  fake.records[1] = c.record;
  if (c.deviceKnown) fake.devices[0x77] = {0xFFAA, 0x88};
  fake.shortRead = c.shortRead;
  EXPECT_EQ(DecodeRawInput(1), c.result);
  EXPECT_EQ(fake.Running(TIMER_VIEWER), c.dispatched);
  fake.Stop(TIMER_VIEWER);
}

// The record with another type (1: RIM_TYPEKEYBOARD), or cut to `size` bytes.
std::vector<std::uint8_t> Changed(std::vector<std::uint8_t> record, int type, std::size_t size) {
  record.resize(std::min(size, record.size()));
  record[0] = static_cast<std::uint8_t>(type);
  return record;
}

INSTANTIATE_TEST_SUITE_P(
    Records, DecodeRawInputTest,
    ::testing::Values(
        RecordCase{"the viewer button", HidRecord(2, 1, {2, 1}), true, false, true, true},
        RecordCase{"a press and its release", HidRecord(2, 2, {2, 1, 2, 0}), true, false, true,
                   true},
        RecordCase{"a device that cannot be asked", HidRecord(2, 1, {2, 1}), false, false, true,
                   false},
        RecordCase{"a short read", HidRecord(2, 1, {2, 1}), true, true, false, false},
        RecordCase{"smaller than its header", {2, 0, 0, 0}, true, false, false, false},
        RecordCase{"more reports claimed than held", HidRecord(2, 4, {2, 1}), true, false, false,
                   false},
        RecordCase{"no room for the report counts",
                   Changed(HidRecord(2, 1, {}), 2, RawRecordLayout::kHidCountOffset), true, false,
                   false, false},
        RecordCase{"a keyboard's record", Changed(HidRecord(2, 1, {2, 1}), 1, 99), true, false,
                   true, false}));

}  // namespace
}  // namespace bk
