// The two primitives that every key the program sends goes through, and bound chords.
#pragma once

#include <string_view>

#include "platform/types.h"

namespace bk {

// One key going down or up, for the low byte of `key`.
void SendKeyEvent(bool down, KeyValue key);

// One whole keystroke of the low byte of `key`, with Shift made to match bit 8 (and Ctrl+Alt
// held around it when the key value asks for AltGr), all in one SendInput call. Sends nothing
// for kNoKey, the value of a character that no key of the layout makes.
void TypeKey(KeyValue key, bool capsSensitive);

// Plays the chord that the foreground application's binding file binds to the button `name`:
// every key down in file order, then every key up in reverse, one SendInput call per event.
// Nothing is sent when the application has no such binding.
void SendBinding(std::string_view name);

// Whether a keyboard sends `vk` with the E0 prefix. MapVirtualKey gives the navigation keys the
// number pad's scan codes (Left is 0x4B, number-pad 4): only this flag tells them apart, and
// Kodi, mpv and web pages (KeyboardEvent.code) read it. Caps Lock is not one of them.
bool IsExtendedKey(std::uint8_t vk);

// The event for `vk`, as every primitive builds it: scan code from the layout, the extended
// flag as a keyboard sets it, and the program's own marker.
KeyInput MakeKeyEvent(std::uint8_t vk, bool down);

}  // namespace bk
