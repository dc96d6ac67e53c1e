// What the checker needs of the system it runs on.
#pragma once

#include <string>

#include "platform/os.h"

namespace bk::check {

// First thing in main. On Windows: no library is loaded from the checker's own folder, and the
// console shows the report in the code page of its text (UTF-8 where the manifest is honoured),
// until the checker ends.
void SetUpProcess();

// The keyboard whose layout key values come from: on Windows the system's own, as BkRemote
// uses it; elsewhere a US English layout.
Keyboard& CheckerKeyboard();

// What to check when no file or folder is named: on Windows the appbindings folder beside the
// checker, as BkRemote reads it; elsewhere nothing.
std::string DefaultBindingFolder();

// A console window that was opened for the checker alone, as when it is started from Explorer,
// stays until the user has read the report.
void HoldConsoleWindow();

// Puts the console's output code page back as it was before SetUpProcess; any thread may call
// it, any number of times.
void PutBackConsoleCodePage();

// --listen: a line for every report of the remote until "q" and Enter, the end of standard
// input, Ctrl-C, Ctrl-Break or the console window's close; the exit status.
int Listen();

}  // namespace bk::check
