// The machine's processes as OpenProcess and GetProcessImageFileNameA see them.
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/os.h"

namespace bk::fake {

class FakeProcesses final : public Processes {
 public:
  struct Process {
    std::string imageName;   // device form: "\\Device\\HarddiskVolume3\\Apps\\app.exe"
    bool denyQuery = false;  // another user's, or of higher integrity: OpenProcess fails
  };

  KernelHandle OpenForQuery(ProcessId id) override;
  std::uint32_t ImageFileName(KernelHandle process, char* buffer, std::uint32_t size) override;
  void Close(KernelHandle process) override;

  std::map<ProcessId, Process> processes;
  // How a name that does not fit the buffer is reported: by default, as documented, the call
  // fails and returns 0; with this set it is cut to the buffer and its size returned, as some
  // implementations do.
  bool cutLongNames = false;

  int openCount = 0;  // every OpenForQuery, successful or not
  std::set<KernelHandle> OpenHandles() const;

 private:
  std::map<KernelHandle, ProcessId> handles_;
  KernelHandle nextHandle_ = 0x700;
};

}  // namespace bk::fake
