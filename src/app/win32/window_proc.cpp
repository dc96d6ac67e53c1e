#include "app/win32/window_proc.h"

#include "app/report_decoding.h"
#include "app/startup.h"
#include "app/timers.h"
#include "osd/osd_paint.h"
#include "osd/osd_window.h"
#include "osd/text_entry.h"
#include "osd/win32/gdi_canvas.h"

namespace bk::win32 {

LRESULT CALLBACK InputWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      LoadOsdBitmaps();
      OnInputWindowCreate();
      break;
    case WM_DESTROY:
      OnInputWindowDestroy();
      FreeOsdBitmaps();
      break;
    case WM_CLOSE:
      return 0;  // a close request never closes this window
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      GdiCanvas canvas(dc);
      PaintOsdBackground(canvas);
      EndPaint(window, &paint);
      break;
    }
    case WM_DRAWITEM: {
      const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      GdiCanvas canvas(item->hDC);
      const RECT& r = item->rcItem;
      PaintOsdItem(canvas, reinterpret_cast<WindowId>(item->hwndItem),
                   {r.left, r.top, r.right, r.bottom});
      break;
    }
    case WM_DISPLAYCHANGE:
      SyncOsdVisibility();
      break;
    case WM_ERASEBKGND:
      return 1;  // painting covers the client area
    case WM_NCHITTEST:
      return HTCAPTION;  // the whole window drags like a caption
    case WM_MOUSEACTIVATE:
      // A click on a key must leave the application in front with the focus, to type into. The
      // window's WS_EX_NOACTIVATE says so already, but not every system heeds it for clicks on
      // the key buttons, whose activation request comes here.
      return MA_NOACTIVATE;
    case WM_MOVING: {
      const RECT* proposed = reinterpret_cast<const RECT*>(lParam);
      MoveWindow(window, proposed->left, proposed->top, proposed->right - proposed->left,
                 proposed->bottom - proposed->top, TRUE);
      break;
    }
    case WM_COMMAND:
      KeyButtonCommand(static_cast<WindowId>(lParam));
      break;
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
