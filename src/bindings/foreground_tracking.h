// Keeping AppBindings on the application that owns the foreground window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace bk {

// The process whose binding file AppBindings holds; 0 when none.
extern ProcessId boundProcessId;

// What a binding file's name adds to the image name.
inline constexpr std::string_view kBindingFileEnding = ".cfg";

// The buffer that the image name is read into, in characters with the terminator.
inline constexpr std::uint32_t kImageNameSize = kLongestPathBytes;

// The binding file of an image name in the platform's device form
// ("\Device\HarddiskVolume3\Apps\Player.EXE"): `dir` + "appbindings\" + the part after the last
// backslash, exactly as given, + ".cfg". Empty when the name holds no backslash.
std::string BindingFilePath(std::string_view dir, std::string_view imageName);

// Whether BindingFilePath names a file of this name for some image: any base name, even one
// without an extension ("app" reads app.cfg), then ".cfg", matched without regard to case as the
// file system matches names.
bool IsBindingFileName(std::string_view fileName);

// Where the foreground window leads: its process, and the image name of that process.
struct ForegroundApp {
  enum class Stop {
    NoWindow,   // no window is in the foreground
    NoProcess,  // the window's process id is not known
    Bound,      // the process is the one whose bindings are loaded; it was not opened
    NotOpened,  // the process cannot be opened for query (elevated, or another user's)
    Found,      // the image name was asked for; it is empty when the platform gave none
  };
  Stop stop = Stop::NoWindow;
  ProcessId process = 0;
  std::string imageName;     // the platform's device form
  bool frameHost = false;    // a Store app's frame with no app inside: the frame host's own process
  bool insideFrame = false;  // the app inside a Store app's frame, whose window the frame owns
};

// Follows the foreground window to the application whose binding file counts, stopping at the
// bound process. A Store app's frame (ApplicationFrameHost.exe) stands for the app inside it: the
// process of its first child window that is not the frame's.
ForegroundApp FindForegroundApp();

// Makes boundProcessId and AppBindings follow `app`: kept when it is the bound process, its
// binding file loaded when it has one, else nothing bound (boundProcessId 0).
void BindForegroundApp(const ForegroundApp& app);

// Makes AppBindings belong to the foreground window's process, reading its binding file when
// that process is not the bound one (see FindForegroundApp). Afterwards either boundProcessId is
// that process and AppBindings holds its file, or boundProcessId is 0 and AppBindings is empty.
void RefreshAppBindings();

// Puts the key names, the bindings, the bound process and the layout's Caps Lock latch back as
// they are before start-up (for tests).
void ResetBindingsState();

}  // namespace bk
