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

// Bound to the frame host's own process: a frame whose app has not started, or is minimised.
bool boundToFrameHost = false;

void Unbind() {
  boundProcessId = 0;
  boundToFrameHost = false;
  AppBindings.clear();
}

// The image name as the platform wrote it. A result that fills the whole buffer leaves no room
// for the terminator, so the name was cut short (or the call misreported); like a name the
// platform refused to write, it counts as no name.
std::string_view WrittenImageName(const char* buffer, std::uint32_t written) {
  if (written == 0 || written >= kImageNameSize) return {};
  return {buffer, written};
}

// The image name of a process, read into `buffer` (kImageNameSize characters); empty when the
// process cannot be opened or has no name.
std::string_view ReadImageName(ProcessId processId, char* buffer) {
  Processes& processes = *os().processes;
  const KernelHandle process = processes.OpenForQuery(processId);
  if (process == 0) return {};
  const std::uint32_t written = processes.ImageFileName(process, buffer, kImageNameSize);
  processes.Close(process);
  return WrittenImageName(buffer, written);
}

// Store apps run inside frames of this process; its base name in any letter case.
bool IsFrameHost(std::string_view imageName) {
  constexpr std::string_view kFrameHost = "applicationframehost.exe";
  const std::size_t slash = imageName.rfind('\\');
  if (slash == std::string_view::npos) return false;
  const std::string_view base = imageName.substr(slash + 1);
  return std::equal(
      base.begin(), base.end(), kFrameHost.begin(), kFrameHost.end(),
      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
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

}  // namespace

std::string BindingFilePath(std::string_view dir, std::string_view imageName) {
  const std::size_t slash = imageName.rfind('\\');
  if (slash == std::string_view::npos) return {};
  std::string path(dir);
  path += "appbindings\\";
  path += imageName.substr(slash + 1);
  path += ".cfg";
  return path;
}

void RefreshAppBindings() {
  Desktop& desktop = *os().desktop;
  const WindowId window = desktop.Foreground();
  if (window == 0) return Unbind();
  ProcessId processId = 0;
  if (desktop.WindowThreadProcess(window, &processId) == 0 || processId == 0) return Unbind();
  // Same process as last time: its bindings stay, and the file is not read again. The frame
  // host is the exception, since one process holds the frames of every Store app.
  if (processId == boundProcessId && !boundToFrameHost) return;

  char image[kImageNameSize];
  std::string_view name = ReadImageName(processId, image);
  const bool frameHost = IsFrameHost(name);
  const ProcessId app = frameHost ? AppInFrame(window, processId) : 0;
  if (app != 0) {
    // The app inside the frame stands in for the frame's process from here on.
    if (app == boundProcessId) return;
    processId = app;
    name = ReadImageName(app, image);
  } else if (frameHost && processId == boundProcessId) {
    return;
  }
  boundProcessId = processId;
  boundToFrameHost = frameHost && app == 0;

  const std::string path = BindingFilePath(programDir, name);
  if (path.empty()) return Unbind();
  AppBindings.clear();
  // Without a file the application has no bindings; every press tries again, so a file
  // created while the application stays in front is found at the next press.
  if (!LoadBindingFile(path)) Unbind();
}

void ResetBindingsState() {
  KeyNameTable.clear();
  Unbind();
}

}  // namespace bk
