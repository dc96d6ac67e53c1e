// bk_key_recorder.exe LOGFILE: the application in front, for the end-to-end scenarios. It shows
// one ordinary window and writes every key message that window receives to LOGFILE, a line each,
// flushed at once so that the harness can follow the file: the message, the key, and after "/" the
// scan code as the message carries it, "e0" first when it is marked extended: "down:p/19",
// "up:control/1d", "sysdown:menu/38", "down:left/e04b".
#include <windows.h>

#include <cstdio>
#include <map>

namespace {

FILE* logFile = nullptr;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const std::map<UINT, const char*> kinds = {
      {WM_KEYDOWN, "down"}, {WM_KEYUP, "up"}, {WM_SYSKEYDOWN, "sysdown"}, {WM_SYSKEYUP, "sysup"}};
  static const std::map<WPARAM, const char*> names = {
      {VK_TAB, "tab"},    {VK_RETURN, "return"}, {VK_SHIFT, "shift"},   {VK_CONTROL, "control"},
      {VK_MENU, "menu"},  {VK_ESCAPE, "escape"}, {VK_SPACE, "space"},   {VK_LWIN, "lwin"},
      {VK_PRIOR, "pgup"}, {VK_HOME, "home"},     {VK_DELETE, "delete"}, {VK_LEFT, "left"}};
  if (kinds.count(message)) {
    char name[8];
    std::snprintf(name, sizeof name, "0x%02x", unsigned(wParam));
    if ((wParam >= '0' && wParam <= '9') || (wParam >= 'A' && wParam <= 'Z')) {
      std::snprintf(name, sizeof name, "%c", char(wParam | 0x20));
    }
    if (names.count(wParam)) std::snprintf(name, sizeof name, "%s", names.at(wParam));
    const bool extended = (lParam & (1 << 24)) != 0;
    std::fprintf(logFile, "%s:%s/%s%02x\n", kinds.at(message), name, extended ? "e0" : "",
                 unsigned(lParam >> 16) & 0xFF);
    std::fflush(logFile);
    return 0;  // not DefWindowProc for the SYS messages: Alt must not start a menu mode
  }
  // A frame that holds another program's window, as ApplicationFrameHost.exe holds a Store app's,
  // passes it the focus.
  if (message == WM_SETFOCUS && GetWindow(window, GW_CHILD)) SetFocus(GetWindow(window, GW_CHILD));
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2 || (logFile = _wfopen(argv[1], L"w")) == nullptr) return 2;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = RecorderProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"BkKeyRecorder";
  RegisterClassW(&windowClass);
  // The harness brings it to the front.
  CreateWindowW(L"BkKeyRecorder", L"Key recorder", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 560,
                360, nullptr, nullptr, windowClass.hInstance, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
