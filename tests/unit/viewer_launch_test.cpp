#include "windows/viewer_launch.h"

#include <gtest/gtest.h>

#include "fake/bk_test.h"

namespace bk {
namespace {

using Launches = std::vector<std::string>;
const std::string kPath = "C:\\Program Files\\Telvarin\\Telvarin.exe";

// A value's bytes as the registry holds them: UTF-16, then `tail` (by default the terminator).
std::vector<std::uint8_t> Bytes(const std::string& text, std::vector<std::uint8_t> tail = {0, 0}) {
  std::vector<std::uint8_t> bytes;
  for (char ch : text) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(ch), 0});
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  return bytes;
}

class ViewerTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    fake.registry[kViewerKey][kViewerValue] = Bytes(kPath);
  }
};

TEST_F(ViewerTest, ABurstOfPressesLaunchesOnce200MsAfterTheLast) {
  for (int press = 0; press < 3; ++press) {
    ViewerButtonPressed();
    fake.Advance(100);
  }
  fake.Advance(99);
  EXPECT_TRUE(fake.launches.empty());
  fake.Advance(5000);
  EXPECT_EQ(fake.launches, Launches{kPath + " -Telvarin"});
}

// A sibling holds a mutex that we may open, or one that we may not; the value or the key is gone.
TEST_F(ViewerTest, ASiblingThatHoldsEitherMutexOrAMissingKeyOrValueStopsTheLaunch) {
  fake.deniedMutexes.insert(kButtonHandledMutexName);
  ViewerTimerFired();
  fake.mutexes.insert(kModeSwitchingMutexName);
  ViewerTimerFired();
  fake.registry[kViewerKey].clear();
  LaunchViewer();
  fake.registry.clear();
  LaunchViewer();
  EXPECT_TRUE(fake.launches.empty());
}

// A path of `chars` characters: "C:\aaa...".
std::string PathOf(std::size_t chars) {
  return "C:\\" + std::string(chars - 3, 'a');
}

struct ValueCase {
  std::vector<std::uint8_t> bytes;
  std::string launched;  // empty: nothing is launched
};

class RegistryValueTest : public ViewerTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(RegistryValueTest, LaunchesThePathThatTheValueHolds) {
  fake.registry[kViewerKey][kViewerValue] = GetParam().bytes;
  LaunchViewer();
  const std::string& path = GetParam().launched;
  EXPECT_EQ(fake.launches, path.empty() ? Launches{} : Launches{path + " -Telvarin"});
}

// An odd byte dropped; 518 bytes unterminated; 520 bytes, too long.
INSTANTIATE_TEST_SUITE_P(Sizes, RegistryValueTest,
                         ::testing::Values(ValueCase{Bytes(PathOf(10), {'z'}), PathOf(10)},
                                           ValueCase{Bytes(PathOf(259), {}), PathOf(259)},
                                           ValueCase{Bytes(PathOf(259)), ""}));

}  // namespace
}  // namespace bk
