#include <windows.h>

#include "platform/win32/win32_os.h"

namespace bk::win32 {

// Our wide strings are UTF-16, as the W functions take them.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

namespace {

const wchar_t* Wide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}

class Win32Registry final : public Registry {
 public:
  KernelHandle OpenUserKey(const char16_t* subkey) override {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(subkey), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return 0;
    }
    return reinterpret_cast<KernelHandle>(key);
  }
  bool QueryValue(KernelHandle key, const char16_t* name, void* buffer,
                  std::uint32_t* size) override {
    DWORD type = 0;
    DWORD bytes = *size;
    const LONG result = RegQueryValueExW(reinterpret_cast<HKEY>(key), Wide(name), nullptr, &type,
                                         static_cast<BYTE*>(buffer), &bytes);
    *size = bytes;
    return result == ERROR_SUCCESS;
  }
  void CloseKey(KernelHandle key) override { RegCloseKey(reinterpret_cast<HKEY>(key)); }
};

}  // namespace

Registry& RegistryImpl() {
  static Win32Registry registry;
  return registry;
}

}  // namespace bk::win32
