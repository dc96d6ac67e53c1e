// The loader's reading with an observer, for the binding-file checker.
#include "bindings/binding_file.h"
#include "bindings/binding_file_reading.h"

namespace bk {

namespace {

struct Observed {
  BindingFileObserver& observer;
  std::size_t lines = 0;
  void Line(std::string_view text, BindingFileObserver::LineKind kind) {
    observer.Line(++lines, text, kind);
  }
  void Token(std::string_view token, const KeyValue* key) { observer.Token(token, key); }
  void Bound(std::string_view name, const KeySequence& keys) { observer.Bound(name, keys); }
  void ByteOrderMark() { observer.ByteOrderMark(); }
  void End(std::FILE* file) {
    if (std::ferror(file) != 0) observer.ReadError();
  }
};

}  // namespace

bool LoadBindingFile(std::string path, BindingFileObserver& observer) {
  std::FILE* file = reading::OpenBindingFile(path);
  if (file == nullptr) return false;
  char buffer[kBindingReadChunk];
  ReadBindings(file, buffer, observer);
  std::fclose(file);
  return true;
}

void ReadBindings(std::FILE* file, std::span<char> buffer, BindingFileObserver& observer) {
  Observed observed{observer};
  reading::ReadBindingsWith(file, buffer, observed);
}

}  // namespace bk
