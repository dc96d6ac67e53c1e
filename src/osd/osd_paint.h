// Painting of the layout window: the panel, the selection strip and every key. Each operation
// decides what to draw; the canvas draws it.
#pragma once

#include <string_view>

#include "platform/os.h"

namespace bk {

// The program's bitmap resources.
inline constexpr int IDB_FACE_LIT = 101;   // face of a highlighted key
inline constexpr int IDB_EDGE = 102;       // border of a key at rest
inline constexpr int IDB_EDGE_LIT = 103;   // border of a highlighted key
inline constexpr int IDB_PANEL = 104;      // background of the whole window
inline constexpr int IDB_FACE = 105;       // face of a normal key at rest
inline constexpr int IDB_FACE_DARK = 106;  // face of a special or small key; the strip

inline constexpr Colour kLitLabelColour = Rgb(247, 163, 37);   // also the strip's text
inline constexpr Colour kLabelColour = Rgb(238, 238, 238);     // also both bottom lines
inline constexpr Colour kDimLabelColour = Rgb(204, 204, 204);  // also a highlighted key's hint
inline constexpr Colour kHintColour = Rgb(170, 170, 170);
inline constexpr Colour kStripFrameColour = Rgb(119, 119, 119);

inline constexpr std::string_view kLayoutHintLine =
    "Press and hold INPUT on your remote to change key layout.";
// The program's name and version, and its maker's copyright.
std::string_view NoticeLine();

// WM_PAINT: the panel and the two bottom lines.
void PaintOsdBackground(Canvas& canvas);
// WM_DRAWITEM: the strip, or a key button, whichever `item` is.
void PaintOsdItem(Canvas& canvas, WindowId item, const Rect& rect);
void PaintSelectionStrip(Canvas& canvas, const Rect& item);
// One key; a button whose index does not name it in the active layout is left alone.
void PaintKey(Canvas& canvas, WindowId button, const Rect& item);

}  // namespace bk
