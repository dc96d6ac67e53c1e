// The canvas of one paint, drawn with GDI into the paint's device context.
#pragma once

#include <windows.h>

#include "platform/os.h"

namespace bk::win32 {

// The layout's six bitmaps stay loaded from start-up to exit: loading two bitmaps per key at
// every paint made a full repaint far slower than a frame.
void LoadOsdBitmaps();
void FreeOsdBitmaps();

class GdiCanvas final : public Canvas {
 public:
  explicit GdiCanvas(HDC dc) : dc_(dc) {}
  void Blit(int bitmapId, int x, int y) override;
  void Stretch(int bitmapId, const Rect& target) override;
  void Frame(const Rect& rect, Colour colour) override;
  void Text(int x, int y, std::string_view text, FontHandle font, Colour colour,
            TextAlign align) override;

 private:
  HDC dc_;
};

}  // namespace bk::win32
