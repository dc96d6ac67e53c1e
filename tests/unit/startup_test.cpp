#include "app/startup.h"

#include <gtest/gtest.h>

#include "bindings/key_names.h"
#include "fake/bk_test.h"
#include "state/program_state.h"

namespace bk {
namespace {

class StartupTest : public fake::BkTest {};

TEST_F(StartupTest, ASecondCopyOrAMutexThatCannotBeMadeExitsWithOneAndNoWindow) {
  fake.mutexes.insert(kInstanceMutexName);
  EXPECT_EQ(RunProgram(), kExitAlreadyRunning);
  // Before anything that could load a library from the program's folder.
  EXPECT_EQ(fake.log, std::vector<std::string>{"SetDefaultDllDirectories"});
  fake.failCreateMutex = true;
  EXPECT_EQ(RunProgram(), kExitAlreadyRunning);
}

TEST_F(StartupTest, MakesItsWindowRegistersTheRemoteThenLoopsAndLetsTheMutexGo) {
  fake.whileLooping = [&] {
    const WindowId w = 0x5000;
    EXPECT_EQ(fake.registrations, (std::vector<RawDeviceRegistration>{{0xFFBC, 0x0088, 0x100, w},
                                                                      {0x000C, 0x0001, 0x100, w},
                                                                      {0x000C, 0x0080, 0x100, w},
                                                                      {0xFFAA, 0x0088, 0x100, w}}));
    EXPECT_EQ(programDir, "C:\\Program Files\\BkRemote\\");
    EXPECT_EQ(KeyNameTable.size(), 93u) << "binding files need their key names from the start";
  };
  EXPECT_EQ(RunProgram(), kExitNormal);
  EXPECT_EQ(fake.loops, 1);
  const WindowClassValues cls = InputWindowClass();
  EXPECT_TRUE(cls.style == 3u && cls.arrowCursor && cls.blackBackground);
  const WindowValues window = InputWindowValues();
  EXPECT_EQ((Rect{window.x, window.y, window.width, window.height}), (Rect{100, 100, 10, 10}));
  fake.modulePath = "C:\\" + std::string(kModulePathSize, 'x') + "\\BkRemote.exe";
  fake.whileLooping = [] { EXPECT_EQ(programDir, "") << "a path cut short names no folder"; };
  EXPECT_EQ(RunProgram(), kExitNormal);
}

TEST_F(StartupTest, WithoutItsWindowItLetsTheMutexGoAndExitsWithTwo) {
  fake.failRegisterClass = true;
  EXPECT_EQ(RunProgram(), kExitNoWindow);
  fake.failRegisterClass = false;
  fake.failCreateWindow = true;
  EXPECT_EQ(RunProgram(), kExitNoWindow);
}

}  // namespace
}  // namespace bk
