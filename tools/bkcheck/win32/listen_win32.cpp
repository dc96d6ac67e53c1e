// BkCheck --listen on Windows: a hidden window of its own that receives the remote's reports
// beside BkRemote, a timer to look at the state, and "q" and Enter or Ctrl-C to end.
#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

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

void End() {
  PostThreadMessageA(listeningThread, WM_QUIT, 0, 0);
}

// Ctrl-C, Ctrl-Break, the console window closed, log-off, shut-down. For all but the first two
// Windows ends the process soon after this returns, with a status of its own: the code page goes
// back here, and the handler waits for the listening thread to end the process with 0.
BOOL WINAPI ConsoleControl(DWORD) {
  PutBackConsoleCodePage();
  End();
  Sleep(2000);
  return TRUE;
}

// A line "q" ends the listening, and so does the end of standard input (a closed pipe, Ctrl-Z on
// the console); other lines are ignored. The remote's own keys (digits, Enter, Esc, arrows)
// cannot type a "q", so they never end it while the console is in front. Read from the handle
// itself: the C runtime's getchar would hold its lock on stdin, and the exit would wait for it.
DWORD WINAPI ReadInput(void*) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  std::string line;
  char buffer[256];
  DWORD read = 0;
  bool ended = false;
  while (!ended && ReadFile(input, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    for (char ch : std::string_view(buffer, read)) {
      if (ch == '\x1A') ended = true;
      if (ch == '\n' && (line == "q" || line == "Q")) End();
      if (ch == '\n') line.clear();
      if (ch != '\n' && ch != '\r' && ch != ' ') line += ch;
    }
  }
  End();
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
  // Before the heading, which tells how to end: from here on every way of ending is handled.
  SetConsoleCtrlHandler(ConsoleControl, TRUE);
  // The heading comes after the registration: every press after it gets its line.
  listening.Start();
  SetTimer(window, kPollTimer, kPollMs, nullptr);
  CloseHandle(CreateThread(nullptr, 0, ReadInput, nullptr, 0, nullptr));
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  // The reader may still wait for a line of a pipe that stays open: the process ends without it.
  std::fflush(stdout);
  PutBackConsoleCodePage();
  ExitProcess(0);
}

}  // namespace bk::check
