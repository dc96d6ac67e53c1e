// bk_key_recorder.exe LOGFILE: the application in front, for the end-to-end scenarios. It shows
// one ordinary window and writes what that window receives to LOGFILE, a line each, flushed at
// once so that the harness can follow the file: "key down:p", "key up:control",
// "key sysdown:menu", "key sysup:n", and "char <UTF-16 code unit>" for printable characters.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>

namespace {

FILE* logFile = nullptr;

void LogKey(const char* kind, WPARAM vk) {
  static const struct {
    WPARAM vk;
    const char* name;
  } names[] = {{VK_BACK, "back"},     {VK_TAB, "tab"},         {VK_RETURN, "return"},
               {VK_SHIFT, "shift"},   {VK_CONTROL, "control"}, {VK_MENU, "menu"},
               {VK_ESCAPE, "escape"}, {VK_SPACE, "space"},     {VK_LWIN, "lwin"}};
  char name[8];
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
    std::snprintf(name, sizeof name, "%c", static_cast<char>(vk | 0x20));
  } else {
    std::snprintf(name, sizeof name, "0x%02x", static_cast<unsigned>(vk));
  }
  for (const auto& n : names) {
    if (n.vk == vk) std::snprintf(name, sizeof name, "%s", n.name);
  }
  std::fprintf(logFile, "key %s:%s\n", kind, name);
  std::fflush(logFile);
}

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Not DefWindowProc for the SYS messages: Alt must not start a menu mode that eats keys.
  static const struct {
    UINT message;
    const char* kind;
  } kinds[] = {
      {WM_KEYDOWN, "down"}, {WM_KEYUP, "up"}, {WM_SYSKEYDOWN, "sysdown"}, {WM_SYSKEYUP, "sysup"}};
  for (const auto& k : kinds) {
    if (k.message == message) return LogKey(k.kind, wParam), 0;
  }
  if (message == WM_CHAR) {  // control characters follow from the keys, which are logged
    if (wParam >= 0x20) std::fprintf(logFile, "char %u\n", static_cast<unsigned>(wParam));
    std::fflush(logFile);
    return 0;
  }
  if (message == WM_APP) SetFocus(window);  // a child of another program's window, when asked
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2 || (logFile = _wfopen(argv[1], L"w")) == nullptr) return 2;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = RecorderProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = L"BkKeyRecorder";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"BkKeyRecorder", L"Key recorder", WS_OVERLAPPEDWINDOW, 40, 40,
                                560, 360, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return 3;
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
