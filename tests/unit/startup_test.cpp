#include "app/startup.h"

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "bindings/key_names.h"
#include "fake/bk_test.h"

namespace bk {
namespace {

struct DirCase {
  const char* what;
  std::string written;
  std::uint32_t bufferSize;
  std::string dir;
};

class ProgramDirTest : public ::testing::TestWithParam<DirCase> {};

TEST_P(ProgramDirTest, KeepsEverythingUpToTheLastBackslash) {
  const DirCase& c = GetParam();
  EXPECT_EQ(ProgramDirFromModulePath(c.written, c.bufferSize), c.dir) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ProgramDirTest,
    ::testing::Values(
        DirCase{"full path", "C:\\Tools\\BkRemote\\BkRemote.exe", 260, "C:\\Tools\\BkRemote\\"},
        DirCase{"drive root", "C:\\BkRemote.exe", 260, "C:\\"},
        DirCase{"no backslash", "BkRemote.exe", 260, ""}, DirCase{"empty", "", 260, ""},
        DirCase{"forward slashes are not folders here", "C:/x/BkRemote.exe", 260, ""},
        DirCase{"truncated: fills the buffer", std::string(259, 'a') + "\\", 260, ""},
        DirCase{"one short of the buffer", "C:\\" + std::string(256, 'a'), 260, "C:\\"}));

class StartupTest : public fake::BkTest {};

TEST_F(StartupTest, ASecondCopyExitsWithOneAndCreatesNoWindow) {
  fake.kernel.existingMutexes.insert(kInstanceMutexName);
  EXPECT_EQ(RunProgram(), kExitAlreadyRunning);
  EXPECT_TRUE(fake.kernel.systemLibrariesOnly) << "first, before the mutex";
  EXPECT_TRUE(fake.shell.registeredClasses.empty());
  EXPECT_TRUE(fake.shell.createdWindows.empty());
  EXPECT_EQ(fake.shell.loopsRun, 0);
  EXPECT_TRUE(fake.kernel.OpenHandles().empty());
}

TEST_F(StartupTest, AMutexThatCannotBeCreatedExitsWithOne) {
  fake.kernel.failCreateMutex = true;
  EXPECT_EQ(RunProgram(), kExitAlreadyRunning);
  EXPECT_TRUE(fake.shell.createdWindows.empty());
}

TEST_F(StartupTest, CreatesTheInputWindowWithItsFixedValues) {
  EXPECT_EQ(RunProgram(), kExitNormal);
  ASSERT_EQ(fake.shell.registeredClasses.size(), 1u);
  const WindowClassValues& cls = fake.shell.registeredClasses[0];
  EXPECT_STREQ(cls.name, "Bk Input Window");
  EXPECT_EQ(cls.style, 3u);
  EXPECT_TRUE(cls.arrowCursor);
  EXPECT_TRUE(cls.blackBackground);
  ASSERT_EQ(fake.shell.createdWindows.size(), 1u);
  const WindowValues& window = fake.shell.createdWindows[0];
  EXPECT_STREQ(window.className, "Bk Input Window");
  EXPECT_STREQ(window.title, "Bk Input Window");
  EXPECT_EQ(window.exStyle, 0x08000000u);
  EXPECT_EQ(window.style, 0x80000000u);
  EXPECT_EQ(window.x, 100);
  EXPECT_EQ(window.y, 100);
  EXPECT_EQ(window.width, 10);
  EXPECT_EQ(window.height, 10);
}

TEST_F(StartupTest, RegistersTheFourCollectionsForTheInputWindowThenLoops) {
  fake.shell.whileLooping = [&] {
    ASSERT_EQ(fake.rawInput.registrations.size(), 1u);
    const WindowId w = fake.shell.windowId;
    const std::vector<RawDeviceRegistration> expected = {{0xFFBC, 0x0088, 0x100, w},
                                                         {0x000C, 0x0001, 0x100, w},
                                                         {0x000C, 0x0080, 0x100, w},
                                                         {0xFFAA, 0x0088, 0x100, w}};
    EXPECT_EQ(fake.rawInput.registrations[0], expected);
    EXPECT_EQ(inputWindow, w);
    EXPECT_EQ(programDir, "C:\\Program Files\\BkRemote\\");
    EXPECT_EQ(KeyNameTable.size(), 93u) << "binding files need their key names from the start";
    // The instance mutex is held for the whole run.
    EXPECT_EQ(fake.kernel.OpenHandles().size(), 1u);
  };
  EXPECT_EQ(RunProgram(), kExitNormal);
  EXPECT_EQ(fake.shell.loopsRun, 1);
  EXPECT_TRUE(fake.kernel.OpenHandles().empty()) << "the mutex is closed at exit";
}

TEST_F(StartupTest, ATruncatedModulePathGivesAnEmptyProgramDir) {
  fake.kernel.modulePath = "C:\\" + std::string(300, 'x') + "\\BkRemote.exe";
  fake.shell.whileLooping = [] { EXPECT_EQ(programDir, ""); };
  EXPECT_EQ(RunProgram(), kExitNormal);
}

struct WindowFailure {
  const char* what;
  bool failClass;
  bool failWindow;
};

class StartupWindowFailureTest : public fake::BkTest,
                                 public ::testing::WithParamInterface<WindowFailure> {};

TEST_P(StartupWindowFailureTest, ReleasesTheMutexAndExits) {
  fake.shell.failRegisterClass = GetParam().failClass;
  fake.shell.failCreateWindow = GetParam().failWindow;
  EXPECT_EQ(RunProgram(), kExitNoWindow) << GetParam().what;
  EXPECT_EQ(fake.shell.loopsRun, 0);
  EXPECT_TRUE(fake.rawInput.registrations.empty());
  EXPECT_TRUE(fake.kernel.OpenHandles().empty());
}

INSTANTIATE_TEST_SUITE_P(Failures, StartupWindowFailureTest,
                         ::testing::Values(WindowFailure{"class", true, false},
                                           WindowFailure{"window", false, true}));

class InputWindowMessagesTest : public fake::BkTest {};

TEST_F(InputWindowMessagesTest, CreateMakesTheThreeFontsAndDestroyDeletesThem) {
  OnInputWindowCreate();
  ASSERT_EQ(fake.shell.fontsCreated.size(), 3u);
  EXPECT_STREQ(fake.shell.fontsCreated[0].face, "Arial");
  EXPECT_EQ(fake.shell.fontsCreated[0].height, 24);
  EXPECT_EQ(fake.shell.fontsCreated[1].height, 18);
  EXPECT_EQ(fake.shell.fontsCreated[2].height, 12);
  for (const FontValues& font : fake.shell.fontsCreated) EXPECT_EQ(font.weight, 700);
  EXPECT_EQ(fake.shell.liveFonts.size(), 3u);

  OnInputWindowDestroy();
  EXPECT_TRUE(fake.shell.liveFonts.empty());
  EXPECT_EQ(fake.shell.quitPosted, 1);
}

TEST_F(InputWindowMessagesTest, DestroyRemovesTheHookAndTakesTheLayoutDown) {
  keyboardHook = fake.hook.Install();
  layoutShown = true;
  OnInputWindowDestroy();
  EXPECT_FALSE(fake.hook.Installed());
  EXPECT_EQ(keyboardHook, 0u);
  EXPECT_FALSE(layoutShown);
}

}  // namespace
}  // namespace bk
