#include "app/win32/window_proc.h"

#include "app/report_decoding.h"
#include "app/startup.h"
#include "app/timers.h"

namespace bk::win32 {

LRESULT CALLBACK InputWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnInputWindowCreate();
      break;
    case WM_DESTROY:
      OnInputWindowDestroy();
      break;
    case WM_CLOSE:
      return 0;  // a close request never closes this window
    case WM_ERASEBKGND:
      return 1;  // painting covers the client area
    case WM_NCHITTEST:
      return HTCAPTION;  // the whole window drags like a caption
    case WM_MOVING: {
      const RECT* proposed = reinterpret_cast<const RECT*>(lParam);
      MoveWindow(window, proposed->left, proposed->top, proposed->right - proposed->left,
                 proposed->bottom - proposed->top, TRUE);
      break;
    }
    case WM_TIMER:
      OnInputWindowTimer(static_cast<TimerId>(wParam));
      break;
    case WM_INPUT:
      if (!DecodeRawInput(static_cast<std::intptr_t>(lParam))) return 0;
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace bk::win32
