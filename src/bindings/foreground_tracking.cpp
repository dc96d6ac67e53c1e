#include "bindings/foreground_tracking.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "bindings/binding_file.h"
#include "bindings/key_injection.h"
#include "bindings/key_names.h"
#include "platform/os.h"
#include "state/program_state.h"

namespace bk {

ProcessId boundProcessId = 0;

namespace {

// Whether `text` is `lower`, an ASCII name in lower case, in any letter case.
bool EqualsInAnyCase(std::string_view text, std::string_view lower) {
  return std::equal(text.begin(), text.end(), lower.begin(), lower.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
}

// Bound to the frame host's own process: a frame whose app has not started, or is minimised.
bool boundToFrameHost = false;

void Unbind() {
  boundProcessId = 0;
  boundToFrameHost = false;
  AppBindings.clear();
}

// The image name of a process in the platform's device form; nothing when the process cannot be
// opened. A result that fills the whole buffer leaves no room for the terminator, so the name
// was cut short (or the call misreported); like a name the platform refused to write, it counts
// as no name.
std::optional<std::string> ReadImageName(ProcessId processId) {
  Processes& processes = *os().processes;
  const KernelHandle process = processes.OpenForQuery(processId);
  if (process == 0) return std::nullopt;
  std::string image(kImageNameSize, '\0');
  const std::uint32_t written = processes.ImageFileName(process, image.data(), kImageNameSize);
  processes.Close(process);
  if (written == 0 || written >= kImageNameSize) return std::string();
  image.resize(written);
  return image;
}

// Store apps run inside frames of this process; its base name in any letter case.
bool IsFrameHost(std::string_view imageName) {
  constexpr std::string_view kFrameHost = "applicationframehost.exe";
  const std::size_t slash = imageName.rfind('\\');
  if (slash == std::string_view::npos) return false;
  return EqualsInAnyCase(imageName.substr(slash + 1), kFrameHost);
}

// The process of the app that a Store frame shows: the first direct child window that belongs
// to another process. 0 when there is none.
ProcessId AppInFrame(WindowId frame, ProcessId frameProcess) {
  constexpr int kMaxChildren = 256;  // children may come and go while we walk
  Desktop& desktop = *os().desktop;
  WindowId child = desktop.TopChild(frame);
  for (int seen = 0; child != 0 && seen < kMaxChildren; ++seen) {
    ProcessId process = 0;
    if (desktop.WindowThreadProcess(child, &process) != 0 && process != 0 &&
        process != frameProcess) {
      return process;
    }
    child = desktop.NextBelow(child);
  }
  return 0;
}

// Fills in the image name of app.process, or says it cannot be opened.
void ReadAppImage(ForegroundApp& app) {
  std::optional<std::string> name = ReadImageName(app.process);
  app.stop = name ? ForegroundApp::Stop::Found : ForegroundApp::Stop::NotOpened;
  app.imageName = name.value_or(std::string());
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
  return EqualsInAnyCase(fileName.substr(fileName.size() - kBindingFileEnding.size()),
                         kBindingFileEnding);
}

ForegroundApp FindForegroundApp() {
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
  // Same process as last time: its bindings stay, and the file is not read again. The frame
  // host is the exception, since one process holds the frames of every Store app.
  app.stop = Stop::Bound;
  if (app.process == boundProcessId && !boundToFrameHost) return app;

  ReadAppImage(app);
  if (app.stop != Stop::Found || !IsFrameHost(app.imageName)) return app;
  const ProcessId inside = AppInFrame(window, app.process);
  if (inside == 0) {
    app.frameHost = true;
    if (app.process == boundProcessId) app.stop = Stop::Bound;
    return app;
  }
  // The app inside the frame stands in for the frame's process from here on.
  app.process = inside;
  app.insideFrame = true;
  app.stop = Stop::Bound;
  if (inside == boundProcessId) return app;
  ReadAppImage(app);
  return app;
}

void BindForegroundApp(const ForegroundApp& app) {
  // Same process as last time: its bindings stay, and the file is not read again.
  if (app.stop == ForegroundApp::Stop::Bound) return;
  const std::string path = BindingFilePath(programDir, app.imageName);
  if (path.empty()) return Unbind();
  boundProcessId = app.process;
  boundToFrameHost = app.frameHost;
  AppBindings.clear();
  // Without a file the application has no bindings; every press tries again, so a file
  // created while the application stays in front is found at the next press.
  if (!LoadBindingFile(path)) Unbind();
}

void RefreshAppBindings() {
  BindForegroundApp(FindForegroundApp());
}

void ResetBindingsState() {
  KeyNameTable.clear();
  Unbind();
}

}  // namespace bk
