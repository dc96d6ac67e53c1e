#include "fake/fake_desktop.h"

namespace bk::fake {

ThreadId FakeDesktop::WindowThreadProcess(WindowId window, ProcessId* processId) {
  // As GetWindowThreadProcessId: a window that does not exist gives 0 and no process.
  const auto found = windows.find(window);
  const Window none;
  const Window& owner = found == windows.end() ? none : found->second;
  if (processId != nullptr) *processId = owner.process;
  return owner.thread;
}

}  // namespace bk::fake
