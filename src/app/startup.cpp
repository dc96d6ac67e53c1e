#include "app/startup.h"

#include <algorithm>
#include <string>

#include "app/window_switcher.h"
#include "osd/osd_window.h"
#include "osd/text_entry.h"
#include "state/program_state.h"

namespace bk {

namespace {
constexpr std::uint32_t kClassRedrawStyle = 0x0003;  // CS_HREDRAW | CS_VREDRAW
}  // namespace

WindowClassValues InputWindowClass() {
  return {kInputWindowName, kClassRedrawStyle, /*arrowCursor=*/true, /*blackBackground=*/true};
}

WindowValues InputWindowValues() {
  return {kInputWindowName, kInputWindowName, ws::ExNoActivate, ws::Popup, 100, 100, 10, 10};
}

FontValues LabelFontValues() {
  return {"Arial", 24, 700};
}
FontValues SmallLabelFontValues() {
  return {"Arial", 18, 700};
}
FontValues NoticeFontValues() {
  return {"Arial", 12, 700};
}

std::array<RawDeviceRegistration, 4> RemoteRegistrations(WindowId target) {
  return {{{0xFFBC, 0x0088, kRidevInputSink, target},
           {0x000C, 0x0001, kRidevInputSink, target},
           {0x000C, 0x0080, kRidevInputSink, target},
           {0xFFAA, 0x0088, kRidevInputSink, target}}};
}

std::string ProgramDirFromModulePath(std::string_view written, std::uint32_t bufferSize) {
  if (written.size() >= bufferSize) return {};
  const std::size_t slash = written.rfind('\\');
  if (slash == std::string_view::npos) return {};
  return std::string(written.substr(0, slash + 1));
}

int RunProgram() {
  Kernel& kernel = *os().kernel;
  // Before anything can load a library (ShellExecuteW loads many): a DLL dropped beside the
  // program, as in a Downloads folder, must never be loaded.
  kernel.LoadLibrariesFromSystemOnly();
  const MutexResult instance = kernel.CreateOwnedMutex(kInstanceMutexName);
  if (instance.handle == 0 || instance.lastError == kErrorAlreadyExists) {
    if (instance.handle != 0) kernel.Close(instance.handle);
    return kExitAlreadyRunning;
  }

  std::string path(kModulePathSize, '\0');
  const std::uint32_t written = kernel.ModuleFileName(path.data(), kModulePathSize);
  const std::string dir = ProgramDirFromModulePath(
      std::string_view(path).substr(0, std::min(written, kModulePathSize)), kModulePathSize);

  Shell& shell = *os().shell;
  const bool registered = shell.RegisterInputClass(InputWindowClass());
  const WindowId window = registered ? shell.CreateInputWindow(InputWindowValues()) : 0;
  if (window == 0) {
    // Without a window nothing can ever reach the program; idling would only block every
    // later start behind the mutex.
    kernel.Close(instance.handle);
    return kExitNoWindow;
  }

  InitOsd(window, dir);

  const auto registrations = RemoteRegistrations(window);
  os().rawInput->Register(registrations);

  shell.RunMessageLoop();

  kernel.Close(instance.handle);
  return kExitNormal;
}

void OnInputWindowCreate() {
  Shell& shell = *os().shell;
  labelFont = shell.CreateFontHandle(LabelFontValues());
  smallLabelFont = shell.CreateFontHandle(SmallLabelFontValues());
  noticeFont = shell.CreateFontHandle(NoticeFontValues());
  SyncOsdVisibility();
}

void OnInputWindowDestroy() {
  Shell& shell = *os().shell;
  for (FontHandle* font : {&labelFont, &smallLabelFont, &noticeFont}) {
    if (*font != 0) shell.DeleteFontHandle(*font);
    *font = 0;
  }
  // No latched Shift, Ctrl, Alt or Windows key may stay down in the system once the program is
  // gone.
  ReleaseModifiers();
  layoutShown = false;
  if (keyboardHook != 0) {
    os().hook->Remove(keyboardHook);
    keyboardHook = 0;
  }
  // The switcher's modifier must not stay down once the program is gone.
  StepWindowSwitcher(false);
  shell.PostQuit();
}

}  // namespace bk
