#include "windows/viewer_launch.h"

#include <gtest/gtest.h>

#include <optional>

#include "app/timers.h"
#include "fake/bk_test.h"

namespace bk {
namespace {

using fake::Launch;

class ViewerTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    fake.timers.onFire = [](TimerId id) { OnInputWindowTimer(id); };
    fake.registry.SetString(u"Software\\Brisko", u"TelvarinExecutable", kPath);
  }
  const std::vector<Launch>& Launches() const { return fake.launcher.launches; }
  static constexpr const char16_t* kPath = u"C:\\Program Files\\Telvarin\\Telvarin.exe";
};

TEST_F(ViewerTest, ABurstOfPressesLaunchesOnce200MsAfterTheLast) {
  for (int press = 0; press < 3; ++press) {
    ViewerButtonPressed();
    fake.timers.Advance(100);
  }
  fake.timers.Advance(99);
  EXPECT_TRUE(Launches().empty());
  fake.timers.Advance(1);
  EXPECT_EQ(Launches(), (std::vector<Launch>{{kPath, u"-Telvarin"}}));
  EXPECT_FALSE(fake.timers.IsRunning(TIMER_VIEWER));
  fake.timers.Advance(5000);
  EXPECT_EQ(Launches().size(), 1u);
}

struct MutexCase {
  const char* what;
  const char* name;
  bool denied;
};

class SiblingMutexTest : public ViewerTest, public ::testing::WithParamInterface<MutexCase> {};

TEST_P(SiblingMutexTest, ASiblingsMutexStopsTheLaunch) {
  (GetParam().denied ? fake.kernel.deniedMutexes : fake.kernel.existingMutexes)
      .insert(GetParam().name);
  ViewerButtonPressed();
  fake.timers.Advance(200);
  EXPECT_TRUE(Launches().empty()) << GetParam().what;
  EXPECT_TRUE(fake.kernel.OpenHandles().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Mutexes, SiblingMutexTest,
    ::testing::Values(MutexCase{"mode switch in progress", kModeSwitchingMutexName, false},
                      MutexCase{"button already handled", kButtonHandledMutexName, false},
                      MutexCase{"mode switch, sibling elevated", kModeSwitchingMutexName, true},
                      MutexCase{"handled, sibling elevated", kButtonHandledMutexName, true}));

TEST_F(ViewerTest, TheMutexesAreOnlyOpenedNeverCreated) {
  ViewerTimerFired();
  EXPECT_EQ(fake.kernel.openedMutexNames,
            (std::vector<std::string>{kModeSwitchingMutexName, kButtonHandledMutexName}));
  EXPECT_TRUE(fake.kernel.existingMutexes.empty());
  EXPECT_EQ(Launches().size(), 1u);
}

// ---- the registry value --------------------------------------------------------------------

// A path of `chars` characters: "C:\aaa...".
std::u16string PathOf(std::size_t chars) {
  std::u16string path = u"C:\\";
  path.resize(chars, u'a');
  return path;
}

std::vector<std::uint8_t> Bytes(const std::u16string& text, bool terminated) {
  std::vector<std::uint8_t> bytes;
  for (char16_t ch : text) {
    bytes.push_back(static_cast<std::uint8_t>(ch & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(ch >> 8));
  }
  if (terminated) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

struct ValueCase {
  const char* what;
  std::vector<std::uint8_t> bytes;
  std::optional<std::u16string> launched;
};

class RegistryValueTest : public ViewerTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(RegistryValueTest, LaunchesThePathThatTheValueHolds) {
  const ValueCase& c = GetParam();
  fake.registry.SetValue(u"Software\\Brisko", u"TelvarinExecutable", c.bytes);

  LaunchViewer();

  EXPECT_EQ(fake.registry.offeredSizes, std::vector<std::uint32_t>{518});
  if (c.launched) {
    ASSERT_EQ(Launches().size(), 1u) << c.what;
    EXPECT_EQ(Launches()[0].file, *c.launched) << c.what;
    EXPECT_EQ(Launches()[0].parameters, u"-Telvarin");
  } else {
    EXPECT_TRUE(Launches().empty()) << c.what;
  }
}

std::vector<std::uint8_t> OddLength() {
  std::vector<std::uint8_t> bytes = Bytes(PathOf(10), false);
  bytes.push_back('z');
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, RegistryValueTest,
    ::testing::Values(ValueCase{"0 bytes", {}, std::nullopt},
                      ValueCase{"only the terminator", {0, 0}, std::nullopt},
                      ValueCase{"258 bytes, terminated", Bytes(PathOf(128), true), PathOf(128)},
                      ValueCase{"258 bytes, unterminated", Bytes(PathOf(129), false), PathOf(129)},
                      ValueCase{"259 bytes: the odd byte is dropped",
                                [] {
                                  auto b = Bytes(PathOf(129), false);
                                  b.push_back('z');
                                  return b;
                                }(),
                                PathOf(129)},
                      ValueCase{"260 bytes, terminated", Bytes(PathOf(129), true), PathOf(129)},
                      ValueCase{"260 bytes, unterminated", Bytes(PathOf(130), false), PathOf(130)},
                      ValueCase{"518 bytes, terminated", Bytes(PathOf(258), true), PathOf(258)},
                      ValueCase{"518 bytes, unterminated", Bytes(PathOf(259), false), PathOf(259)},
                      ValueCase{"520 bytes, too long", Bytes(PathOf(259), true), std::nullopt},
                      ValueCase{"odd length", OddLength(), PathOf(10)},
                      ValueCase{"terminator inside the data",
                                Bytes(PathOf(10) + std::u16string(1, u'\0') + u"junk", true),
                                PathOf(10)}));

TEST_F(ViewerTest, AMissingKeyOrValueLaunchesNothing) {
  fake.registry.DeleteKey(u"Software\\Brisko");
  LaunchViewer();
  fake.registry.AddKey(u"Software\\Brisko");
  LaunchViewer();
  EXPECT_TRUE(Launches().empty());
  EXPECT_EQ(fake.registry.offeredSizes.size(), 1u);  // the key that exists was queried
}

}  // namespace
}  // namespace bk
