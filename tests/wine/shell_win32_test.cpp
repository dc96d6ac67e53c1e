// The Win32 layer of the program's shell, in this process: the window it creates and the
// collections it registers.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "app/startup.h"
#include "platform/win32/win32_os.h"

namespace {

class ShellWin32Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    bk::win32::SetInstance(GetModuleHandleA(nullptr));
    bk::InstallOs(bk::win32::RealOs());
    bk::Shell& shell = *bk::os().shell;
    ASSERT_TRUE(shell.RegisterInputClass(bk::InputWindowClass()));
    window = reinterpret_cast<HWND>(shell.CreateInputWindow(bk::InputWindowValues()));
    ASSERT_NE(window, nullptr);
  }
  static HWND window;
};
HWND ShellWin32Test::window = nullptr;

TEST_F(ShellWin32Test, TheClassHasItsFixedValues) {
  WNDCLASSA values{};
  ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "Bk Input Window", &values));
  EXPECT_EQ(values.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(values.hbrBackground, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(values.hCursor, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(values.hIcon, nullptr);
  EXPECT_EQ(values.cbClsExtra, 0);
  EXPECT_EQ(values.cbWndExtra, 0);
}

TEST_F(ShellWin32Test, TheWindowIsAHiddenNonActivatingPopup) {
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_POPUP, WS_POPUP);
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE, WS_EX_NOACTIVATE);
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, "Bk Input Window");
}

TEST_F(ShellWin32Test, CreationMadeTheThreeFonts) {
  for (bk::FontHandle font : {bk::labelFont, bk::smallLabelFont, bk::noticeFont}) {
    LOGFONTA values{};
    ASSERT_NE(GetObjectA(reinterpret_cast<HGDIOBJ>(font), sizeof values, &values), 0);
    EXPECT_STREQ(values.lfFaceName, "Arial");
    EXPECT_EQ(values.lfWeight, 700);
    EXPECT_EQ(values.lfQuality, ANTIALIASED_QUALITY);
    EXPECT_EQ(values.lfCharSet, ANSI_CHARSET);
  }
}

TEST_F(ShellWin32Test, TheFourCollectionsAreRegisteredAsSinksForTheWindow) {
  const auto registrations = bk::RemoteRegistrations(reinterpret_cast<bk::WindowId>(window));
  ASSERT_TRUE(bk::os().rawInput->Register(registrations));

  UINT count = 0;
  ASSERT_EQ(GetRegisteredRawInputDevices(nullptr, &count, sizeof(RAWINPUTDEVICE)), 0u);
  ASSERT_EQ(count, 4u);
  RAWINPUTDEVICE devices[4] = {};
  ASSERT_EQ(GetRegisteredRawInputDevices(devices, &count, sizeof(RAWINPUTDEVICE)), 4u);
  const std::pair<USHORT, USHORT> expected[] = {
      {0xFFBC, 0x0088}, {0x000C, 0x0001}, {0x000C, 0x0080}, {0xFFAA, 0x0088}};
  for (const auto& [page, usage] : expected) {
    bool found = false;
    for (const RAWINPUTDEVICE& device : devices) {
      if (device.usUsagePage == page && device.usUsage == usage) {
        found = true;
        EXPECT_EQ(device.dwFlags & RIDEV_INPUTSINK, static_cast<DWORD>(RIDEV_INPUTSINK));
        EXPECT_EQ(device.hwndTarget, window);
      }
    }
    EXPECT_TRUE(found) << std::hex << page << "/" << usage;
  }
}

TEST_F(ShellWin32Test, ClosingIsRefusedAndTheCaptionHitTestCoversTheWindow) {
  EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(101, 101)), HTCAPTION);
  EXPECT_EQ(SendMessageA(window, WM_ERASEBKGND, 0, 0), 1);
}

}  // namespace
