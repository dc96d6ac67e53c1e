// The real operating system behind the logic's interfaces.
#pragma once

#include <windows.h>

#include "platform/os.h"

namespace bk::win32 {

// The Win32 implementation of every interface, installed by the entry point.
Os& RealOs();

// The module instance that windows and resources belong to.
void SetInstance(void* instance);
void* Instance();

// The input window's procedure, which lives in the shell above this layer: the entry point hands
// it down before start-up registers the window class.
void SetInputWindowProc(WNDPROC proc);

// One implementation per concern; each lives in its own file.
Kernel& KernelImpl();
Shell& ShellImpl();
RawInput& RawInputImpl();
Desktop& DesktopImpl();
WindowControl& WindowControlImpl();
Registry& RegistryImpl();
Launcher& LauncherImpl();
Timers& TimersImpl();
Keyboard& KeyboardImpl();
Hook& HookImpl();
LayoutWindow& LayoutWindowImpl();
Processes& ProcessesImpl();

}  // namespace bk::win32
