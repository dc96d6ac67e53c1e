// The loader's reading of a binding file, shared by the program's own reading (binding_file.cpp)
// and the observed one (binding_file_observed.cpp). Each instantiates it in a translation unit
// of its own, so that the compiler inlines the program's reading exactly as if it were alone.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "bindings/binding_file.h"
#include "bindings/key_names.h"

namespace bk::reading {

// Editors that save "UTF-8 with BOM" put these bytes first. Left in place they would become
// part of the first binding's name, which then silently never matches.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// In text mode the Windows C runtime turns CR LF into LF and ends the file at a Ctrl-Z. Other
// runtimes hand over the bytes as they are, so the loader does both itself there: the two
// builds then read the same bindings from the same file.
#ifdef _WIN32
inline constexpr bool kRuntimeHasTextMode = true;
#else
inline constexpr bool kRuntimeHasTextMode = false;
#endif
inline constexpr char kCtrlZ = '\x1A';

inline void LowerAsciiInPlace(std::string& text) {
  for (char& ch : text) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
}

// One line, without its LF. Blanks are never trimmed: they belong to the name or the token,
// which then matches nothing. `Report` is told what each line means, in file order, as
// BindingFileObserver is.
template <class Report>
void ApplyBindingLine(std::string& line, Report& report) {
  using Kind = BindingFileObserver::LineKind;
  if (line.empty() || line.front() == '#') {
    report.Line(line, line.empty() ? Kind::Empty : Kind::Comment);
    return;
  }
  // Told as it was written; lower-casing moves no "=".
  report.Line(line, line.find('=') == std::string::npos ? Kind::NoEquals : Kind::Binding);
  LowerAsciiInPlace(line);
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos) return;

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
  const std::string_view name = text.substr(0, equals);
  report.Bound(name, keys);
  AppBindings.insert_or_assign(std::string(name), std::move(keys));
}

template <class Report>
void ReadBindingsWith(std::FILE* file, std::span<char> buffer, Report& report) {
  if (buffer.empty()) return;  // nothing could ever be read into it
  std::string line;
  bool firstLine = true;
  const auto takeLine = [&line, &firstLine](Report& to) {
    if (firstLine && line.starts_with(kUtf8ByteOrderMark)) {
      line.erase(0, kUtf8ByteOrderMark.size());
      to.ByteOrderMark();
    }
    firstLine = false;
    ApplyBindingLine(line, to);
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
      takeLine(report);
    }
    line.append(data);
    if (endOfText) break;
  }
  if (!line.empty()) takeLine(report);  // a last line without LF
  report.End(file);
}

// Binding files are opened in text mode, shared with other readers and writers. C stdio rather
// than iostreams: the streams library alone would more than double the size of the executable.
inline std::FILE* OpenBindingFile(const std::string& path) {
  return std::fopen(path.c_str(), "r");
}

}  // namespace bk::reading
