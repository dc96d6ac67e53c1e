#include "osd_harness.h"

#include <cstdio>

#include "app/startup.h"
#include "osd/osd_window.h"
#include "platform/win32/win32_os.h"

namespace bk::wine {

HWND StartLayoutWindow() {
  win32::SetInstance(GetModuleHandleA(nullptr));
  InstallOs(win32::RealOs());
  Shell& shell = *os().shell;
  shell.RegisterInputClass(InputWindowClass());
  const WindowId window = shell.CreateInputWindow(InputWindowValues());
  InitOsd(window, "");
  return reinterpret_cast<HWND>(window);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const double end = Seconds() + timeoutMs / 1000.0;
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (done && done()) return true;
    if (Seconds() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
}

void PumpFor(DWORD ms) {
  PumpUntil(nullptr, ms);
}

void RepaintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

Rgb8 Screenshot::At(int x, int y) const {
  const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
  return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
          static_cast<int>(p & 0xFF)};
}

bool Screenshot::SaveBmp(const std::string& path) const {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as most readers expect
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(pixels.size() * 4);
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + info.biSizeImage;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  for (int y = height - 1; y >= 0; --y) {
    std::fwrite(&pixels[static_cast<std::size_t>(y) * width], 4, width, out);
  }
  return std::fclose(out) == 0;
}

Screenshot CaptureWindow(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  Screenshot shot;
  shot.width = rect.right - rect.left;
  shot.height = rect.bottom - rect.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  // The window's own context: under Wine's X11 driver the screen's context does not read back
  // what other windows show, while a window's context reads its surface with its children.
  HDC source = GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, shot.width, shot.height, source, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* copied = static_cast<const std::uint32_t*>(bits);
  shot.pixels.assign(copied, copied + static_cast<std::size_t>(shot.width) * shot.height);
  for (std::uint32_t& p : shot.pixels) p &= 0x00FFFFFF;
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(window, source);
  return shot;
}

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace bk::wine
