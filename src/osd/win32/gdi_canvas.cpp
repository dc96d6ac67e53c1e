#include "osd/win32/gdi_canvas.h"

#include "osd/osd_paint.h"
#include "platform/win32/win32_os.h"

namespace bk::win32 {

namespace {

constexpr int kFirstOsdBitmap = IDB_FACE_LIT;
constexpr int kOsdBitmapCount = IDB_FACE_DARK - IDB_FACE_LIT + 1;

// A bitmap with the memory context it stays selected into: making and freeing a context per draw
// costs more than the blit itself.
struct KeptBitmap {
  HBITMAP bitmap = nullptr;
  HDC dc = nullptr;
  HGDIOBJ old = nullptr;
  BITMAP info{};
};
KeptBitmap osdBitmaps[kOsdBitmapCount];

HBITMAP LoadResourceBitmap(int id) {
  return LoadBitmapA(static_cast<HINSTANCE>(Instance()), MAKEINTRESOURCEA(id));
}

bool Keep(KeptBitmap& kept, int id) {
  kept.bitmap = LoadResourceBitmap(id);
  kept.dc = kept.bitmap ? CreateCompatibleDC(nullptr) : nullptr;
  if (kept.dc == nullptr) {
    if (kept.bitmap != nullptr) DeleteObject(kept.bitmap);
    kept = {};
    return false;
  }
  kept.old = SelectObject(kept.dc, kept.bitmap);
  GetObjectA(kept.bitmap, sizeof kept.info, &kept.info);
  return true;
}

// The kept bitmap of `id`, made now if start-up could not; null for other ids.
const KeptBitmap* Kept(int id) {
  const int slot = id - kFirstOsdBitmap;
  if (slot < 0 || slot >= kOsdBitmapCount) return nullptr;
  KeptBitmap& kept = osdBitmaps[slot];
  if (kept.dc == nullptr && !Keep(kept, id)) return nullptr;
  return &kept;
}

// A resource bitmap in a memory context for the length of one draw: a kept one, or one loaded
// for this draw alone.
class BitmapSource {
 public:
  BitmapSource(HDC target, int id) {
    if (const KeptBitmap* kept = Kept(id)) {
      dc_ = kept->dc;
      info_ = kept->info;
      return;
    }
    own_.bitmap = LoadResourceBitmap(id);
    own_.dc = own_.bitmap ? CreateCompatibleDC(target) : nullptr;
    if (own_.dc == nullptr) return;
    own_.old = SelectObject(own_.dc, own_.bitmap);
    GetObjectA(own_.bitmap, sizeof info_, &info_);
    dc_ = own_.dc;
  }
  ~BitmapSource() {
    if (own_.dc != nullptr) {
      SelectObject(own_.dc, own_.old);
      DeleteDC(own_.dc);
    }
    if (own_.bitmap != nullptr) DeleteObject(own_.bitmap);
  }
  BitmapSource(const BitmapSource&) = delete;
  BitmapSource& operator=(const BitmapSource&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return info_.bmWidth; }
  int height() const { return info_.bmHeight; }

 private:
  KeptBitmap own_;
  HDC dc_ = nullptr;
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

void LoadOsdBitmaps() {
  for (int slot = 0; slot < kOsdBitmapCount; ++slot) Kept(kFirstOsdBitmap + slot);
}

void FreeOsdBitmaps() {
  for (KeptBitmap& kept : osdBitmaps) {
    if (kept.dc != nullptr) {
      SelectObject(kept.dc, kept.old);
      DeleteDC(kept.dc);
    }
    if (kept.bitmap != nullptr) DeleteObject(kept.bitmap);
    kept = {};
  }
}

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
