// What the checker needs of the system it runs on.
#pragma once

#include <string>

#include "platform/os.h"

namespace bk::check {

// The keyboard whose layout key values come from: on Windows the system's own, as BkRemote
// uses it; elsewhere a US English layout.
Keyboard& CheckerKeyboard();

// What to check when no file or folder is named: on Windows the appbindings folder beside the
// checker, as BkRemote reads it; elsewhere nothing.
std::string DefaultBindingFolder();

// A console window that was opened for the checker alone, as when it is started from Explorer,
// stays until the user has read the report.
void HoldConsoleWindow();

// --listen: a line for every report of the remote until Enter or Ctrl-C; the exit status.
int Listen();

}  // namespace bk::check
