#include "osd/osd_window.h"

#include "bindings/key_names.h"
#include "osd/keyboard_hook.h"
#include "osd/text_entry.h"
#include "platform/os.h"
#include "state/program_state.h"

namespace bk {

LayoutKey* activeLayout = nullptr;
int fadeAlpha = 0;
WindowId selectionStrip = 0;

namespace {

int activeKeyCount = 0;

LayoutWindow& Layout() {
  return *os().layoutWindow;
}

}  // namespace

LayoutKey* ActiveKey(int index) {
  if (activeLayout == nullptr || index < 0 || index >= activeKeyCount) return nullptr;
  return &activeLayout[index];
}

std::optional<int> KeyIndexOfButton(WindowId button, std::intptr_t userData) {
  // A button of the hidden layout may carry an index that lies past the active layout's end,
  // or one that names a different key of it.
  if (button == 0 || userData < 0 || userData >= activeKeyCount) return std::nullopt;
  const int index = static_cast<int>(userData);
  if (activeLayout[index].button != button) return std::nullopt;
  return index;
}

void InvalidateWindow(WindowId window) {
  // InvalidateRect with no window would repaint every window of the desktop.
  if (window != 0) Layout().Invalidate(window, nullptr, false);
}

void InitOsd(WindowId window, const std::string& dir) {
  inputWindow = window;
  programDir = dir;
  Layout().SetExStyle(window, kLayeredExStyle);
  Layout().SetAlpha(window, 0);
  CreateKeyButtons(keyboardLayout.data());
  CreateKeyButtons(phonepadLayout.data());
  SelectLayout(keyboardLayout.data());
  selectionStrip = Layout().CreateChild({"STATIC", kStripStyle, 25, 10, 750, 25, window});
}

void CreateKeyButtons(LayoutKey* layout) {
  LayoutWindow& windows = Layout();
  Keyboard& keyboard = *os().keyboard;
  const std::uint32_t style = layout == keyboardLayout.data() ? kVisibleKeyStyle : kHiddenKeyStyle;
  for (int i = 0; layout[i].width != 0; ++i) {
    LayoutKey& key = layout[i];
    // Casts truncate toward zero, as the geometry asks.
    key.button =
        windows.CreateChild({"BUTTON", style, static_cast<int>(key.x + kLayoutOrigin),
                             static_cast<int>(key.y + kLayoutOrigin), static_cast<int>(key.width),
                             static_cast<int>(key.height), inputWindow});
    key.selected = key.latched = key.pushed = 0;
    if (key.ch != 0) key.vk = keyboard.KeyForChar(key.ch);
    if (key.shiftCh != 0) key.shiftVk = keyboard.KeyForChar(key.shiftCh);
    if (key.button == 0) continue;
    windows.SetUserData(key.button, i);
    windows.SetClassBackgroundBlack(key.button);
  }
  // The binding files' vocabulary, from the same VkKeyScanA values as the keys.
  BuildKeyNameTable();
}

void SelectLayout(LayoutKey* layout) {
  WindowControl& windows = *os().windows;
  if (activeLayout != nullptr) {
    ResetEntry();
    for (int i = 0; LayoutKey* key = ActiveKey(i); ++i) {
      if (key->button != 0) windows.Show(key->button, sw::Hide);
    }
  }
  activeLayout = layout;
  activeKeyCount = KeyCount(layout);
  sequenceMap.clear();
  for (int i = 0; LayoutKey* key = ActiveKey(i); ++i) {
    // A later key with the same sequence replaces an earlier one.
    sequenceMap.insert_or_assign(std::string(key->sequence), i);
    if (key->button != 0) windows.Show(key->button, sw::Show);
  }
  SelectSequence({});
  ReleaseModifiers();
  SyncCapsLock();
}

void SyncOsdVisibility() {
  // WM_CREATE arrives before InitOsd has named the window.
  if (inputWindow == 0) return;
  Layout().MakeTopmost(inputWindow, kOsdWidth, kOsdHeight);
  PlaceOsd();
  const bool visible = os().desktop->IsVisible(inputWindow);
  if (visible && !layoutShown) {
    layoutShown = true;
    keyboardHook = os().hook->Install();
    // A key released while the hook was out would leave the number pad waiting for it.
    StartHookState();
    ResetEntry();
    fadeAlpha = 0;
    os().timers->Start(TIMER_FADE, kFadePeriodMs);
  } else if (!visible && layoutShown) {
    // What lay under the layout is repainted.
    Rect rect;
    if (Layout().WindowRect(inputWindow, &rect)) {
      Layout().Invalidate(os().desktop->DesktopWindow(), &rect, false);
    }
    if (keyboardHook != 0) {
      os().hook->Remove(keyboardHook);
      keyboardHook = 0;
    }
    layoutShown = false;
    ResetEntry();
    fadeAlpha = 0;
    // Layered first: a fully shown window is not layered, and would refuse the alpha.
    Layout().SetExStyle(inputWindow, kLayeredExStyle);
    Layout().SetAlpha(inputWindow, 0);
    os().timers->Stop(TIMER_FADE);
  }
}

void PlaceOsd() {
  const int cx = Layout().SystemMetric(kSmCxFullScreen);
  const int cy = Layout().SystemMetric(kSmCyFullScreen);
  Rect rect;
  if (!Layout().WindowRect(inputWindow, &rect)) return;
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  Layout().Move(inputWindow, cx / 2 - w / 2, cy - h - kOsdBottomGap, w, h, false);
}

void FadeInStep() {
  fadeAlpha += kFadeStep;
  if (fadeAlpha < 255) {
    Layout().SetAlpha(inputWindow, static_cast<std::uint8_t>(fadeAlpha));
    return;
  }
  Layout().SetAlpha(inputWindow, 255);
  Layout().SetExStyle(inputWindow, kShownExStyle);
  fadeAlpha = 255;
  os().timers->Stop(TIMER_FADE);
}

void SetLayoutVisible(bool show) {
  if (show == layoutShown) return;
  os().windows->Show(inputWindow, show ? sw::ShowNoActivate : sw::Hide);
  SyncOsdVisibility();
}

void ResetOsdState() {
  activeLayout = nullptr;
  activeKeyCount = 0;
  fadeAlpha = 0;
  selectionStrip = 0;
  RestoreLayoutTables();
  ResetTextEntryState();
  ResetKeyboardHookState();
}

}  // namespace bk
