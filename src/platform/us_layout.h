// VkKeyScanA as a US English keyboard layout answers it, for builds without the real call.
#pragma once

#include "platform/types.h"

namespace bk {

// The key that makes `ch` on a US English keyboard, with the Shift bit when Shift is needed;
// kNoKey for a character that no key makes.
KeyValue UsLayoutKeyForChar(char ch);

}  // namespace bk
