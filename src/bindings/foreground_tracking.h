// Keeping AppBindings on the application that owns the foreground window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace bk {

// The process whose binding file AppBindings holds; 0 when none.
extern ProcessId boundProcessId;

// The buffer that the image name is read into, in characters with the terminator.
inline constexpr std::uint32_t kImageNameSize = 260;

// The binding file of an image name in the platform's device form
// ("\Device\HarddiskVolume3\Apps\Player.EXE"): `dir` + "appbindings\" + the part after the last
// backslash, exactly as given, + ".cfg". Empty when the name holds no backslash.
std::string BindingFilePath(std::string_view dir, std::string_view imageName);

// Makes AppBindings belong to the foreground window's process, reading its binding file when
// that process is not the bound one. A Store app's frame (ApplicationFrameHost.exe) stands for
// the app inside it: the process of its first child window that is not the frame's. Afterwards
// either boundProcessId is that process and AppBindings holds its file, or boundProcessId is 0 and
// AppBindings is empty.
void RefreshAppBindings();

// Puts the key names, the bindings, the bound process and the layout's Caps Lock latch back as
// they are before start-up (for tests).
void ResetBindingsState();

}  // namespace bk
