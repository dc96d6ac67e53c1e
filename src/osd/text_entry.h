// Text entry on the on-screen layout: the selection named by the taps so far, and the latches of
// the layout's modifier and Caps Lock keys.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace bk {

// The starting values live here alone, for the start and for a reset; each piece is used by its
// own name below.
struct TextEntryState {
  std::string currentSequence;  // the taps so far; empty: nothing selected
  // Each key's sequence to its index in the active layout, rebuilt by SelectLayout.
  std::map<std::string, int, std::less<>> sequenceMap;
  bool shiftActive = false;  // a Shift key of the layout is latched
  bool capsOn = false;       // a Caps Lock key of the layout is latched; TypeKey reads it
};
extern TextEntryState textEntryState;
inline std::string& currentSequence = textEntryState.currentSequence;
inline std::map<std::string, int, std::less<>>& sequenceMap = textEntryState.sequenceMap;
inline bool& shiftActive = textEntryState.shiftActive;
inline bool& capsOn = textEntryState.capsOn;

// How long a selected key waits for another tap of its symbol before it is typed.
inline constexpr unsigned kCommitDelayMs = 1000;

// One tap: "0" to "9", "*", "#", "A" to "E" (Enter) and "X" (Escape). Other characters do nothing.
void PressSymbol(char symbol);
// Extends or restarts the run of taps and acts on the key it selects.
void AddTap(char symbol);
// Types the selected key, if any, then ends the selection and lets latched modifiers up.
void CommitSelection();
// Ends the selection without typing; a running commit timer is left alone.
void ClearSelection();

// Ends the selection, lets latched modifiers up and lets the caps keys follow the system.
void ResetEntry();
// Lets the caps keys' latch follow the system's Caps Lock.
void SyncCapsLock();
// Sets the latch of every caps key of the active layout; sends nothing.
void SetCapsLatch(bool on);
// Toggles (or, with `toggle` false, clears) one key's latch and sends its key.
void SetLatch(int index, bool toggle, bool repaint);
// Unlatches every latched modifier key and lets its key up. Lock keys keep their latch.
void ReleaseModifiers();
// Whether the key at `index` of the active layout shows and types its shifted form.
bool IsShifted(int index);
// Makes `sequence` the selection and moves the selected mark.
void SelectSequence(std::string_view sequence);
// Recomputes shiftActive and capsOn from the latches; repaints every key when they change.
void UpdateModifierState();
// A pointer click on the key at `index` of the active layout.
void KeyClicked(int index);
// WM_COMMAND from one of the layout's buttons: a click on its key. Buttons that name no key of
// the active layout are ignored.
void KeyButtonCommand(WindowId button);
// A key button's pushed state at its repaint: a modifier or lock key toggles on its release.
void TrackKeyPush(int index, bool pushed);

// Puts the text entry back as it is before start-up (for tests).
void ResetTextEntryState();

}  // namespace bk
