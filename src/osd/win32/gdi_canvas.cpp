#include "osd/win32/gdi_canvas.h"

#include "platform/win32/win32_os.h"

namespace bk::win32 {

namespace {

// A resource bitmap selected into a memory context for the length of one draw.
class BitmapSource {
 public:
  BitmapSource(HDC target, int id)
      : bitmap_(LoadBitmapA(static_cast<HINSTANCE>(Instance()), MAKEINTRESOURCEA(id))),
        dc_(bitmap_ ? CreateCompatibleDC(target) : nullptr) {
    if (dc_ == nullptr) return;
    old_ = SelectObject(dc_, bitmap_);
    GetObjectA(bitmap_, sizeof info_, &info_);
  }
  ~BitmapSource() {
    if (dc_ != nullptr) {
      SelectObject(dc_, old_);
      DeleteDC(dc_);
    }
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
  }
  BitmapSource(const BitmapSource&) = delete;
  BitmapSource& operator=(const BitmapSource&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return info_.bmWidth; }
  int height() const { return info_.bmHeight; }

 private:
  HBITMAP bitmap_;
  HDC dc_;
  HGDIOBJ old_ = nullptr;
  BITMAP info_{};
};

UINT Alignment(TextAlign align) {
  switch (align) {
    case TextAlign::RightTop:
      return TA_RIGHT | TA_TOP;
    case TextAlign::CenterTop:
      return TA_CENTER | TA_TOP;
    case TextAlign::LeftTop:
      break;
  }
  return TA_LEFT | TA_TOP;
}

}  // namespace

void GdiCanvas::Blit(int bitmapId, int x, int y) {
  BitmapSource source(dc_, bitmapId);
  if (source.dc() == nullptr) return;
  BitBlt(dc_, x, y, source.width(), source.height(), source.dc(), 0, 0, SRCCOPY);
}

void GdiCanvas::Stretch(int bitmapId, const Rect& target) {
  BitmapSource source(dc_, bitmapId);
  if (source.dc() == nullptr) return;
  SetStretchBltMode(dc_, COLORONCOLOR);
  StretchBlt(dc_, target.left, target.top, target.right - target.left, target.bottom - target.top,
             source.dc(), 0, 0, source.width(), source.height(), SRCCOPY);
}

void GdiCanvas::Frame(const Rect& rect, Colour colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  const RECT r{rect.left, rect.top, rect.right, rect.bottom};
  FrameRect(dc_, &r, brush);
  DeleteObject(brush);
}

void GdiCanvas::Text(int x, int y, std::string_view text, FontHandle font, Colour colour,
                     TextAlign align) {
  SetTextColor(dc_, colour);
  SetBkMode(dc_, TRANSPARENT);
  SetTextAlign(dc_, Alignment(align));
  HGDIOBJ old = SelectObject(dc_, reinterpret_cast<HGDIOBJ>(font));
  TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
  SelectObject(dc_, old);
}

}  // namespace bk::win32
