// The Win32 layer where the real system is what is tested and no end-to-end scenario reaches: the
// registry value that names the viewer, at the sizes where the real call and the fake could part.
// Everything else of the layer is shown by the whole program under Wine (e2e/).
#include <windows.h>
// winternl.h needs the types of windows.h first.
#include <winternl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_os.h"
#include "windows/viewer_launch.h"

namespace bk {
namespace {

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
  EXPECT_EQ(launcher.files,
            GetParam().launches ? std::vector{path} : std::vector<std::u16string>{});
}

INSTANTIATE_TEST_SUITE_P(Sizes, RegistryValueTest,
                         ::testing::Values(ValueCase{518, true, true}, ValueCase{518, false, true},
                                           ValueCase{520, true, false}));

}  // namespace
}  // namespace bk
