#include <windows.h>

#include "app/startup.h"
#include "platform/win32/win32_os.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  bk::win32::SetInstance(instance);
  bk::InstallOs(bk::win32::RealOs());
  return bk::RunProgram();
}
