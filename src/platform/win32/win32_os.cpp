#include "platform/win32/win32_os.h"

namespace bk::win32 {

namespace {
void* moduleInstance = nullptr;
}  // namespace

void SetInstance(void* instance) {
  moduleInstance = instance;
}
void* Instance() {
  return moduleInstance;
}

Os& RealOs() {
  static Os real = [] {
    Os all;
    all.kernel = &KernelImpl();
    all.shell = &ShellImpl();
    all.rawInput = &RawInputImpl();
    all.keyboard = &KeyboardImpl();
    all.hook = &HookImpl();
    all.desktop = &DesktopImpl();
    all.processes = &ProcessesImpl();
    return all;
  }();
  return real;
}

}  // namespace bk::win32
