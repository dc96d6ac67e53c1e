// The two primitives that every key the program sends goes through, and bound chords.
#pragma once

#include <string_view>

#include "platform/types.h"

namespace bk {

// One key going down or up, for the low byte of `key`.
void SendKeyEvent(bool down, KeyValue key);

// One whole keystroke of the low byte of `key`, with Shift made to match bit 8 (and Ctrl+Alt
// held around it when the key value asks for AltGr), all in one SendInput call.
void TypeKey(KeyValue key, bool capsSensitive);

// The event for `vk`, as every primitive builds it: scan code from the layout, the extended
// flag for Caps Lock only, and the program's own marker.
KeyInput MakeKeyEvent(std::uint8_t vk, bool down);

}  // namespace bk
