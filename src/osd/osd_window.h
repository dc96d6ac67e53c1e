// The input window as the on-screen layout: its buttons, the active layout, placement, showing,
// hiding and the fade-in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "osd/layout_tables.h"
#include "platform/os.h"
#include "platform/types.h"

namespace bk {

extern LayoutKey* activeLayout;  // the layout whose buttons are shown; null before start-up
extern int fadeAlpha;            // the alpha last applied by the fade-in, 0 to 255
extern WindowId selectionStrip;  // the strip across the top that shows the selected key

// Size of the layout window, and where layout point (0, 0) lies in it.
inline constexpr int kOsdWidth = 800;
inline constexpr int kOsdHeight = 300;
inline constexpr int kLayoutOrigin = 15;
inline constexpr int kOsdBottomGap = 5;
inline constexpr unsigned kFadePeriodMs = 5;
inline constexpr int kFadeStep = 25;
// Hidden and fading: never activated, layered. Shown: never activated, an ordinary window.
inline constexpr std::uint32_t kLayeredExStyle = ws::ExNoActivate | ws::ExLayered;
inline constexpr std::uint32_t kShownExStyle = ws::ExNoActivate;
inline constexpr std::uint32_t kButtonOwnerDraw = 0x0000000B;  // BS_OWNERDRAW
inline constexpr std::uint32_t kStaticOwnerDraw = 0x0000000D;  // SS_OWNERDRAW
inline constexpr std::uint32_t kHiddenKeyStyle = ws::Child | kButtonOwnerDraw;
inline constexpr std::uint32_t kVisibleKeyStyle = kHiddenKeyStyle | ws::Visible;
inline constexpr std::uint32_t kStripStyle = ws::Child | ws::Visible | kStaticOwnerDraw;

// Turns the new input window into the hidden layout window: layered and transparent, the buttons
// of both layouts, keyboardLayout active, the selection strip. Stores the program folder that
// binding-file paths start with.
void InitOsd(WindowId window, const std::string& dir);
// One owner-drawn button per key, shown only for keyboardLayout; completes vk and shiftVk.
void CreateKeyButtons(LayoutKey* layout);
// Makes `layout` the active one: swaps the buttons, rebuilds sequenceMap, resets the entry.
void SelectLayout(LayoutKey* layout);
// Re-places the window and enters or leaves the layout mode to match the window's visibility.
void SyncOsdVisibility();
// Bottom-centres the window on the primary screen.
void PlaceOsd();
// One TIMER_FADE expiry.
void FadeInStep();
// Shows or hides the layout.
void SetLayoutVisible(bool show);

// The key of the active layout at `index`, or null when the index lies outside it. Walks that
// count up from 0 stop at the first null.
LayoutKey* ActiveKey(int index);
// The index of the key whose button is `button`, from that button's user data: only when the
// index lies inside the active layout and that key's button is the very same window.
std::optional<int> KeyIndexOfButton(WindowId button, std::intptr_t userData);
// Asks for a repaint of one of the layout's windows; a window that was never made is skipped.
void InvalidateWindow(WindowId window);

// Puts the layout window's state, both tables and the text entry back as they are before
// start-up (for tests).
void ResetOsdState();

}  // namespace bk
