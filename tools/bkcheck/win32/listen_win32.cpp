// BkCheck --listen on Windows: a hidden window of its own that receives the remote's reports
// beside BkRemote, a timer to look at the state, and Enter or Ctrl-C to end.
#include <windows.h>

#include <cstdio>

#include "app/startup.h"
#include "check/listen.h"
#include "checker_platform.h"
#include "platform/win32/win32_os.h"

namespace bk::check {

namespace {

constexpr char kListenerClass[] = "BkCheck Listener";
constexpr UINT_PTR kPollTimer = 1;
// The layout's state for a report is the one of the last look, taken before the report came:
// BkRemote may show the layout for that very report while the listener reads it.
constexpr UINT kPollMs = 100;

Listener* listener = nullptr;
ULONGLONG startTick = 0;
DWORD listeningThread = 0;

std::uint64_t Elapsed() {
  return GetTickCount64() - startTick;
}

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INPUT) listener->Input(Elapsed(), static_cast<std::intptr_t>(lParam));
  if (message == WM_TIMER) listener->Poll(Elapsed());
  return DefWindowProcA(window, message, wParam, lParam);
}

BOOL WINAPI ConsoleControl(DWORD) {
  PostThreadMessageA(listeningThread, WM_QUIT, 0, 0);
  return TRUE;
}

// A line on standard input ends the listening. Without input to read, only Ctrl-C does.
DWORD WINAPI WaitForEnter(void*) {
  for (int ch; (ch = std::getchar()) != EOF;) {
    if (ch == '\n') {
      PostThreadMessageA(listeningThread, WM_QUIT, 0, 0);
      break;
    }
  }
  return 0;
}

}  // namespace

int Listen() {
  InstallOs(win32::RealOs());
  listeningThread = GetCurrentThreadId();
  startTick = GetTickCount64();
  Listener listening(stdout);
  listener = &listening;

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = ListenerProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kListenerClass;
  RegisterClassA(&windowClass);
  // Never shown: a Raw Input target need not be visible.
  HWND window = CreateWindowExA(0, kListenerClass, kListenerClass, WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  const auto registrations = RemoteRegistrations(reinterpret_cast<WindowId>(window));
  if (window == nullptr || !os().rawInput->Register(registrations)) {
    std::printf("BkCheck cannot register for the remote's reports (error %lu)\n", GetLastError());
    return 2;
  }
  // The heading comes after the registration: every press after it gets its line.
  listening.Start();
  SetTimer(window, kPollTimer, kPollMs, nullptr);
  SetConsoleCtrlHandler(ConsoleControl, TRUE);
  CloseHandle(CreateThread(nullptr, 0, WaitForEnter, nullptr, 0, nullptr));
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

}  // namespace bk::check
