#include "fake/fake_processes.h"

#include <algorithm>
#include <cstring>

namespace bk::fake {

KernelHandle FakeProcesses::OpenForQuery(ProcessId id) {
  ++openCount;
  const auto found = processes.find(id);
  if (found == processes.end() || found->second.denyQuery) return 0;
  const KernelHandle handle = ++nextHandle_;
  handles_[handle] = id;
  return handle;
}

std::uint32_t FakeProcesses::ImageFileName(KernelHandle process, char* buffer, std::uint32_t size) {
  const auto handle = handles_.find(process);
  if (handle == handles_.end() || size == 0) return 0;
  const std::string& name = processes.at(handle->second).imageName;
  if (name.size() < size) {
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    return static_cast<std::uint32_t>(name.size());
  }
  if (!cutLongNames) return 0;
  std::memcpy(buffer, name.data(), size);
  return size;
}

void FakeProcesses::Close(KernelHandle process) {
  handles_.erase(process);
}

std::set<KernelHandle> FakeProcesses::OpenHandles() const {
  std::set<KernelHandle> open;
  for (const auto& [handle, id] : handles_) open.insert(handle);
  return open;
}

}  // namespace bk::fake
