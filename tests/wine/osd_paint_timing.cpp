// Timed runs of the layout window under Wine: the fade-in, from SetLayoutVisible(true) to full
// opacity, and a full repaint of keyboardLayout. Prints its figures; asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/program_state.h"
#include "osd/osd_paint.h"
#include "osd/osd_window.h"
#include "osd/win32/gdi_canvas.h"
#include "osd_harness.h"

namespace {

struct Figures {
  double mean = 0, best = 0, worst = 0;
};

Figures Summary(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  double sum = 0;
  for (double m : ms) sum += m;
  return {sum / ms.size(), ms.front(), ms.back()};
}

void Print(const char* what, const Figures& f, int runs) {
  std::printf("%-44s mean %7.2f ms  best %7.2f  worst %7.2f  (%d runs)\n", what, f.mean, f.best,
              f.worst, runs);
}

}  // namespace

int main() {
  using namespace bk;
  HWND window = wine::StartLayoutWindow();
  if (window == nullptr) return 1;

  constexpr int kFades = 10;
  std::vector<double> fades;
  for (int run = 0; run < kFades; ++run) {
    const double start = wine::Seconds();
    SetLayoutVisible(true);
    wine::PumpUntil([] { return fadeAlpha == 255; }, 5000);
    fades.push_back((wine::Seconds() - start) * 1000);
    SetLayoutVisible(false);
    wine::PumpFor(50);
  }
  Print("fade-in to full opacity", Summary(fades), kFades);

  SetLayoutVisible(true);
  wine::PumpUntil([] { return fadeAlpha == 255; }, 5000);
  wine::PumpFor(200);

  constexpr int kRepaints = 50;
  std::vector<double> whole;
  for (int run = 0; run < kRepaints; ++run) {
    const double start = wine::Seconds();
    wine::RepaintNow(window);
    whole.push_back((wine::Seconds() - start) * 1000);
  }
  Print("full repaint of keyboardLayout (window)", Summary(whole), kRepaints);

  // The painting alone: the 83 keys into a memory context, as WM_DRAWITEM paints them.
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 800, 300);
  HGDIOBJ old = SelectObject(memory, target);
  std::vector<double> keys;
  for (int run = 0; run < kRepaints; ++run) {
    const double start = wine::Seconds();
    win32::GdiCanvas canvas(memory);
    for (int i = 0; i < 83; ++i) {
      const LayoutKey& key = keyboardLayout[i];
      PaintKey(canvas, key.button,
               {0, 0, static_cast<int>(key.width), static_cast<int>(key.height)});
    }
    GdiFlush();
    keys.push_back((wine::Seconds() - start) * 1000);
  }
  Print("83 keys painted (PaintKey only)", Summary(keys), kRepaints);
  SelectObject(memory, old);
  DeleteObject(target);
  DeleteDC(memory);
  ReleaseDC(window, screen);

  SetLayoutVisible(false);
  DestroyWindow(window);
  return 0;
}
