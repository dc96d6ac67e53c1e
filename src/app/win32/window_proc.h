#pragma once

#include <windows.h>

namespace bk::win32 {

// The input window's procedure: translates messages into calls on the logic.
LRESULT CALLBACK InputWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace bk::win32
