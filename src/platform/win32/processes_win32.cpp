#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <psapi.h>

#include "platform/win32/win32_os.h"

namespace bk::win32 {

namespace {

class Win32Processes final : public Processes {
 public:
  KernelHandle OpenForQuery(ProcessId id) override {
    return reinterpret_cast<KernelHandle>(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id));
  }
  std::uint32_t ImageFileName(KernelHandle process, char* buffer, std::uint32_t size) override {
    return GetProcessImageFileNameA(reinterpret_cast<HANDLE>(process), buffer, size);
  }
  void Close(KernelHandle process) override { CloseHandle(reinterpret_cast<HANDLE>(process)); }
};

}  // namespace

Processes& ProcessesImpl() {
  static Win32Processes processes;
  return processes;
}

}  // namespace bk::win32
