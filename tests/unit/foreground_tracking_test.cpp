#include "bindings/foreground_tracking.h"

#include <gtest/gtest.h>

#include "bindings/binding_file.h"
#include "bindings/key_names.h"
#include "fake/bk_test.h"
#include "state/program_state.h"

namespace bk {
namespace {

constexpr WindowId kWindowA = 0xA0, kWindowB = 0xB0;
constexpr ProcessId kA = 400, kB = 808;

// An image name of `size` characters, of b.exe.
std::string LongImage(std::size_t size) {
  return "\\Device\\" + std::string(size - 8 - 6, 'd') + "\\b.exe";
}

class TrackingTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    BuildKeyNameTable();
    programDir = folder.Dir();
    fake.cutLongImageNames = true;
    fake.AddWindow({.process = kA}, kWindowA);
    fake.AddWindow({.process = kB}, kWindowB);
    // The file's name keeps the image name's case and extension.
    fake.images[kA] = "\\Device\\HarddiskVolume3\\Program Files\\App\\A.Exe";
    fake.images[kB] = "\\Device\\HarddiskVolume3\\Tools\\b.exe";
    folder.Write("appbindings\\A.Exe.cfg", "play=ctrl+p\n");
    folder.Write("appbindings\\b.exe.cfg", "stop=s\n");
  }
  void RefreshWith(WindowId foreground) {
    fake.MakeForeground(foreground);
    RefreshAppBindings();
  }
  fake::TempFolder folder;
};

// Each switch reads the new application's file once and replaces the bindings.
TEST_F(TrackingTest, ReadsTheForegroundApplicationsFileOncePerSwitchAndReplacesTheBindings) {
  fake.images[kB] = LongImage(kImageNameSize - 1);  // the longest name that fits
  RefreshWith(kWindowA);
  folder.Write("appbindings\\A.Exe.cfg", "next=s\n");
  RefreshWith(kWindowA);
  EXPECT_TRUE(AppBindings.contains("play")) << "the file was read again";
  RefreshWith(kWindowB);
  EXPECT_TRUE(AppBindings.size() == 1 && AppBindings.contains("stop")) << "A.Exe's bindings went";
  RefreshWith(kWindowA);
  EXPECT_TRUE(AppBindings.contains("next"));
}

// A Store app's frame (ApplicationFrameHost.exe) stands for its first child window of another
// process; a frame holding only its own windows, or another program, stands for itself; a frame
// whose process cannot be opened binds nothing. The file is read once, not at every press.
struct FrameCase {
  const char* frame;  // the base name of the frame process's image; null: it cannot be opened
  ProcessId inside, bound, boundOnceAStarts;
};

class TrackingFrameTest : public TrackingTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(TrackingFrameTest, BindsTheAppInsideAStoreFrame) {
  const FrameCase& c = GetParam();
  const auto addChild = [&](WindowId child, ProcessId process) {
    fake.windows[child] = {.style = ws::Child, .thread = 1, .process = process};
    fake.frames[0xF0].push_back(child);
  };
  fake.AddWindow({.process = 900}, 0xF0);
  if (c.frame != nullptr) {
    fake.images[900] = std::string("\\X\\") + c.frame;  // process 901 cannot be opened
    folder.Write(std::string("appbindings\\") + c.frame + ".cfg", "stop=s\n");
  }
  addChild(0xF1, 900);
  addChild(0xF2, c.inside);
  RefreshWith(0xF0);
  EXPECT_EQ(boundProcessId, c.bound);
  const BindingMap bound = AppBindings;
  folder.Write("appbindings\\A.Exe.cfg", "next=s\n");
  RefreshWith(0xF0);
  EXPECT_EQ(AppBindings, bound);
  addChild(0xF3, kA);
  RefreshWith(0xF0);
  EXPECT_EQ(boundProcessId, c.boundOnceAStarts);
}

INSTANTIATE_TEST_SUITE_P(Frames, TrackingFrameTest,
                         ::testing::Values(FrameCase{"APPLICATIONFRAMEHOST.EXE", kA, kA, kA},
                                           FrameCase{"ApplicationFrameHost.exe", 900, 900, kA},
                                           FrameCase{"ApplicationFrameHost.exe", 901, 0, 0},
                                           FrameCase{"host.exe", kA, 900, 900},
                                           FrameCase{nullptr, kA, 0, 0}));

// Each way that window B's application has no usable binding file, met after A.Exe's bindings
// were loaded: its window has no process id; its process cannot be opened (no image); the image
// name has no backslash, is cut to fill the buffer, or has no binding file.
struct ResetCase {
  ProcessId process;
  std::string image;
};

class TrackingResetTest : public TrackingTest, public ::testing::WithParamInterface<ResetCase> {};

// Each press tries again: two presses open the process twice.
TEST_P(TrackingResetTest, UnbindsAndTriesAgainAtTheNextPress) {
  const ResetCase& c = GetParam();
  fake.Find(kWindowB).process = c.process;
  if (!c.image.empty()) fake.images[c.process] = c.image;
  RefreshWith(kWindowA);
  RefreshWith(kWindowB);
  RefreshWith(kWindowB);
  EXPECT_TRUE(AppBindings.empty());
  EXPECT_EQ(fake.processOpens, c.process == 0 ? 1 : 3);
}

INSTANTIATE_TEST_SUITE_P(Faults, TrackingResetTest,
                         ::testing::Values(ResetCase{0, ""}, ResetCase{901, ""},
                                           ResetCase{902, "b.exe"},
                                           ResetCase{903, LongImage(kImageNameSize)},
                                           ResetCase{904, "\\Device\\X\\c.exe"}));

}  // namespace
}  // namespace bk
