// Process-wide state that the shell sets up and the layers below it read: the OSD, the bindings
// and the platform's timers. It lives below all of them, so that no layer includes the shell.
// One instance each, touched only on the GUI thread. Who writes each: the comments.
#pragma once

#include <string>

#include "platform/os.h"

namespace bk {

extern WindowId inputWindow;     // set by InitOsd during start-up
extern std::string programDir;   // the executable's folder with its trailing backslash, or empty
extern bool layoutShown;         // the on-screen layout is up and the keyboard hook installed
extern HookHandle keyboardHook;  // the low-level keyboard hook, installed only while shown
extern FontHandle labelFont;     // the three made at WM_CREATE, read by the painting
extern FontHandle smallLabelFont;
extern FontHandle noticeFont;

// Puts the state back as it is before start-up (for tests).
void ResetProgramState();

}  // namespace bk
