// The layout window, made in this process as start-up makes it, with helpers to pump its
// messages and to read back what the screen shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bk::wine {

// Installs the real OS, makes the input window and runs InitOsd. Returns the window.
HWND StartLayoutWindow();

// Dispatches this thread's messages until `done` holds or `timeoutMs` has passed; true if done.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
void PumpFor(DWORD ms);

// Paints every window of the layout now.
void RepaintNow(HWND window);

struct Rgb8 {
  int r = 0, g = 0, b = 0;
};

// What a window shows, children included.
struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
  Rgb8 At(int x, int y) const;
  bool SaveBmp(const std::string& path) const;
};
Screenshot CaptureWindow(HWND window);

double Seconds();  // a monotonic clock

}  // namespace bk::wine
