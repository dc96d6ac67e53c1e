// bk_key_recorder.exe LOGFILE [TITLE]: a target application for tests under Wine. It shows one
// ordinary window and writes every key message and character that window receives to LOGFILE,
// one line each, flushed at once so that another process can follow the file:
//
//   READY <hwnd> <pid>
//   KEYDOWN <vk> <scan> <repeat> @<ms> | KEYUP ... | SYSKEYDOWN ... | SYSKEYUP ...
//   CHAR <code>
//   FOCUS in | FOCUS out
//
// The registered message "BkKeyRecorderActivate" makes it bring itself to the foreground, or,
// when it has been made another window's child, take the focus.
//
// @<ms> is the QueryPerformanceCounter reading, in milliseconds, when the window procedure got
// the message: the counter is system-wide, so another process can time a key against its own
// readings. Numbers are hexadecimal with 0x. The harness copies the program under the image name
// that a binding file is written for.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

FILE* logFile = nullptr;
// Another process may ask the recorder to take the foreground itself, for window managers that
// refuse a foreground change made from outside.
UINT activateMessage = 0;

void Log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(logFile, format, args);
  va_end(args);
  std::fputc('\n', logFile);
  std::fflush(logFile);
}

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void LogKey(const char* kind, WPARAM wParam, LPARAM lParam) {
  const double now = NowMs();
  Log("%s 0x%02X 0x%02X %u @%.3f", kind, static_cast<unsigned>(wParam),
      static_cast<unsigned>((lParam >> 16) & 0xFF), static_cast<unsigned>(lParam & 0xFFFF), now);
}

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      LogKey("KEYDOWN", wParam, lParam);
      return 0;
    case WM_KEYUP:
      LogKey("KEYUP", wParam, lParam);
      return 0;
    case WM_SYSKEYDOWN:
      LogKey("SYSKEYDOWN", wParam, lParam);
      return 0;  // not DefWindowProc: Alt must not open a menu mode that eats the next keys
    case WM_SYSKEYUP:
      LogKey("SYSKEYUP", wParam, lParam);
      return 0;
    case WM_CHAR:
      Log("CHAR 0x%02X", static_cast<unsigned>(wParam));
      return 0;
    case WM_SETFOCUS:
      Log("FOCUS in");
      return 0;
    case WM_KILLFOCUS:
      Log("FOCUS out");
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      const char text[] = "Key recorder: keys that reach this window are logged.";
      TextOutA(dc, 10, 10, text, sizeof text - 1);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      if (message == activateMessage && activateMessage != 0) {
        // Inside another program's frame: the focus only, the frame holds the foreground.
        if ((GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0) return SetFocus(window) != nullptr;
        ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
        SetFocus(window);
        return 1;
      }
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bk_key_recorder LOGFILE [TITLE]\n");
    return 2;
  }
  logFile = std::fopen(argv[1], "w");
  if (!logFile) return 3;
  const char* title = argc > 2 ? argv[2] : "Bk Key Recorder";
  activateMessage = RegisterWindowMessageA("BkKeyRecorderActivate");

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = RecorderProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = "BkKeyRecorder";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, 40, 40,
                                560, 360, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!window) return 4;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  SetForegroundWindow(window);
  Log("READY 0x%llX %lu", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)),
      GetCurrentProcessId());

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  std::fclose(logFile);
  return 0;
}
