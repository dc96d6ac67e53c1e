// What an application makes of a stream of key events on a US English keyboard: characters as
// they would be typed, and other keys and chords in angle brackets ("<enter>", "<ctrl+a>").
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace bk::fake {

// `capsLock` is the Caps Lock toggle before the first event; Caps Lock keys in the stream
// toggle it. Key releases and modifiers alone type nothing.
std::string TypedText(const std::vector<KeyInput>& events, bool capsLock = false);

}  // namespace bk::fake
