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
#include "platform/win32/win32_os.h"

namespace {

struct Figures {
  double median = 0, best = 0, worst = 0;
};

Figures Summary(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.front(), ms.back()};
}

void Print(const char* what, const Figures& f, std::size_t runs) {
  std::printf("%-48s median %7.2f ms  best %7.2f  worst %7.2f  (%zu runs)\n", what, f.median,
              f.best, f.worst, runs);
}

// The canvas as it was first written, loading each bitmap from the resources at every draw:
// the baseline that keeping the bitmaps loaded is measured against.
class LoadingCanvas final : public bk::Canvas {
 public:
  explicit LoadingCanvas(HDC dc) : dc_(dc), gdi_(dc) {}
  void Blit(int id, int x, int y) override { gdi_.Blit(id, x, y); }
  void Stretch(int id, const bk::Rect& t) override {
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    HDC memory = CreateCompatibleDC(dc_);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    SetStretchBltMode(dc_, COLORONCOLOR);
    StretchBlt(dc_, t.left, t.top, t.right - t.left, t.bottom - t.top, memory, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
  }
  void Frame(const bk::Rect& r, bk::Colour c) override { gdi_.Frame(r, c); }
  void Text(int x, int y, std::string_view text, bk::FontHandle font, bk::Colour colour,
            bk::TextAlign align) override {
    gdi_.Text(x, y, text, font, colour, align);
  }

 private:
  HDC dc_;
  bk::win32::GdiCanvas gdi_;
};

// The 83 keys into `dc`, as WM_DRAWITEM paints them.
template <typename CanvasType>
double PaintAllKeys(HDC dc) {
  const double start = bk::wine::Seconds();
  CanvasType canvas(dc);
  for (int i = 0; i < 83; ++i) {
    const bk::LayoutKey& key = bk::keyboardLayout[i];
    bk::PaintKey(canvas, key.button,
                 {0, 0, static_cast<int>(key.width), static_cast<int>(key.height)});
  }
  GdiFlush();
  return (bk::wine::Seconds() - start) * 1000;
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

  // The painting alone, into a memory context, with the bitmaps kept and loaded per draw, the
  // two interleaved so that both see the same load on the machine.
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 800, 300);
  HGDIOBJ old = SelectObject(memory, target);
  std::vector<double> kept, loading;
  for (int run = 0; run < kRepaints; ++run) {
    kept.push_back(PaintAllKeys<win32::GdiCanvas>(memory));
    loading.push_back(PaintAllKeys<LoadingCanvas>(memory));
  }
  Print("83 keys, bitmaps loaded at every draw", Summary(loading), loading.size());
  Print("83 keys, bitmaps kept from start-up", Summary(kept), kept.size());
  SelectObject(memory, old);
  DeleteObject(target);
  DeleteDC(memory);
  ReleaseDC(window, screen);

  SetLayoutVisible(false);
  DestroyWindow(window);
  return 0;
}
