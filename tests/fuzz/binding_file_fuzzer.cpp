// Feeds arbitrary bytes to LoadBindingFile as a real file and checks the result against a
// plain, whole-buffer reading of the same grammar. That comparison catches what the loader's
// piecewise reading could get wrong: lines, CR LF pairs or a byte-order mark split across
// reads, NUL bytes, and lines longer than one read. Each input is read twice: by
// LoadBindingFile itself, and in small pieces whose size follows from the input's length, so
// that the edges between reads fall everywhere without inputs of many kilobytes. The checker
// reads it a third time, through the loader's observer, and must find the same bindings.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/binding_file.h"
#include "bindings/key_names.h"
#include "check/binding_check.h"
#include "fake/fake_os.h"

namespace {

void ReferenceLine(std::string line, bk::BindingMap& bindings) {
  if (line.empty() || line[0] == '#') return;
  for (char& ch : line) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
  }
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos) return;
  bk::KeySequence keys;
  std::size_t start = equals + 1;
  for (;;) {
    const std::size_t plus = line.find('+', start);
    const std::string token =
        line.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
    if (bk::KeyNameTable.count(token) != 0) keys.push_back(bk::KeyNameTable.at(token));
    if (plus == std::string::npos) break;
    start = plus + 1;
  }
  bindings[line.substr(0, equals)] = keys;
}

bk::BindingMap Reference(std::string_view text) {
  text = text.substr(0, text.find('\x1A'));  // text mode ends the file at a Ctrl-Z
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  bk::BindingMap bindings;
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    std::string line(text.substr(0, lf));
    if (lf == std::string_view::npos) {
      text = {};
    } else {
      text.remove_prefix(lf + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
    }
    ReferenceLine(std::move(line), bindings);
  }
  return bindings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bk::fake::FakeOs machine;  // a US English keyboard layout for the key names
  static const bk::KeyNameMap table = (bk::BuildKeyNameTable(), bk::KeyNameTable);
  static const std::string path = (std::filesystem::temp_directory_path() /
                                   ("bk-binding-fuzz-" + std::to_string(getpid()) + ".cfg"))
                                      .string();

  const std::string text(reinterpret_cast<const char*>(data), size);

  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) std::abort();
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), out) != text.size()) std::abort();
  std::fclose(out);

  const bk::BindingMap expected = Reference(text);
  bk::AppBindings.clear();
  if (!bk::LoadBindingFile(path)) std::abort();
  if (bk::AppBindings != expected) std::abort();

  std::vector<char> piece(1 + size % 13);
  std::FILE* in = std::fopen(path.c_str(), "r");
  if (in == nullptr) std::abort();
  bk::AppBindings.clear();
  bk::ReadBindings(in, piece);
  std::fclose(in);
  if (bk::AppBindings != expected) std::abort();
  if (bk::check::CheckBindingFile(path).bindings != expected) std::abort();
  if (bk::AppBindings != expected) std::abort();  // the checker puts the program's table back
  if (bk::KeyNameTable != table) std::abort();    // the loader only reads the table
  return 0;
}
