#include "bindings/binding_file.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "bindings/key_names.h"
#include "fake/bk_test.h"

namespace bk {
namespace {

constexpr KeyValue kCtrl = 162, kShift = 160, kP = 'P', kS = 'S';

class BindingFileTest : public fake::BkTest {};

// Whatever the size of the pieces the file is read in, lines, CR LF pairs, a byte-order mark and
// the Ctrl-Z that ends the text may fall across their edges. Names are lower-cased and keep their
// blanks, only the first "=" splits, a key named twice is kept twice, and a later line wins, even
// when empty. Entries that the file does not name stay, and a file that cannot be opened changes
// nothing.
TEST_F(BindingFileTest, ReadingInAnyPiecesGivesTheSameBindings) {
  BuildKeyNameTable();
  fake::TempFolder folder;
  constexpr char kText[] =
      "\xEF\xBB\xBF#c\r\nplay=ctrl+p\r\n\r\nst\0op=s\r\r\nnext=alt\rx\n\nZoom=CTRL+A\n #stop=s\n"
      "info=shift+p=q+shift\nstop=s\nstop=\nback=esc\x1A\r\nzoom=z\r\n";
  const std::string contents(kText, sizeof kText - 1);
  const std::string path = folder.Write("a.cfg", contents);
  const BindingMap whole = {
      {"menu", {kP}},         {"play", {kCtrl, kP}}, {std::string("st\0op", 5), {}}, {"next", {}},
      {"zoom", {kCtrl, 'A'}}, {" #stop", {kS}},      {"info", {kShift, kShift}},     {"stop", {}},
      {"back", {27}}};
  AppBindings = {{"menu", {kP}}};
  EXPECT_FALSE(LoadBindingFile(folder.Dir() + "missing.cfg"));
  ASSERT_TRUE(LoadBindingFile(path));
  EXPECT_EQ(AppBindings, whole);
  for (std::size_t size = 1; size <= contents.size() + 1; ++size) {
    AppBindings = {{"menu", {kP}}};
    std::vector<char> piece(size);
    std::FILE* file = std::fopen(path.c_str(), "r");
    ReadBindings(file, piece);
    std::fclose(file);
    EXPECT_EQ(AppBindings, whole) << "pieces of " << size << " bytes";
  }
}

}  // namespace
}  // namespace bk
