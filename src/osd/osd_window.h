// The input window as the on-screen layout.
#pragma once

#include <string>

#include "platform/types.h"

namespace bk {

// Turns the new input window into the (hidden) layout, stores the program folder that
// binding-file paths start with and fills the KeyNameTable.
void InitOsd(WindowId window, const std::string& dir);

}  // namespace bk
