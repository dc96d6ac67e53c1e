#include "bindings/binding_file.h"

#include <cstdio>
#include <string_view>
#include <utility>

#include "bindings/key_names.h"

namespace bk {

BindingMap AppBindings;

namespace {

// Editors that save "UTF-8 with BOM" put these bytes first. Left in place they would become
// part of the first binding's name, which then silently never matches.
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// In text mode the Windows C runtime turns CR LF into LF and ends the file at a Ctrl-Z. Other
// runtimes hand over the bytes as they are, so the loader does both itself there: the two
// builds then read the same bindings from the same file.
#ifdef _WIN32
constexpr bool kRuntimeHasTextMode = true;
#else
constexpr bool kRuntimeHasTextMode = false;
#endif
constexpr char kCtrlZ = '\x1A';

void LowerAsciiInPlace(std::string& text) {
  for (char& ch : text) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
}

// The program's own reading tells no one; every call on it compiles to nothing.
struct Unobserved {
  void Line(std::size_t, std::string_view, BindingFileObserver::LineKind) {}
  void Token(std::string_view, const KeyValue*) {}
  void Bound(std::string_view, const KeySequence&) {}
  void ByteOrderMark() {}
  void End(std::FILE*) {}
};

struct Observed {
  BindingFileObserver& observer;
  void Line(std::size_t number, std::string_view text, BindingFileObserver::LineKind kind) {
    observer.Line(number, text, kind);
  }
  void Token(std::string_view token, const KeyValue* key) { observer.Token(token, key); }
  void Bound(std::string_view name, const KeySequence& keys) { observer.Bound(name, keys); }
  void ByteOrderMark() { observer.ByteOrderMark(); }
  void End(std::FILE* file) {
    if (std::ferror(file) != 0) observer.ReadError();
  }
};

// One line, without its LF. Blanks are never trimmed: they belong to the name or the token,
// which then matches nothing.
template <class Report>
void ApplyBindingLine(std::string& line, std::size_t number, Report& report) {
  using Kind = BindingFileObserver::LineKind;
  if (line.empty() || line.front() == '#') {
    report.Line(number, line, line.empty() ? Kind::Empty : Kind::Comment);
    return;
  }
  // Lower-casing moves no "=", so the line can be told as it was written.
  const std::size_t equals = line.find('=');
  report.Line(number, line, equals == std::string::npos ? Kind::NoEquals : Kind::Binding);
  if (equals == std::string::npos) return;
  LowerAsciiInPlace(line);

  const std::string_view text(line);
  KeySequence keys;
  std::string_view rest = text.substr(equals + 1);
  for (;;) {
    const std::size_t plus = rest.find('+');
    const std::string_view token = rest.substr(0, plus);
    const auto key = KeyNameTable.find(token);
    const bool named = key != KeyNameTable.end();
    if (named) keys.push_back(key->second);
    report.Token(token, named ? &key->second : nullptr);
    if (plus == std::string_view::npos) break;
    rest.remove_prefix(plus + 1);
  }
  report.Bound(text.substr(0, equals), keys);
  AppBindings.insert_or_assign(std::string(text.substr(0, equals)), std::move(keys));
}

template <class Report>
void ReadBindingsWith(std::FILE* file, std::span<char> buffer, Report& report) {
  if (buffer.empty()) return;  // nothing could ever be read into it
  std::string line;
  std::size_t number = 0;
  const auto takeLine = [&] {
    if (number == 0 && line.starts_with(kUtf8ByteOrderMark)) {
      line.erase(0, kUtf8ByteOrderMark.size());
      report.ByteOrderMark();
    }
    ApplyBindingLine(line, ++number, report);
    line.clear();
  };

  for (;;) {
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
    std::string_view data(buffer.data(), got);
    bool endOfText = got < buffer.size();  // the end of the file, or a read error, which ends it
    if (!kRuntimeHasTextMode) {
      const std::size_t ctrlZ = data.find(kCtrlZ);
      if (ctrlZ != std::string_view::npos) {
        data = data.substr(0, ctrlZ);
        endOfText = true;
      }
    }
    for (std::size_t lf = data.find('\n'); lf != std::string_view::npos; lf = data.find('\n')) {
      line.append(data.substr(0, lf));
      data.remove_prefix(lf + 1);
      if (!kRuntimeHasTextMode && !line.empty() && line.back() == '\r') line.pop_back();
      takeLine();
    }
    line.append(data);
    if (endOfText) break;
  }
  if (!line.empty()) takeLine();  // a last line without LF
  report.End(file);
}

template <class Report>
bool LoadBindingFileWith(const std::string& path, Report& report) {
  // C stdio rather than iostreams: the streams library alone would more than double the size
  // of the executable.
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) return false;
  char buffer[kBindingReadChunk];
  ReadBindingsWith(file, buffer, report);
  std::fclose(file);
  return true;
}

}  // namespace

bool LoadBindingFile(std::string path) {
  Unobserved silent;
  return LoadBindingFileWith(path, silent);
}

void ReadBindings(std::FILE* file, std::span<char> buffer) {
  Unobserved silent;
  ReadBindingsWith(file, buffer, silent);
}

bool LoadBindingFile(std::string path, BindingFileObserver& observer) {
  Observed observed{observer};
  return LoadBindingFileWith(path, observed);
}

void ReadBindings(std::FILE* file, std::span<char> buffer, BindingFileObserver& observer) {
  Observed observed{observer};
  ReadBindingsWith(file, buffer, observed);
}

}  // namespace bk
