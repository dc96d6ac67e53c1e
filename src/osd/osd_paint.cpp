#include "osd/osd_paint.h"

#include "bk_version.h"
#include "osd/osd_window.h"
#include "osd/text_entry.h"
#include "state/program_state.h"

namespace bk {

std::string_view NoticeLine() {
  return BK_PRODUCT_NAME " " BK_VERSION_STRING "  " BK_COPYRIGHT;
}

void PaintOsdBackground(Canvas& canvas) {
  canvas.Blit(IDB_PANEL, 0, 0);
  canvas.Text(4, 286, kLayoutHintLine, noticeFont, kLabelColour, TextAlign::LeftTop);
  canvas.Text(796, 286, NoticeLine(), noticeFont, kLabelColour, TextAlign::RightTop);
}

void PaintOsdItem(Canvas& canvas, WindowId item, const Rect& rect) {
  if (item != 0 && item == selectionStrip) {
    PaintSelectionStrip(canvas, rect);
  } else {
    PaintKey(canvas, item, rect);
  }
}

void PaintSelectionStrip(Canvas& canvas, const Rect& item) {
  canvas.Stretch(IDB_FACE_DARK, {0, 0, item.right - item.left, item.bottom - item.top});
  canvas.Frame(item, kStripFrameColour);
  std::string_view text;
  const auto found = sequenceMap.find(currentSequence);
  if (found != sequenceMap.end()) {
    if (const LayoutKey* key = ActiveKey(found->second)) {
      text = IsShifted(found->second) ? key->shiftLabel : key->label;
    }
  }
  canvas.Text((item.left + item.right) / 2, item.top, text, labelFont, kLitLabelColour,
              TextAlign::CenterTop);
}

void PaintKey(Canvas& canvas, WindowId button, const Rect& item) {
  LayoutWindow& windows = *os().layoutWindow;
  const std::optional<int> index = KeyIndexOfButton(button, windows.UserData(button));
  if (!index) return;
  const int i = *index;
  const LayoutKey& key = activeLayout[i];
  const std::string_view label = IsShifted(i) ? key.shiftLabel : key.label;

  const std::uint32_t state = windows.ButtonState(button);
  // A modifier or lock key may latch here, on its release, before the colours are chosen.
  TrackKeyPush(i, (state & kBstPushed) != 0);

  const bool dark = key.style == KeyStyle::special || key.style == KeyStyle::small;
  const bool lit = (state & (kBstHot | kBstPushed)) != 0 || key.latched != 0 || key.selected != 0;
  const Colour labelColour = lit ? kLitLabelColour : dark ? kDimLabelColour : kLabelColour;
  const Colour hintColour = lit ? kDimLabelColour : kHintColour;
  const int edge = lit ? IDB_EDGE_LIT : IDB_EDGE;
  const int face = lit ? IDB_FACE_LIT : dark ? IDB_FACE_DARK : IDB_FACE;

  const int w = item.right - item.left;
  const int h = item.bottom - item.top;
  // The edge shows as a 1-pixel frame around the face.
  canvas.Stretch(edge, {0, 0, w, h});
  canvas.Stretch(face, {1, 1, w - 1, h - 1});

  const FontHandle labelFace = key.style == KeyStyle::small ? smallLabelFont : labelFont;
  canvas.Text(item.left + w / 2, item.top, label, labelFace, labelColour, TextAlign::CenterTop);
  if (!key.hint.empty()) {
    canvas.Text(item.left + w / 2, item.top + h / 2 + 2, key.hint, smallLabelFont, hintColour,
                TextAlign::CenterTop);
  }
}

}  // namespace bk
