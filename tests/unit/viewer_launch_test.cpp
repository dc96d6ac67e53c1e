#include "windows/viewer_launch.h"

#include <gtest/gtest.h>

#include "fake/bk_test.h"

namespace bk {
namespace {

using Launches = std::vector<std::string>;

// A value's bytes as the registry holds them: UTF-16, then `tail` (by default the terminator).
std::vector<std::uint8_t> Bytes(const std::string& text, std::vector<std::uint8_t> tail = {0, 0}) {
  std::vector<std::uint8_t> bytes;
  for (char ch : text) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(ch), 0});
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  return bytes;
}

using ViewerTest = fake::BkTest;

// The delay over, the viewer starts unless a sibling holds a mutex, one that we may open or one
// that we may not. Of the value, an odd byte is dropped; 518 bytes fill the buffer without a
// terminator; 520 bytes are too long; the value or the key gone, nothing starts.
TEST_F(ViewerTest, StartsThePathOfTheValueUnlessASiblingHoldsEitherMutex) {
  const std::string shortPath = "C:\\a", longPath = "C:\\" + std::string(256, 'a');
  fake.registry[kViewerKey][kViewerValue] = Bytes(shortPath, {'z'});
  ViewerButtonPressed();
  fake.Advance(kViewerDelayMs);
  fake.deniedMutexes.insert(kButtonHandledMutexName);
  ViewerTimerFired();
  fake.mutexes.insert(kModeSwitchingMutexName);
  ViewerTimerFired();
  for (const auto& bytes : {Bytes(longPath, {}), Bytes(longPath)}) {
    fake.registry[kViewerKey][kViewerValue] = bytes;
    LaunchViewer();
  }
  fake.registry[kViewerKey].clear();
  LaunchViewer();
  fake.registry.clear();
  LaunchViewer();
  EXPECT_EQ(fake.launches, (Launches{shortPath + " -Telvarin", longPath + " -Telvarin"}));
}

}  // namespace
}  // namespace bk
