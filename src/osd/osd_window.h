// The input window as the on-screen layout.
#pragma once

#include <string>

#include "platform/types.h"

namespace bk {

// Turns the new input window into the (hidden) layout and stores the program folder that
// binding-file paths start with.
void InitOsd(WindowId window, const std::string& dir);

}  // namespace bk
