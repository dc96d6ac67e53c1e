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
    all.desktop = &DesktopImpl();
    all.windows = &WindowControlImpl();
    all.registry = &RegistryImpl();
    all.launcher = &LauncherImpl();
    all.timers = &TimersImpl();
    all.keyboard = &KeyboardImpl();
    all.hook = &HookImpl();
    all.layoutWindow = &LayoutWindowImpl();
    all.processes = &ProcessesImpl();
    return all;
  }();
  return real;
}

}  // namespace bk::win32
