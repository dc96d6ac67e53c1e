#include "bindings/binding_file.h"

#include "bindings/binding_file_reading.h"

namespace bk {

BindingMap AppBindings;

namespace {

// The program's own reading tells no one; every call on it compiles to nothing.
struct Unobserved {
  void Line(std::string_view, BindingFileObserver::LineKind) {}
  void Token(std::string_view, const KeyValue*) {}
  void Bound(std::string_view, const KeySequence&) {}
  void ByteOrderMark() {}
  void End(std::FILE*) {}
};

}  // namespace

bool LoadBindingFile(std::string path) {
  std::FILE* file = reading::OpenBindingFile(path);
  if (file == nullptr) return false;
  char buffer[kBindingReadChunk];
  ReadBindings(file, buffer);
  std::fclose(file);
  return true;
}

void ReadBindings(std::FILE* file, std::span<char> buffer) {
  Unobserved silent;
  reading::ReadBindingsWith(file, buffer, silent);
}

}  // namespace bk
