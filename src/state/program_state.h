// Process-wide state that the shell sets up and the layers below it read: the OSD, the bindings
// and the platform's timers. It lives below all of them, so that no layer includes the shell.
// One instance each, touched only on the GUI thread. Who writes each: the comments.
#pragma once

#include <string>

#include "platform/os.h"

namespace bk {

// The starting values live here alone, for the start and for a reset; each piece is used by its
// own name below.
struct ProgramState {
  WindowId inputWindow = 0;     // set by InitOsd during start-up
  std::string programDir;       // the executable's folder with its trailing backslash, or empty
  bool layoutShown = false;     // the on-screen layout is up and the keyboard hook installed
  HookHandle keyboardHook = 0;  // the low-level keyboard hook, installed only while shown
  FontHandle labelFont = 0;     // the three made at WM_CREATE, read by the painting
  FontHandle smallLabelFont = 0;
  FontHandle noticeFont = 0;
};
extern ProgramState programState;
inline WindowId& inputWindow = programState.inputWindow;
inline std::string& programDir = programState.programDir;
inline bool& layoutShown = programState.layoutShown;
inline HookHandle& keyboardHook = programState.keyboardHook;
inline FontHandle& labelFont = programState.labelFont;
inline FontHandle& smallLabelFont = programState.smallLabelFont;
inline FontHandle& noticeFont = programState.noticeFont;

// Puts the state back as it is before start-up (for tests).
void ResetProgramState();

}  // namespace bk
