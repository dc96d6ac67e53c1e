#include <windows.h>

#include "platform/win32/win32_os.h"

namespace bk::win32 {

namespace {

WNDPROC inputWindowProc = nullptr;

class Win32Shell final : public Shell {
 public:
  bool RegisterInputClass(const WindowClassValues& values) override {
    WNDCLASSA windowClass{};
    windowClass.style = values.style;
    windowClass.lpfnWndProc = inputWindowProc;
    windowClass.hInstance = static_cast<HINSTANCE>(Instance());
    windowClass.hCursor = values.arrowCursor ? LoadCursorA(nullptr, IDC_ARROW) : nullptr;
    windowClass.hbrBackground =
        values.blackBackground ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)) : nullptr;
    windowClass.lpszClassName = values.name;
    return RegisterClassA(&windowClass) != 0;
  }
  WindowId CreateInputWindow(const WindowValues& values) override {
    HWND window = CreateWindowExA(values.exStyle, values.className, values.title, values.style,
                                  values.x, values.y, values.width, values.height, nullptr, nullptr,
                                  static_cast<HINSTANCE>(Instance()), nullptr);
    return reinterpret_cast<WindowId>(window);
  }
  FontHandle CreateFontHandle(const FontValues& values) override {
    HFONT font = CreateFontA(values.height, 0, 0, 0, values.weight, FALSE, FALSE, FALSE,
                             ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, values.face);
    return reinterpret_cast<FontHandle>(font);
  }
  void DeleteFontHandle(FontHandle font) override { DeleteObject(reinterpret_cast<HGDIOBJ>(font)); }
  void PostQuit() override { PostQuitMessage(0); }
  void RunMessageLoop() override {
    MSG message;
    // An error result (-1) ends the loop as WM_QUIT does, instead of spinning on it.
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
};

}  // namespace

void SetInputWindowProc(WNDPROC proc) {
  inputWindowProc = proc;
}

Shell& ShellImpl() {
  static Win32Shell shell;
  return shell;
}

}  // namespace bk::win32
