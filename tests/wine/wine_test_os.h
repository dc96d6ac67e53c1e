// The real Win32 layer for tests under Wine, completed with the pieces these tests need and
// helpers to wait for the system to catch up.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/os.h"

namespace bk::wine {

// Installs the program's own Win32 implementation, as the entry point does.
void InstallTestOs();

// Dispatches this thread's messages until `done` holds or `milliseconds` pass.
bool WaitFor(const std::function<bool()>& done, DWORD milliseconds = 5000);

// The folder of this test program, with its trailing backslash.
std::wstring TestFolder();

}  // namespace bk::wine
