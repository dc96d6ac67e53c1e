#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "checker_platform.h"
#include "platform/win32/win32_os.h"

namespace bk::check {

namespace {

UINT consoleCodePage = 0;

}  // namespace

void PutBackConsoleCodePage() {
  if (consoleCodePage != 0) SetConsoleOutputCP(consoleCodePage);
}

void SetUpProcess() {
  win32::KernelImpl().LoadLibrariesFromSystemOnly();
  // Paths are printed as the "A" calls give them: in UTF-8 where Windows honours the manifest.
  // The console window may outlive the checker, as a command prompt does: its code page is put
  // back at exit, and by --listen however it ends.
  consoleCodePage = GetConsoleOutputCP();
  if (consoleCodePage != 0 && SetConsoleOutputCP(GetACP())) std::atexit(PutBackConsoleCodePage);
}

// VkKeyScanA, exactly as BkRemote.exe calls it.
Keyboard& CheckerKeyboard() {
  return win32::KeyboardImpl();
}

std::string DefaultBindingFolder() {
  std::string folder(kLongestPathBytes, '\0');
  const DWORD length = GetModuleFileNameA(nullptr, folder.data(), kLongestPathBytes);
  if (length == 0 || length == kLongestPathBytes) return "appbindings";
  folder.resize(length);
  return folder.substr(0, folder.find_last_of('\\') + 1) + "appbindings";
}

void HoldConsoleWindow() {
  // A report that goes to a file or a pipe is read elsewhere.
  if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_CHAR) return;
  // Only this process on its console: Windows opened the window for it, and closes it with it.
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) != 1) return;
  std::fputs("\nPress Enter to close this window.", stdout);
  std::fflush(stdout);
  std::getchar();
}

}  // namespace bk::check
