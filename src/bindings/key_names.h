// The vocabulary of binding files: key name -> the key that is sent for it.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "platform/types.h"

namespace bk {

// Ordered by name, compared bytewise; std::less<> lets lookups use a string_view of the file's
// text without building a string for every token.
using KeyNameMap = std::map<std::string, KeyValue, std::less<>>;

// The one table of the process: empty until start-up fills it, only read afterwards.
extern KeyNameMap KeyNameTable;

// Writes the 93 names by assignment, so that a second call rewrites the same values. The
// layout-dependent entries come from VkKeyScanA of the calling thread's keyboard layout.
void BuildKeyNameTable();

}  // namespace bk
