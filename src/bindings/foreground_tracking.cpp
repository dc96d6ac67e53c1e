#include "bindings/foreground_tracking.h"

#include <algorithm>
#include <cctype>

#include "app/program_state.h"
#include "bindings/binding_file.h"
#include "bindings/key_injection.h"
#include "bindings/key_names.h"
#include "platform/os.h"

namespace bk {

ProcessId boundProcessId = 0;

namespace {

constexpr std::string_view kBindingFileEnding = ".cfg";

void Unbind() {
  boundProcessId = 0;
  AppBindings.clear();
}

// The image name as the platform wrote it. A result that fills the whole buffer leaves no room
// for the terminator, so the name was cut short (or the call misreported); like a name the
// platform refused to write, it counts as no name.
std::string_view WrittenImageName(const char* buffer, std::uint32_t written) {
  if (written == 0 || written >= kImageNameSize) return {};
  return {buffer, written};
}

}  // namespace

std::string BindingFilePath(std::string_view dir, std::string_view imageName) {
  const std::size_t slash = imageName.rfind('\\');
  if (slash == std::string_view::npos) return {};
  std::string path(dir);
  path += "appbindings\\";
  path += imageName.substr(slash + 1);
  path += kBindingFileEnding;
  return path;
}

bool IsBindingFileName(std::string_view fileName) {
  if (fileName.size() <= kBindingFileEnding.size()) return false;
  const std::string_view ending = fileName.substr(fileName.size() - kBindingFileEnding.size());
  return std::equal(ending.begin(), ending.end(), kBindingFileEnding.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
}

ForegroundApp FindForegroundApp(ProcessId bound) {
  using Stop = ForegroundApp::Stop;
  ForegroundApp app;
  Desktop& desktop = *os().desktop;
  const WindowId window = desktop.Foreground();
  if (window == 0) return app;
  if (desktop.WindowThreadProcess(window, &app.process) == 0 || app.process == 0) {
    app.process = 0;
    app.stop = Stop::NoProcess;
    return app;
  }
  app.stop = Stop::Bound;
  if (app.process == bound) return app;

  Processes& processes = *os().processes;
  const KernelHandle process = processes.OpenForQuery(app.process);
  app.stop = Stop::NotOpened;
  if (process == 0) return app;
  char image[kImageNameSize];
  const std::uint32_t written = processes.ImageFileName(process, image, kImageNameSize);
  processes.Close(process);
  app.imageName = WrittenImageName(image, written);
  app.stop = Stop::Found;
  return app;
}

void BindForegroundApp(const ForegroundApp& app) {
  // Same process as last time: its bindings stay, and the file is not read again.
  if (app.stop == ForegroundApp::Stop::Bound) return;
  const std::string path = BindingFilePath(programDir, app.imageName);
  if (path.empty()) return Unbind();
  boundProcessId = app.process;
  AppBindings.clear();
  // Without a file the application has no bindings; every press tries again, so a file
  // created while the application stays in front is found at the next press.
  if (!LoadBindingFile(path)) Unbind();
}

void RefreshAppBindings() {
  BindForegroundApp(FindForegroundApp(boundProcessId));
}

void ResetBindingsState() {
  KeyNameTable.clear();
  AppBindings.clear();
  boundProcessId = 0;
}

}  // namespace bk
