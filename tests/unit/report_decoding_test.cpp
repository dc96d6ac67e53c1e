#include "app/report_decoding.h"

#include <gtest/gtest.h>

#include "fake/bk_test.h"

namespace bk {
namespace {

constexpr std::uint16_t kConsumerPage = 0x000C;
constexpr std::uint16_t kVendorPage = 0xFFAA;

struct BlockCase {
  const char* what;
  std::uint16_t page;
  std::uint16_t usage;
  std::uint32_t reportSize;
  std::uint32_t count;
  std::vector<std::uint8_t> data;
  std::vector<ButtonCode> codes;
};

class ButtonCodesOfBlockTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(ButtonCodesOfBlockTest, GivesOneCodePerReport) {
  const BlockCase& c = GetParam();
  EXPECT_EQ(ButtonCodesOfBlock(c.page, c.usage, c.reportSize, c.count, c.data), c.codes) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ButtonCodesOfBlockTest,
    ::testing::Values(
        BlockCase{"play", kConsumerPage, 1, 3, 1, {0x01, 0xB0, 0x00}, {0x0000000C000100B0}},
        BlockCase{"back", kConsumerPage, 1, 3, 1, {0x01, 0x24, 0x02}, {0x0000000C00010224}},
        BlockCase{"vendor INPUT", kVendorPage, 0x88, 2, 1, {0x02, 0x02}, {0x0000FFAA00880002}},
        BlockCase{"vendor release", kVendorPage, 0x88, 2, 1, {0x02, 0x00}, {0x0000FFAA00880000}},
        BlockCase{
            "report id never counts", kVendorPage, 0x88, 2, 1, {0x7F, 0x06}, {0x0000FFAA00880006}},
        BlockCase{"length 0", kVendorPage, 0x88, 0, 1, {}, {}},
        BlockCase{"length 1", kVendorPage, 0x88, 1, 1, {0x02}, {}},
        BlockCase{"length 2", kConsumerPage, 1, 2, 1, {0x01, 0xB5}, {0x0000000C000100B5}},
        BlockCase{"length 3", kConsumerPage, 0x80, 3, 1, {0x01, 0x24, 0x02}, {0x0000000C00800224}},
        BlockCase{"bytes past byte 2 are ignored",
                  kConsumerPage,
                  1,
                  4,
                  1,
                  {1, 0xB0, 0, 0x55},
                  {0x0000000C000100B0}},
        // Two reports in one message are two button events: a press and its release.
        BlockCase{"two 2-byte reports",
                  kVendorPage,
                  0x88,
                  2,
                  2,
                  {0x02, 0x06, 0x02, 0x00},
                  {0x0000FFAA00880006, 0x0000FFAA00880000}},
        BlockCase{"two 3-byte reports",
                  kConsumerPage,
                  1,
                  3,
                  2,
                  {1, 0xB0, 0, 1, 0, 0},
                  {0x0000000C000100B0, 0x0000000C00010000}},
        BlockCase{"count 0", kVendorPage, 0x88, 2, 0, {}, {}},
        BlockCase{"block longer than the data", kVendorPage, 0x88, 2, 3, {2, 6, 2, 0}, {}},
        BlockCase{
            "huge count does not overflow", kVendorPage, 0x88, 0x10000, 0x10001, {2, 6}, {}}));

class DecodeRawInputTest : public fake::BkTest {
 protected:
  static constexpr std::uintptr_t kDevice = 0x77;
  void SetUp() override {
    BkTest::SetUp();
    fake.rawInput.devices[kDevice] = {kVendorPage, 0x88};
  }
};

TEST_F(DecodeRawInputTest, ReadsAHidRecordAndAsksForItsCollection) {
  fake.rawInput.records[1] = fake::FakeRawInput::HidRecord(kDevice, 2, 1, {0x02, 0x02});
  EXPECT_TRUE(DecodeRawInput(1));
  EXPECT_EQ(fake.rawInput.deviceInfoCalls, 1);
}

TEST_F(DecodeRawInputTest, AsksForTheCollectionAnewForEveryMessage) {
  fake.rawInput.records[1] = fake::FakeRawInput::HidRecord(kDevice, 2, 1, {0x02, 0x02});
  EXPECT_TRUE(DecodeRawInput(1));
  EXPECT_TRUE(DecodeRawInput(1));
  EXPECT_EQ(fake.rawInput.deviceInfoCalls, 2);
}

TEST_F(DecodeRawInputTest, AFailedDeviceInfoDropsTheMessageButStillCallsTheDefault) {
  fake.rawInput.records[1] = fake::FakeRawInput::HidRecord(0x99, 2, 1, {0x02, 0x02});
  EXPECT_TRUE(DecodeRawInput(1));
  EXPECT_EQ(fake.rawInput.deviceInfoCalls, 1);
}

TEST_F(DecodeRawInputTest, AShortReadReturnsZeroWithoutTheDefault) {
  fake.rawInput.records[1] = fake::FakeRawInput::HidRecord(kDevice, 2, 1, {0x02, 0x02});
  fake.rawInput.shortReads.insert(1);
  EXPECT_FALSE(DecodeRawInput(1));
  EXPECT_EQ(fake.rawInput.deviceInfoCalls, 0);
}

TEST_F(DecodeRawInputTest, AnUnreadableHandleReturnsZero) {
  EXPECT_FALSE(DecodeRawInput(42));
}

TEST_F(DecodeRawInputTest, ARecordShorterThanItsClaimedBlockIsDropped) {
  std::vector<std::uint8_t> record = fake::FakeRawInput::HidRecord(kDevice, 2, 4, {0x02, 0x02});
  fake.rawInput.records[1] = record;
  EXPECT_FALSE(DecodeRawInput(1));
  EXPECT_EQ(fake.rawInput.deviceInfoCalls, 0);
}

TEST_F(DecodeRawInputTest, ARecordWithoutRoomForTheHidCountsIsDropped) {
  std::vector<std::uint8_t> record = fake::FakeRawInput::HidRecord(kDevice, 2, 1, {});
  record.resize(RawRecordLayout::kHidCountOffset);
  fake.rawInput.records[1] = record;
  EXPECT_FALSE(DecodeRawInput(1));
}

TEST_F(DecodeRawInputTest, ARecordSmallerThanAHeaderIsDropped) {
  fake.rawInput.records[1] = {2, 0, 0, 0};
  EXPECT_FALSE(DecodeRawInput(1));
}

TEST_F(DecodeRawInputTest, ANonHidRecordBuildsNoCodeButCallsTheDefault) {
  std::vector<std::uint8_t> record = fake::FakeRawInput::HidRecord(kDevice, 2, 1, {0x02, 0x02});
  record[0] = 1;  // RIM_TYPEKEYBOARD
  fake.rawInput.records[1] = record;
  EXPECT_TRUE(DecodeRawInput(1));
  EXPECT_EQ(fake.rawInput.deviceInfoCalls, 0);
}

}  // namespace
}  // namespace bk
