#include "osd/text_entry.h"

#include "bindings/key_injection.h"
#include "osd/layout_tables.h"
#include "osd/osd_window.h"
#include "platform/os.h"

namespace bk {

std::string currentSequence;
std::map<std::string, int, std::less<>> sequenceMap;
bool shiftActive = false;
bool capsOn = false;

namespace {

LayoutKey* KeyOfSequence(std::string_view sequence) {
  const auto found = sequenceMap.find(sequence);
  return found == sequenceMap.end() ? nullptr : ActiveKey(found->second);
}

}  // namespace

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
  currentSequence.clear();
  sequenceMap.clear();
  shiftActive = false;
  capsOn = false;
}

}  // namespace bk
