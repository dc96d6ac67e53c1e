#include "bindings/binding_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "bindings/key_names.h"
#include "fake/bk_test.h"

namespace bk {
namespace {

constexpr KeyValue kCtrl = 162, kShift = 160, kP = 'P', kS = 'S';

struct GrammarCase {
  std::string what;
  std::string contents;
  BindingMap bindings;
};

void PrintTo(const GrammarCase& c, std::ostream* out) {
  *out << c.what;
}

class BindingFileTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    BuildKeyNameTable();
  }
  fake::TempFolder folder;
};

class BindingGrammarTest : public BindingFileTest,
                           public ::testing::WithParamInterface<GrammarCase> {};

TEST_P(BindingGrammarTest, LoadsTheFileIntoAppBindings) {
  ASSERT_TRUE(LoadBindingFile(folder.Write("app.exe.cfg", GetParam().contents)));
  EXPECT_EQ(AppBindings, GetParam().bindings);
}

// CR LF, a lone CR, a missing last LF and a byte-order mark: the reading in pieces below.
INSTANTIATE_TEST_SUITE_P(
    Files, BindingGrammarTest,
    ::testing::Values(
        GrammarCase{"only comments and empty lines", "# play=ctrl+p\n\n#stop=s\n", {}},
        GrammarCase{"upper case anywhere is lowered", "Play=CTRL+P\n", {{"play", {kCtrl, kP}}}},
        GrammarCase{"blank before the name", " #play=ctrl+p", {{" #play", {kCtrl, kP}}}},
        GrammarCase{"blanks around a + drop both keys", "play=ctrl + p", {{"play", {}}}},
        GrammarCase{"a line without = is skipped", "play ctrl+p\nstop=s", {{"stop", {kS}}}},
        GrammarCase{"the later line wins, even when empty", "play=ctrl+p\nplay=", {{"play", {}}}},
        GrammarCase{"only the first = splits; a key named twice is kept twice",
                    "play=shift+p=q+shift",
                    {{"play", {kShift, kShift}}}},
        GrammarCase{"a Ctrl-Z ends the file, as text mode does on Windows",
                    "play=p\nstop=s\x1Az\nnext=n",
                    {{"play", {kP}}, {"stop", {kS}}}}));

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

#ifdef __GLIBC__
// A stream that yields its text and then fails, as a disk that stops answering does.
ssize_t ReadThenFail(void* cookie, char* buffer, std::size_t size) {
  auto* text = static_cast<std::string_view*>(cookie);
  if (text->empty()) return -1;
  const std::size_t n = std::min(size, text->size());
  std::memcpy(buffer, text->data(), n);
  text->remove_prefix(n);
  return static_cast<ssize_t>(n);
}

TEST_F(BindingFileTest, AReadErrorEndsTheFileWhereItHappens) {
  std::string_view text = "play=ctrl+p\nstop=s\nback=a";
  std::FILE* stream = fopencookie(&text, "r", {ReadThenFail, nullptr, nullptr, nullptr});
  char piece[8];
  ReadBindings(stream, piece);
  EXPECT_TRUE(std::ferror(stream));
  std::fclose(stream);
  // What was read stays, the line cut short included, as if the file ended there.
  EXPECT_EQ(AppBindings, (BindingMap{{"play", {kCtrl, kP}}, {"stop", {kS}}, {"back", {'A'}}}));
}
#endif

}  // namespace
}  // namespace bk
