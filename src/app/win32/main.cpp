#include <windows.h>

#include "app/startup.h"
#include "app/win32/window_proc.h"
#include "platform/win32/win32_os.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  bk::win32::SetInstance(instance);
  bk::win32::SetInputWindowProc(bk::win32::InputWindowProc);
  bk::InstallOs(bk::win32::RealOs());
  return bk::RunProgram();
}
