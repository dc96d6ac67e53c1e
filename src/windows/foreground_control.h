// Acting on the foreground window: minimise it and bring the next one forward, or maximise and
// restore it.
#pragma once

#include <cstddef>

#include "platform/types.h"

namespace bk {

// The walk over the Z order gives up after this many windows: windows that move while it runs
// could otherwise keep it going for ever.
inline constexpr std::size_t kMaxCandidateWalk = 10000;

// Button C (maximise true): maximise the foreground window, or restore it when it is maximised
// or minimised. Button B (false): minimise it and bring the next suitable window forward.
void ForegroundWindowAction(bool maximise);

// The topmost window below the desktop that B may bring forward in place of `foreground`, or 0.
WindowId FindActivationCandidate(WindowId foreground);

// Brings `target` to the foreground with the keyboard focus, escalating when the system refuses.
void ForceForeground(WindowId target);

// The fixed series of activation calls on `target`, results ignored.
void ActivationBurst(WindowId target);

}  // namespace bk
