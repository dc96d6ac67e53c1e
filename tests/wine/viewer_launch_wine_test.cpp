// The viewer button on the real system: the registry value, the two mutexes, ShellExecuteW and
// the input window's timer.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>
// winternl.h needs the types of windows.h first.
#include <winternl.h>

#include "app/program_state.h"
#include "app/startup.h"
#include "platform/win32/win32_os.h"
#include "windows/viewer_launch.h"
#include "wine_test_os.h"

namespace bk {
namespace {

const wchar_t* Wide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}

// Counts the launches and hands them to ShellExecuteW only when asked to.
class CountingLauncher final : public Launcher {
 public:
  void Open(const char16_t* file, const char16_t* parameters) override {
    files.emplace_back(file);
    if (forward) win32::LauncherImpl().Open(file, parameters);
  }
  bool forward = false;
  std::vector<std::u16string> files;
};

class ViewerLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wine::InstallTestOs();
    Os all = os();
    all.launcher = &launcher;
    InstallOs(all);
    // The program's own window, so that TIMER_VIEWER arrives through its window procedure.
    os().shell->RegisterInputClass(InputWindowClass());
    inputWindow = os().shell->CreateInputWindow(InputWindowValues());
    ASSERT_NE(inputWindow, 0u);

    viewer = wine::TestFolder() + L"stand_in_viewer.exe";
    record = wine::TestFolder() + L"viewer_record.txt";
    DeleteFileW(record.c_str());
    SetEnvironmentVariableW(L"BK_VIEWER_RECORD", record.c_str());
    SetValue(Bytes(viewer, true));
  }
  void TearDown() override {
    DestroyWindow(reinterpret_cast<HWND>(inputWindow));
    ResetProgramState();
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Brisko");
    DeleteFileW(record.c_str());
  }

  static std::vector<BYTE> Bytes(const std::wstring& text, bool terminated) {
    const BYTE* begin = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(begin, begin + (text.size() + (terminated ? 1 : 0)) * 2);
  }
  // Stores the bytes exactly as given. RegSetValueExW would add a missing terminator to a
  // string value here, so the value goes in through NtSetValueKey, as any program can write it.
  static void SetValue(const std::vector<BYTE>& bytes) {
    using SetValueKey = LONG(WINAPI*)(HANDLE, UNICODE_STRING*, ULONG, ULONG, const void*, ULONG);
    static const auto setValueKey = reinterpret_cast<SetValueKey>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtSetValueKey")));
    ASSERT_NE(setValueKey, nullptr);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Brisko", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::wstring name(Wide(kViewerValue));
    UNICODE_STRING nameString{static_cast<USHORT>(name.size() * 2),
                              static_cast<USHORT>(name.size() * 2), name.data()};
    EXPECT_EQ(
        setValueKey(key, &nameString, 0, REG_SZ, bytes.data(), static_cast<ULONG>(bytes.size())),
        0);
    RegCloseKey(key);
  }
  std::optional<std::string> Recorded() const {
    FILE* file = _wfopen(record.c_str(), L"rb");
    if (file == nullptr) return std::nullopt;
    std::string text;
    char chunk[256];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
      text.append(chunk, got);
    }
    std::fclose(file);
    return text;
  }
  // Pumps the input window's messages for a while: long enough for TIMER_VIEWER to fire.
  static void PassTime(DWORD milliseconds) {
    wine::WaitFor([] { return false; }, milliseconds);
  }

  CountingLauncher launcher;
  std::wstring viewer;
  std::wstring record;
};

TEST_F(ViewerLaunchTest, TheButtonStartsTheViewerWithItsArgument) {
  launcher.forward = true;
  for (int press = 0; press < 3; ++press) {
    ViewerButtonPressed();
    PassTime(100);
  }
  ASSERT_TRUE(wine::WaitFor([&] { return !launcher.files.empty(); }, 2000));
  PassTime(400);
  EXPECT_EQ(launcher.files.size(), 1u) << "a burst of presses launches once";
  ASSERT_TRUE(wine::WaitFor([&] { return Recorded().has_value(); }, 30000))
      << "the stand-in viewer did not run";
  EXPECT_EQ(*Recorded(), "-Telvarin\n");
}

class HeldMutexTest : public ViewerLaunchTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(HeldMutexTest, AHeldMutexStopsTheLaunch) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, GetParam());
  ASSERT_NE(mutex, nullptr);
  ViewerButtonPressed();
  PassTime(600);
  EXPECT_TRUE(launcher.files.empty());

  CloseHandle(mutex);
  ViewerTimerFired();
  EXPECT_EQ(launcher.files.size(), 1u) << "once the mutex is gone the viewer starts";
}

INSTANTIATE_TEST_SUITE_P(Mutexes, HeldMutexTest,
                         ::testing::Values(kModeSwitchingMutexName, kButtonHandledMutexName));

TEST_F(ViewerLaunchTest, AMutexWeMayNotOpenStopsTheLaunch) {
  // A DACL without entries grants nobody SYNCHRONIZE, as a mutex of an elevated sibling does.
  SECURITY_DESCRIPTOR descriptor;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  ACL acl;
  InitializeAcl(&acl, sizeof acl, ACL_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, &acl, FALSE);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
  HANDLE mutex = CreateMutexA(&attributes, TRUE, kModeSwitchingMutexName);
  ASSERT_NE(mutex, nullptr);
  const MutexResult opened = os().kernel->OpenSyncMutex(kModeSwitchingMutexName);
  if (opened.handle != 0) {
    os().kernel->Close(opened.handle);
    CloseHandle(mutex);
    // Wine grants SYNCHRONIZE whatever the DACL says.
    GTEST_SKIP() << "this system does not enforce the mutex's DACL for SYNCHRONIZE";
  }
  EXPECT_EQ(opened.lastError, kErrorAccessDenied);

  ViewerTimerFired();
  EXPECT_TRUE(launcher.files.empty());
  CloseHandle(mutex);
}

struct ValueCase {
  const char* what;
  std::size_t chars;
  bool terminated;
  bool launches;
};

class RegistryValueTest : public ViewerLaunchTest,
                          public ::testing::WithParamInterface<ValueCase> {};

TEST_P(RegistryValueTest, TheRealRegistryGivesThePathWhole) {
  const ValueCase& c = GetParam();
  std::wstring path = L"C:\\";
  path.resize(c.chars, L'a');
  SetValue(Bytes(path, c.terminated));

  LaunchViewer();

  if (c.launches) {
    ASSERT_EQ(launcher.files.size(), 1u) << c.what;
    EXPECT_EQ(std::wstring(Wide(launcher.files[0].c_str())), path) << c.what;
  } else {
    EXPECT_TRUE(launcher.files.empty()) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RegistryValueTest,
                         ::testing::Values(ValueCase{"258 bytes, terminated", 128, true, true},
                                           ValueCase{"260 bytes, terminated", 129, true, true},
                                           ValueCase{"260 bytes, unterminated", 130, false, true},
                                           ValueCase{"518 bytes, terminated", 258, true, true},
                                           ValueCase{"518 bytes, unterminated", 259, false, true},
                                           ValueCase{"520 bytes", 259, true, false},
                                           ValueCase{"1000 bytes", 499, true, false}));

}  // namespace
}  // namespace bk
