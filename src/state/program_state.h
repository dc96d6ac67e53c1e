// Process-wide state of the program's shell. One instance each, touched only on the GUI thread.
#pragma once

#include <string>

#include "platform/os.h"

namespace bk {

extern WindowId inputWindow;     // set by InitOsd during start-up
extern std::string programDir;   // the executable's folder with its trailing backslash, or empty
extern bool layoutShown;         // the on-screen layout is up and the keyboard hook installed
extern HookHandle keyboardHook;  // the low-level keyboard hook, installed only while shown
extern FontHandle labelFont;
extern FontHandle smallLabelFont;
extern FontHandle noticeFont;

// Puts the shell's state back as it is before start-up (for tests).
void ResetProgramState();

}  // namespace bk
