// The real BkRemote.exe: one copy at most, its hidden input window, and how it ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "wine_paths.h"

namespace {

std::string programPath;

struct Process {
  PROCESS_INFORMATION info{};
  bool Start(const std::string& path) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + path + "\"";
    return CreateProcessA(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info) != FALSE;
  }
  DWORD WaitExit(DWORD milliseconds) {
    if (WaitForSingleObject(info.hProcess, milliseconds) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
  }
  ~Process() {
    if (info.hProcess != nullptr) {
      if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(info.hProcess, 99);
      CloseHandle(info.hProcess);
      CloseHandle(info.hThread);
    }
  }
};

int CountInputWindows() {
  int count = 0;
  EnumWindows(
      [](HWND window, LPARAM counter) -> BOOL {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) == "Bk Input Window") ++*reinterpret_cast<int*>(counter);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

HWND WaitForInputWindow(DWORD ownerProcess) {
  for (int i = 0; i < 400; ++i) {
    HWND window = FindWindowA("Bk Input Window", "Bk Input Window");
    DWORD owner = 0;
    if (window != nullptr) GetWindowThreadProcessId(window, &owner);
    if (window != nullptr && owner == ownerProcess) return window;
    Sleep(50);
  }
  return nullptr;
}

// One running copy serves the whole suite; the last test ends it.
class ProgramTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    first = new Process;
    ASSERT_TRUE(first->Start(programPath)) << programPath;
    window = WaitForInputWindow(first->info.dwProcessId);
  }
  static void TearDownTestSuite() {
    delete first;
    first = nullptr;
  }
  void SetUp() override { ASSERT_NE(window, nullptr) << "the input window never appeared"; }
  static Process* first;
  static HWND window;
};
Process* ProgramTest::first = nullptr;
HWND ProgramTest::window = nullptr;

TEST_F(ProgramTest, TheInputWindowIsAHiddenNonActivatingPopup) {
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_POPUP, WS_POPUP);
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE, WS_EX_NOACTIVATE);
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, "Bk Input Window");
  EXPECT_NE(GetForegroundWindow(), window);
}

TEST_F(ProgramTest, ASecondCopyExitsWithOneAndCreatesNoWindow) {
  Process second;
  ASSERT_TRUE(second.Start(programPath));
  EXPECT_EQ(second.WaitExit(30000), 1u);
  EXPECT_EQ(CountInputWindows(), 1);
}

TEST_F(ProgramTest, CloseIsRefusedAndTheWindowSurvives) {
  EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(first->WaitExit(200), static_cast<DWORD>(STILL_ACTIVE));
}

TEST_F(ProgramTest, EveryPointHitTestsAsCaption) {
  for (LPARAM point : {MAKELPARAM(0, 0), MAKELPARAM(105, 105), MAKELPARAM(5000, 5000)}) {
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, point), HTCAPTION);
  }
}

TEST_F(ProgramTest, ATimerThatIsNotOursChangesNothing) {
  SendMessageA(window, WM_TIMER, 7, 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(first->WaitExit(200), static_cast<DWORD>(STILL_ACTIVE));
}

// Runs last: it ends the program.
TEST_F(ProgramTest, WmDestroyEndsTheProgramWithZero) {
  SendMessageA(window, WM_DESTROY, 0, 0);
  EXPECT_EQ(first->WaitExit(30000), 0u);
  // The mutex went with it: a new copy starts and runs.
  Process again;
  ASSERT_TRUE(again.Start(programPath));
  HWND next = WaitForInputWindow(again.info.dwProcessId);
  ASSERT_NE(next, nullptr);
  SendMessageA(next, WM_DESTROY, 0, 0);
  EXPECT_EQ(again.WaitExit(30000), 0u);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: program_test PATH-TO-BkRemote.exe\n");
    return 2;
  }
  programPath = WindowsPathOf(argv[1]);
  return RUN_ALL_TESTS();
}
