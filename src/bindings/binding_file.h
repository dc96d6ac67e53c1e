// Binding files: one per application, each line naming a remote button and the chord it sends.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
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

// Told what the loader makes of each line as it reads, for tools that explain a file to the
// person who wrote it. The program reads without one; the reading is the same.
class BindingFileObserver {
 public:
  enum class LineKind { Empty, Comment, NoEquals, Binding };

  virtual ~BindingFileObserver() = default;
  // Every line, numbered from 1, as the loader sees it before lower-casing: without its LF, the
  // CR of a CR LF pair or a leading byte-order mark.
  virtual void Line(std::size_t number, std::string_view text, LineKind kind) = 0;
  // A binding line's tokens in order, lower-cased; `key` is null for a token that is dropped.
  virtual void Token(std::string_view token, const KeyValue* key) = 0;
  // The entry that a binding line then sets in AppBindings.
  virtual void Bound(std::string_view name, const KeySequence& keys) = 0;
  // The first line began with a byte-order mark, which the loader skipped.
  virtual void ByteOrderMark() {}
  // The reading stopped at a read error rather than at the end of the file.
  virtual void ReadError() {}
};

// As above, telling `observer` what each line means.
bool LoadBindingFile(std::string path, BindingFileObserver& observer);
void ReadBindings(std::FILE* file, std::span<char> buffer, BindingFileObserver& observer);

// The size of the pieces that LoadBindingFile reads.
inline constexpr std::size_t kBindingReadChunk = 4096;

}  // namespace bk
