// The keyboard whose layout the checker reads key values from.
#pragma once

#include "platform/os.h"

namespace bk::check {

// On Windows the system's own, as BkRemote uses it; elsewhere a US English layout.
Keyboard& CheckerKeyboard();

}  // namespace bk::check
