// Binding files: one per application, each line naming a remote button and the chord it sends.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "platform/types.h"

namespace bk {

// The keys of one chord, in file order: pressed first to last, released last to first.
using KeySequence = std::vector<KeyValue>;
using BindingMap = std::map<std::string, KeySequence, std::less<>>;

// The bindings of the one application whose file was loaded last.
extern BindingMap AppBindings;

// Reads the binding file at `path` into AppBindings, setting an entry per binding line and
// removing none. False when the file cannot be opened (AppBindings untouched), true otherwise,
// whatever the file holds. A read error ends the file where it happens.
bool LoadBindingFile(std::string path);

// The loader's reading of an open file, to its end or its first read error, in pieces of
// `buffer`'s size (at least 1); lines of any length are put together across them. Does not
// close the file.
void ReadBindings(std::FILE* file, std::span<char> buffer);

// The size of the pieces that LoadBindingFile reads.
inline constexpr std::size_t kBindingReadChunk = 4096;

}  // namespace bk
