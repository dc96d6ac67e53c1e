// Feeds arbitrary bytes to LoadBindingFile as a real file, and reads them again in small pieces
// whose size follows from the input's length, so that the edges between reads fall everywhere
// without inputs of many kilobytes: lines, CR LF pairs, a byte-order mark or a Ctrl-Z split across
// reads, NUL bytes and lines longer than one read must give the same bindings as the loader's
// large reads. The checker reads it a third time, through the loader's observer, and must find
// the same bindings and leave the program's own as they were. What the grammar means is pinned by
// the unit tests; here every reading must agree, under the sanitizers.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bindings/binding_file.h"
#include "bindings/key_names.h"
#include "check/binding_check.h"
#include "fake/fake_os.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bk::fake::FakeOs machine;  // a US English keyboard layout for the key names
  static const bk::KeyNameMap table = (bk::BuildKeyNameTable(), bk::KeyNameTable);
  static const std::string path = (std::filesystem::temp_directory_path() /
                                   ("bk-binding-fuzz-" + std::to_string(getpid()) + ".cfg"))
                                      .string();

  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr || std::fwrite(data, 1, size, out) != size) std::abort();
  std::fclose(out);

  bk::AppBindings.clear();
  if (!bk::LoadBindingFile(path)) std::abort();
  const bk::BindingMap whole = bk::AppBindings;

  std::vector<char> piece(1 + size % 13);
  std::FILE* in = std::fopen(path.c_str(), "r");
  if (in == nullptr) std::abort();
  bk::AppBindings.clear();
  bk::ReadBindings(in, piece);
  std::fclose(in);
  if (bk::AppBindings != whole) std::abort();
  if (bk::check::CheckBindingFile(path).bindings != whole) std::abort();
  if (bk::AppBindings != whole) std::abort();   // the checker puts the program's table back
  if (bk::KeyNameTable != table) std::abort();  // the loader only reads the table
  return 0;
}
