#include "bindings/foreground_tracking.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "app/program_state.h"
#include "bindings/binding_file.h"
#include "bindings/key_names.h"
#include "fake/binding_folder.h"
#include "fake/bk_test.h"

namespace bk {
namespace {

constexpr KeyValue kCtrl = 162, kP = 'P', kS = 'S';

struct PathCase {
  const char* what;
  std::string dir;
  std::string image;
  std::string path;
};

class BindingFilePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(BindingFilePathTest, NamesTheFileAfterTheImagesBaseName) {
  const PathCase& c = GetParam();
  EXPECT_EQ(BindingFilePath(c.dir, c.image), c.path) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Images, BindingFilePathTest,
    ::testing::Values(PathCase{"device path", "C:\\BkRemote\\",
                               "\\Device\\HarddiskVolume3\\Program Files\\App\\app.exe",
                               "C:\\BkRemote\\appbindings\\app.exe.cfg"},
                      PathCase{"case and extension kept", "C:\\BkRemote\\",
                               "\\Device\\HarddiskVolume1\\Player.EXE",
                               "C:\\BkRemote\\appbindings\\Player.EXE.cfg"},
                      PathCase{"dots and blanks kept", "D:\\", "\\Device\\X\\my app.v2.exe",
                               "D:\\appbindings\\my app.v2.exe.cfg"},
                      PathCase{"no program folder: relative", "", "\\Device\\X\\app.exe",
                               "appbindings\\app.exe.cfg"},
                      PathCase{"forward slashes are not folders", "C:\\", "\\Device\\X\\a/b.exe",
                               "C:\\appbindings\\a/b.exe.cfg"},
                      PathCase{"nothing after the last backslash", "C:\\", "\\Device\\X\\",
                               "C:\\appbindings\\.cfg"},
                      PathCase{"no backslash", "C:\\", "app.exe", ""},
                      PathCase{"empty name", "C:\\", "", ""}));

constexpr const char* kImageA = "\\Device\\HarddiskVolume3\\Program Files\\App\\a.exe";
constexpr const char* kImageB = "\\Device\\HarddiskVolume3\\Tools\\b.exe";
constexpr WindowId kWindowA = 0xA0, kWindowB = 0xB0;
constexpr ProcessId kProcessA = 400, kProcessB = 808;

class TrackingTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    BuildKeyNameTable();
    programDir = folder.ProgramDir();
    AddWindow(kWindowA, kProcessA, kImageA);
    AddWindow(kWindowB, kProcessB, kImageB);
    folder.Write("a.exe", "play=ctrl+p\n");
  }

  void AddWindow(WindowId window, ProcessId process, std::string image) {
    fake.AddApp(window, process, std::move(image));
  }

  void RefreshWith(WindowId foreground) {
    fake.desktop.MakeForeground(foreground);
    RefreshAppBindings();
  }

  void ExpectUnbound() {
    EXPECT_EQ(boundProcessId, 0u);
    EXPECT_TRUE(AppBindings.empty());
  }

  fake::BindingFolder folder;
};

TEST_F(TrackingTest, LoadsTheForegroundApplicationsFile) {
  RefreshWith(kWindowA);
  EXPECT_EQ(boundProcessId, kProcessA);
  EXPECT_EQ(AppBindings, (BindingMap{{"play", {kCtrl, kP}}}));
}

TEST_F(TrackingTest, SwitchingToAnApplicationWithoutAFileAndBackReadsTheFileAgain) {
  RefreshWith(kWindowA);
  RefreshWith(kWindowB);
  ExpectUnbound();
  folder.Write("a.exe", "play=s\n");
  RefreshWith(kWindowA);
  EXPECT_EQ(boundProcessId, kProcessA);
  EXPECT_EQ(AppBindings, (BindingMap{{"play", {kS}}}));
}

TEST_F(TrackingTest, SwitchingBetweenTwoFilesReplacesTheBindings) {
  folder.Write("b.exe", "stop=s\n");
  RefreshWith(kWindowA);
  RefreshWith(kWindowB);
  EXPECT_EQ(boundProcessId, kProcessB);
  EXPECT_EQ(AppBindings, (BindingMap{{"stop", {kS}}})) << "nothing of a.exe's file may remain";
}

TEST_F(TrackingTest, AFileCreatedWhileItsApplicationStaysInFrontIsFoundAtTheNextPress) {
  RefreshWith(kWindowB);
  RefreshWith(kWindowB);
  ExpectUnbound();
  EXPECT_EQ(fake.processes.openCount, 2) << "each press without a file tries again";
  folder.Write("b.exe", "stop=s\n");
  RefreshWith(kWindowB);
  EXPECT_EQ(boundProcessId, kProcessB);
  EXPECT_EQ(AppBindings, (BindingMap{{"stop", {kS}}}));
}

TEST_F(TrackingTest, AnEmptyFileBindsWithNoBindingsAndIsNotTriedAgain) {
  folder.Write("b.exe", "");
  RefreshWith(kWindowB);
  RefreshWith(kWindowB);
  EXPECT_EQ(boundProcessId, kProcessB);
  EXPECT_TRUE(AppBindings.empty());
  EXPECT_EQ(fake.processes.openCount, 1);
}

TEST_F(TrackingTest, TheFileNameKeepsTheImagesCaseAndExtension) {
  fake.processes.processes[kProcessB].imageName = "\\Device\\HarddiskVolume1\\Media\\Player.EXE";
  folder.Write("player.exe", "play=p\n");
  folder.Write("Player.EXE", "stop=s\n");
  RefreshWith(kWindowB);
  EXPECT_EQ(AppBindings, (BindingMap{{"stop", {kS}}}));
}

TEST_F(TrackingTest, AReusedProcessIdKeepsTheOldBindings) {
  RefreshWith(kWindowA);
  fake.processes.processes[kProcessA].imageName = kImageB;
  folder.Write("b.exe", "stop=s\n");
  RefreshWith(kWindowA);
  EXPECT_EQ(AppBindings, (BindingMap{{"play", {kCtrl, kP}}}));
}

TEST_F(TrackingTest, TheLongestImageNameThatFitsItsBufferIsUsed) {
  for (bool cut : {false, true}) {
    ResetBindingsState();
    BuildKeyNameTable();
    fake.processes.cutLongNames = cut;
    const std::string prefix = "\\Device\\HarddiskVolume3\\";
    std::string image =
        prefix + std::string(kImageNameSize - 1 - prefix.size() - 6, 'd') + "\\b.exe";
    ASSERT_EQ(image.size(), kImageNameSize - 1);
    fake.processes.processes[kProcessB].imageName = image;
    folder.Write("b.exe", "stop=s\n");
    RefreshWith(kWindowB);
    EXPECT_EQ(boundProcessId, kProcessB) << "cut: " << cut;
  }
}

// A Store app's frame (ApplicationFrameHost.exe, in any case) stands for its first child window
// of another process: the same frame again reads no file, and an app that starts inside a frame
// bound to the frame host's own file takes over. No other program stands for its children.
struct FrameCase {
  const char* frameImage;  // "\\X\\" and the base name
  ProcessId inside, bound, boundOnceAStarts;
};

class TrackingFrameTest : public TrackingTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(TrackingFrameTest, BindsTheAppInsideAStoreFrame) {
  const FrameCase& c = GetParam();
  const std::string frameFile = std::string(c.frameImage).substr(3);
  fake.AddApp(0xF0, 900, c.frameImage);
  fake.processes.processes[901] = {"\\X\\denied.exe", true};
  fake.desktop.AddChild(0xF0, 0xF1, 900);
  fake.desktop.AddChild(0xF0, 0xF2, c.inside);
  folder.Write(frameFile, "stop=s\n");
  RefreshWith(0xF0);
  EXPECT_EQ(boundProcessId, c.bound);
  const BindingMap first = AppBindings;
  folder.Write("a.exe", "next=s\n");
  folder.Write(frameFile, "next=s\n");
  RefreshWith(0xF0);
  EXPECT_EQ(AppBindings, first) << "the file was read again";
  fake.desktop.AddChild(0xF0, 0xF3, kProcessA);
  RefreshWith(0xF0);
  EXPECT_EQ(boundProcessId, c.boundOnceAStarts);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, TrackingFrameTest,
    ::testing::Values(FrameCase{"\\X\\ApplicationFrameHost.exe", 400, 400, 400},
                      FrameCase{"\\X\\APPLICATIONFRAMEHOST.EXE", 400, 400, 400},
                      FrameCase{"\\X\\ApplicationFrameHost.exe", 900, 900, 400},
                      FrameCase{"\\X\\ApplicationFrameHost.exe", 901, 0, 0},
                      FrameCase{"\\X\\host.exe", 400, 900, 900}));

// Each way that the foreground application has no usable binding file, met after a.exe's
// bindings were loaded. b.exe has a file, so only the fault stands between it and its bindings.
struct ResetCase {
  const char* what;
  std::function<void(fake::FakeOs&)> arrange;
  WindowId foreground = kWindowB;
};

void PrintTo(const ResetCase& c, std::ostream* out) {
  *out << c.what;
}

std::string LongImage(std::size_t size) {
  const std::string prefix = "\\Device\\HarddiskVolume3\\";
  return prefix + std::string(size - prefix.size() - 6, 'd') + "\\b.exe";
}

class TrackingResetTest : public TrackingTest, public ::testing::WithParamInterface<ResetCase> {};

TEST_P(TrackingResetTest, UnbindsAndTriesAgainAtTheNextPress) {
  const ResetCase& c = GetParam();
  folder.Write("b.exe", "stop=s\n");
  RefreshWith(kWindowA);
  ASSERT_EQ(boundProcessId, kProcessA);
  c.arrange(fake);
  RefreshWith(c.foreground);
  ExpectUnbound();
  const int opens = fake.processes.openCount;
  RefreshWith(c.foreground);
  ExpectUnbound();
  if (opens > 1) {
    EXPECT_GT(fake.processes.openCount, opens) << "the next press must try again";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TrackingResetTest,
    ::testing::Values(
        ResetCase{"no foreground window", [](fake::FakeOs&) {}, 0},
        ResetCase{"a window that no longer exists", [](fake::FakeOs&) {}, 0xDEAD},
        ResetCase{"a window without a process id",
                  [](fake::FakeOs& f) { f.desktop.SetProcessOf(kWindowB, 0); }},
        ResetCase{"a process that cannot be opened",
                  [](fake::FakeOs& f) { f.processes.processes[kProcessB].denyQuery = true; }},
        ResetCase{"a process that has ended",
                  [](fake::FakeOs& f) { f.processes.processes.erase(kProcessB); }},
        ResetCase{"an image name without a backslash",
                  [](fake::FakeOs& f) { f.processes.processes[kProcessB].imageName = "b.exe"; }},
        ResetCase{
            "an image name too long for the buffer",
            [](fake::FakeOs& f) { f.processes.processes[kProcessB].imageName = LongImage(400); }},
        ResetCase{"an image name cut to fill the buffer",
                  [](fake::FakeOs& f) {
                    f.processes.cutLongNames = true;
                    f.processes.processes[kProcessB].imageName = LongImage(kImageNameSize);
                  }},
        ResetCase{"no binding file", [](fake::FakeOs& f) {
                    f.processes.processes[kProcessB].imageName = "\\Device\\X\\c.exe";
                  }}));

}  // namespace
}  // namespace bk
