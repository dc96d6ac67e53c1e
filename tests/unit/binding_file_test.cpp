#include "bindings/binding_file.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "bindings/key_names.h"
#include "fake/bk_test.h"

namespace bk {
namespace {

constexpr KeyValue kCtrl = 162, kShift = 160, kP = 'P', kS = 'S';

class BindingFileTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    BuildKeyNameTable();
  }
  fake::TempFolder folder;
};

// CR LF, a lone CR, a missing last LF, a byte-order mark and a Ctrl-Z: the reading in pieces
// below.
TEST_F(BindingFileTest, LoadsTheFileIntoAppBindings) {
  const std::pair<std::string, BindingMap> kFiles[] = {
      // Comments, empty lines, a line without "=", a blank before the name, upper case.
      {"# play=p\n\nnext p\nZoom=CTRL+A\n #stop=s", {{"zoom", {kCtrl, 'A'}}, {" #stop", {kS}}}},
      // The later line wins, even when empty.
      {"play=ctrl+p\nplay=", {{"play", {}}}},
      // Only the first "=" splits; a key named twice is kept twice.
      {"play=shift+p=q+shift", {{"play", {kShift, kShift}}}},
  };
  for (const auto& [contents, bindings] : kFiles) {
    AppBindings.clear();
    ASSERT_TRUE(LoadBindingFile(folder.Write("app.exe.cfg", contents)));
    EXPECT_EQ(AppBindings, bindings) << contents;
  }
}

// A file that cannot be opened leaves AppBindings alone; one that can sets entries, removes none.
TEST_F(BindingFileTest, SetsEntriesAndRemovesNone) {
  AppBindings = {{"play", {kP}}, {"stop", {kS}}};
  EXPECT_FALSE(LoadBindingFile(folder.Dir() + "missing.cfg"));
  ASSERT_TRUE(LoadBindingFile(folder.Write("a.cfg", "stop=ctrl\n")));
  EXPECT_EQ(AppBindings, (BindingMap{{"play", {kP}}, {"stop", {kCtrl}}}));
}

// Whatever the size of the pieces the file is read in, lines, CR LF pairs, a byte-order mark and
// the Ctrl-Z that ends the text may fall across their edges.
TEST_F(BindingFileTest, ReadingInSmallPiecesGivesTheSameBindings) {
  constexpr char kText[] =
      "\xEF\xBB\xBF#c\r\nplay=ctrl+p\r\n\r\nst\0op=s\r\r\nnext=alt\rx\n\nback=esc\x1A\r\nzoom="
      "z\r\n";
  const std::string contents(kText, sizeof kText - 1);
  const std::string path = folder.Write("a.cfg", contents);
  const BindingMap whole = {
      {"play", {kCtrl, kP}}, {std::string("st\0op", 5), {}}, {"next", {}}, {"back", {27}}};
  for (std::size_t size = 1; size <= contents.size() + 1; ++size) {
    AppBindings.clear();
    std::vector<char> piece(size);
    std::FILE* file = std::fopen(path.c_str(), "r");
    ReadBindings(file, piece);
    std::fclose(file);
    EXPECT_EQ(AppBindings, whole) << "pieces of " << size << " bytes";
  }
}

}  // namespace
}  // namespace bk
