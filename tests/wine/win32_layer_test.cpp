// The Win32 layer where the real system is what is tested: the layout window's styles as the
// system keeps them, the keyboard hook with keys that SendInput delivers, and the registry value
// that names the viewer. The logic is tested against the fake (tests/unit), the whole program end
// to end (e2e/). The layout window is made in this process, as start-up makes it.
#include <windows.h>
// winternl.h needs the types of windows.h first.
#include <winternl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/program_state.h"
#include "app/startup.h"
#include "osd/osd_window.h"
#include "osd/text_entry.h"
#include "platform/win32/win32_os.h"
#include "windows/viewer_launch.h"

namespace bk {
namespace {

HWND layout = nullptr;

// Dispatches this thread's messages, in which the low-level hook runs, until `done` holds.
bool PumpUntil(const std::function<bool()>& done, DWORD ms = 3000) {
  for (const ULONGLONG end = GetTickCount64() + ms;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (done()) return true;
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

TEST(LayoutWindow, IsLayeredAndTransparentWhileHiddenAndAnOrdinaryTopmostWindowWhenShown) {
  const auto exStyle = [] { return GetWindowLongPtrA(layout, GWL_EXSTYLE); };
  for (int round = 0; round < 2; ++round) {
    BYTE alpha = 1;
    DWORD flags = 0;
    EXPECT_FALSE(IsWindowVisible(layout));
    EXPECT_EQ(exStyle() & (WS_EX_LAYERED | WS_EX_NOACTIVATE), WS_EX_LAYERED | WS_EX_NOACTIVATE);
    EXPECT_TRUE(GetLayeredWindowAttributes(layout, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 0);

    SetLayoutVisible(true);
    ASSERT_TRUE(PumpUntil([] { return fadeAlpha == 255; }));
    EXPECT_TRUE(IsWindowVisible(layout));
    EXPECT_EQ(exStyle() & (WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOPMOST),
              WS_EX_NOACTIVATE | WS_EX_TOPMOST);
    RECT r;
    GetWindowRect(layout, &r);
    EXPECT_EQ(r.left, GetSystemMetrics(SM_CXFULLSCREEN) / 2 - 400);
    EXPECT_EQ(r.top, GetSystemMetrics(SM_CYFULLSCREEN) - 305);
    EXPECT_EQ(r.right - r.left, 800);
    EXPECT_EQ(r.bottom - r.top, 300);
    SetLayoutVisible(false);
  }
}

std::vector<WPARAM> pressed;  // the keys that reach the application window below

LRESULT CALLBACK Application(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) pressed.push_back(wParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

// Windows runs the low-level hooks for the program's own keys after the program has put its hook
// back: they pass on the strength of their marker, while another program's digits are taps.
TEST(KeyboardHook, SwallowsAnotherProgramsDigitsAndPassesTheProgramsOwnKeys) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = Application;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "BkApplication";
  RegisterClassA(&windowClass);
  HWND application =
      CreateWindowExA(0, "BkApplication", "application", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                      300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
  SetForegroundWindow(application);
  SetFocus(application);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == application; }));
  SetLayoutVisible(true);
  ASSERT_NE(keyboardHook, 0u);

  std::thread other([] {
    INPUT digit[2] = {{INPUT_KEYBOARD, {}}, {INPUT_KEYBOARD, {}}};
    digit[0].ki = {'2', WORD(MapVirtualKeyA('2', MAPVK_VK_TO_VSC)), 0, 0, 0};
    digit[1].ki = digit[0].ki;
    digit[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, digit, sizeof(INPUT));
    const std::uint16_t scan4 = std::uint16_t(MapVirtualKeyA('4', MAPVK_VK_TO_VSC));
    const KeyInput own[] = {{'4', scan4, 0, kOwnInputMarker},
                            {'4', scan4, kKeyEventKeyUp, kOwnInputMarker}};
    win32::KeyboardImpl().SendKeys(own);
  });
  EXPECT_TRUE(PumpUntil([] { return !pressed.empty() && currentSequence == "2"; }));
  other.join();
  SetLayoutVisible(false);  // before the selected a is typed
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(pressed, std::vector<WPARAM>{'4'});
  DestroyWindow(application);
}

struct ValueCase {
  std::size_t bytes;  // of the stored value, a terminator included when there is one
  bool terminated;
  bool launches;
};

class RegistryValueTest : public ::testing::TestWithParam<ValueCase> {};

// The real registry hands the program's buffer exactly what the fake does: a value that fits is
// read whole, terminated or not, and a larger one is not read at all.
TEST_P(RegistryValueTest, GivesThePathWholeOrNothing) {
  struct Launches final : Launcher {
    void Open(const char16_t* file, const char16_t*) override { files.emplace_back(file); }
    std::vector<std::u16string> files;
  } launcher;
  Os all = win32::RealOs();
  all.launcher = &launcher;
  InstallOs(all);
  std::u16string path(GetParam().bytes / 2 - GetParam().terminated, u'a');
  path.replace(0, 3, u"C:\\");
  // RegSetValueExW would add the missing terminator; NtSetValueKey stores the bytes as given.
  using SetValueKey = LONG(WINAPI*)(HANDLE, UNICODE_STRING*, ULONG, ULONG, const void*, ULONG);
  const auto setValueKey = reinterpret_cast<SetValueKey>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtSetValueKey")));
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Brisko", 0, nullptr, 0, KEY_WRITE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  std::wstring name(reinterpret_cast<const wchar_t*>(kViewerValue));
  UNICODE_STRING nameString{USHORT(name.size() * 2), USHORT(name.size() * 2), name.data()};
  EXPECT_EQ(setValueKey(key, &nameString, 0, REG_SZ, path.c_str(), ULONG(GetParam().bytes)), 0);
  RegCloseKey(key);

  LaunchViewer();
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Brisko");
  InstallOs(win32::RealOs());
  EXPECT_EQ(launcher.files,
            GetParam().launches ? std::vector{path} : std::vector<std::u16string>{});
}

INSTANTIATE_TEST_SUITE_P(Sizes, RegistryValueTest,
                         ::testing::Values(ValueCase{518, true, true}, ValueCase{518, false, true},
                                           ValueCase{520, true, false}));

}  // namespace
}  // namespace bk

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  bk::win32::SetInstance(GetModuleHandleA(nullptr));
  bk::InstallOs(bk::win32::RealOs());
  bk::os().shell->RegisterInputClass(bk::InputWindowClass());
  const bk::WindowId window = bk::os().shell->CreateInputWindow(bk::InputWindowValues());
  bk::InitOsd(window, "");
  bk::layout = reinterpret_cast<HWND>(window);
  return RUN_ALL_TESTS();
}
