#include <windows.h>

#include "platform/win32/win32_os.h"

namespace bk::win32 {

namespace {

class Win32Kernel final : public Kernel {
 public:
  void LoadLibrariesFromSystemOnly() override {
    // Looked up, not imported: Windows 7 has the call only with update KB2533623.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const auto set = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (set != nullptr) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  MutexResult CreateOwnedMutex(const char* name) override {
    HANDLE handle = CreateMutexA(nullptr, TRUE, name);
    return {reinterpret_cast<KernelHandle>(handle), GetLastError()};
  }
  MutexResult OpenSyncMutex(const char* name) override {
    HANDLE handle = OpenMutexA(SYNCHRONIZE, FALSE, name);
    return {reinterpret_cast<KernelHandle>(handle), GetLastError()};
  }
  void Close(KernelHandle handle) override { CloseHandle(reinterpret_cast<HANDLE>(handle)); }
  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override {
    return GetModuleFileNameA(nullptr, buffer, size);
  }
  bool OsVersion(std::uint32_t* major, std::uint32_t* minor) override {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    const BOOL ok = GetVersionExA(&info);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    *major = ok ? info.dwMajorVersion : 0;
    *minor = ok ? info.dwMinorVersion : 0;
    return ok != FALSE;
  }
};

}  // namespace

Kernel& KernelImpl() {
  static Win32Kernel kernel;
  return kernel;
}

}  // namespace bk::win32
