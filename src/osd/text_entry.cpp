#include "osd/text_entry.h"

#include "bindings/key_injection.h"
#include "osd/layout_tables.h"
#include "osd/osd_window.h"
#include "platform/os.h"

namespace bk {

TextEntryState textEntryState;

namespace {

LayoutKey* KeyOfSequence(std::string_view sequence) {
  const auto found = sequenceMap.find(sequence);
  return found == sequenceMap.end() ? nullptr : ActiveKey(found->second);
}

bool IsTapSymbol(char symbol) {
  return (symbol >= '0' && symbol <= '9') || (symbol >= 'A' && symbol <= 'E') || symbol == '*' ||
         symbol == '#';
}

// Types one key of the active layout in the form that the latches and Caps Lock give it. A key
// without a key value types its label, character by character, as it reads.
void TypeLayoutKey(int index) {
  const LayoutKey* key = ActiveKey(index);
  if (key == nullptr) return;
  const KeyValue value = IsShifted(index) ? key->shiftVk : key->vk;
  if (value != 0) {
    TypeKey(value, key->capsAffects != 0);
    return;
  }
  for (char ch : key->label) TypeKey(os().keyboard->KeyForChar(ch), false);
}

// What follows every typed key: the selection ends, and a latched modifier, which applies to one
// key only, is let up.
void EndAfterTyping() {
  SelectSequence({});
  ReleaseModifiers();
  SyncCapsLock();
}

}  // namespace

void PressSymbol(char symbol) {
  if (symbol == 'X') {
    // Escape drops a waiting key; with nothing waiting it is the back key's tap.
    if (!currentSequence.empty()) {
      ClearSelection();
    } else {
      AddTap('X');
    }
    return;
  }
  if (IsTapSymbol(symbol)) AddTap(symbol);
}

void AddTap(char symbol) {
  std::string run = currentSequence;
  // Another symbol types the waiting key first.
  if (!run.empty() && run.front() != symbol) CommitSelection();
  run.push_back(symbol);
  // Past the last key of its cycle a run starts again at the first.
  if (sequenceMap.find(run) == sequenceMap.end()) run.assign(1, symbol);
  const auto found = sequenceMap.find(run);
  if (found == sequenceMap.end()) return;  // this layout has no key for the symbol
  const int index = found->second;
  const LayoutKey* key = ActiveKey(index);
  if (key == nullptr) return;
  Timers& timers = *os().timers;
  switch (key->kind) {
    case KeyKind::character:
      SelectSequence(run);
      timers.Start(TIMER_COMMIT, kCommitDelayMs);
      break;
    case KeyKind::immediate:
      timers.Stop(TIMER_COMMIT);
      SelectSequence(run);
      CommitSelection();
      break;
    case KeyKind::modifier:
    case KeyKind::lock:
      timers.Stop(TIMER_COMMIT);
      SetLatch(index, true, true);
      ClearSelection();
      break;
    case KeyKind::close:
    default:
      break;  // only a click closes the layout
  }
}

void CommitSelection() {
  const auto found = sequenceMap.find(currentSequence);
  if (found != sequenceMap.end()) TypeLayoutKey(found->second);
  EndAfterTyping();
}

void ClearSelection() {
  SelectSequence({});
}

void ResetEntry() {
  SelectSequence({});
  ReleaseModifiers();
  SyncCapsLock();
}

void SyncCapsLock() {
  const bool on = os().keyboard->KeyToggled(vk::Capital);
  if (on != capsOn) SetCapsLatch(on);
}

void SetCapsLatch(bool on) {
  for (int i = 0; LayoutKey* key = ActiveKey(i); ++i) {
    if (key->vk == vk::Capital) key->latched = on;
  }
  UpdateModifierState();
}

void SetLatch(int index, bool toggle, bool repaint) {
  LayoutKey* key = ActiveKey(index);
  if (key == nullptr) return;
  const bool old = key->latched != 0;
  const bool now = toggle && !old;
  key->latched = now;
  if (now == old) return;
  if (repaint) InvalidateWindow(key->button);
  if (key->kind == KeyKind::modifier) {
    SendKeyEvent(now, key->vk);
  } else if (key->kind == KeyKind::lock) {
    TypeKey(key->vk, false);
  }
  UpdateModifierState();
}

void ReleaseModifiers() {
  for (int i = 0; LayoutKey* key = ActiveKey(i); ++i) {
    if (key->kind != KeyKind::modifier || key->latched == 0) continue;
    key->latched = 0;
    InvalidateWindow(key->button);
    SendKeyEvent(false, key->vk);
    UpdateModifierState();
  }
  UpdateModifierState();
}

bool IsShifted(int index) {
  const LayoutKey* key = ActiveKey(index);
  if (key == nullptr) return false;
  return shiftActive != (key->capsAffects != 0 && capsOn);
}

void SelectSequence(std::string_view sequence) {
  if (sequence == currentSequence) return;
  if (LayoutKey* old = KeyOfSequence(currentSequence)) {
    old->selected = 0;
    InvalidateWindow(old->button);
  }
  currentSequence = sequence;
  if (LayoutKey* now = KeyOfSequence(currentSequence)) {
    now->selected = 1;
    InvalidateWindow(now->button);
  }
  InvalidateWindow(selectionStrip);
}

void UpdateModifierState() {
  bool shift = false;
  bool caps = false;
  for (int i = 0; const LayoutKey* key = ActiveKey(i); ++i) {
    if (key->latched == 0) continue;
    if (key->vk == vk::LShift || key->vk == vk::RShift) shift = true;
    if (key->vk == vk::Capital) caps = true;
  }
  if (shift == shiftActive && caps == capsOn) return;
  shiftActive = shift;
  capsOn = caps;
  // Every label switches between its two forms.
  for (int i = 0; const LayoutKey* key = ActiveKey(i); ++i) InvalidateWindow(key->button);
}

void KeyClicked(int index) {
  ClearSelection();  // a waiting key is dropped, not typed
  const LayoutKey* key = ActiveKey(index);
  if (key == nullptr) return;
  switch (key->kind) {
    case KeyKind::character:
    case KeyKind::immediate:
      os().timers->Stop(TIMER_COMMIT);
      // The clicked key itself: keys that share a placeholder sequence each type their own.
      TypeLayoutKey(index);
      EndAfterTyping();
      break;
    case KeyKind::close:
      SetLayoutVisible(false);
      ResetEntry();
      break;
    case KeyKind::modifier:
    case KeyKind::lock:
    default:
      break;  // modifiers and locks toggle when the pointer lets go (TrackKeyPush)
  }
}

void KeyButtonCommand(WindowId button) {
  if (button == 0) return;  // a menu or an accelerator, not a button
  const std::optional<int> index = KeyIndexOfButton(button, os().layoutWindow->UserData(button));
  if (index) KeyClicked(*index);
}

void TrackKeyPush(int index, bool pushed) {
  LayoutKey* key = ActiveKey(index);
  if (key == nullptr) return;
  if (pushed) {
    key->pushed = 1;
    return;
  }
  if (key->pushed != 0 && (key->kind == KeyKind::modifier || key->kind == KeyKind::lock)) {
    os().timers->Stop(TIMER_COMMIT);
    // The button is being painted: no invalidation.
    SetLatch(index, true, false);
  }
  key->pushed = 0;
}

void ResetTextEntryState() {
  textEntryState = {};
}

}  // namespace bk
