#include "bindings/binding_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ostream>

#include "bindings/key_names.h"
#include "fake/binding_folder.h"
#include "fake/bk_test.h"

namespace bk {
namespace {

constexpr KeyValue kCtrl = 162, kShift = 160, kAlt = 164, kP = 'P', kS = 'S', kQ = 'Q';

struct GrammarCase {
  std::string what;
  std::string contents;
  BindingMap bindings;
};

void PrintTo(const GrammarCase& c, std::ostream* out) {
  *out << c.what;
}

std::string Bytes(const char* text, std::size_t size) {
  return std::string(text, size);
}

// A chord of `count` ctrl keys followed by p, on one line of about 5 * count bytes.
std::string LongChordLine(std::size_t count) {
  std::string line = "play=";
  for (std::size_t i = 0; i < count; ++i) line += "ctrl+";
  return line + "p";
}

std::vector<GrammarCase> GrammarCases() {
  constexpr std::size_t kMiB = 1 << 20;
  const std::size_t chordKeys = kMiB / 5;
  KeySequence longChord(chordKeys, kCtrl);
  longChord.push_back(kP);

  return {
      {"empty file", "", {}},
      {"only comments and empty lines", "# play=ctrl+p\n\n#stop=s\n", {}},
      {"one binding", "play=ctrl+p\n", {{"play", {kCtrl, kP}}}},
      {"last line without LF", "play=ctrl+p", {{"play", {kCtrl, kP}}}},
      {"upper case anywhere is lowered", "Play=CTRL+P\n", {{"play", {kCtrl, kP}}}},
      {"bytes above 127 are not lowered", "PL\xC4Y=p\n", {{"pl\xC4y", {kP}}}},
      {"blank before the name", " play=ctrl+p", {{" play", {kCtrl, kP}}}},
      {"blank before the =", "play =ctrl+p", {{"play ", {kCtrl, kP}}}},
      {"blank after the = drops that key", "play= ctrl+p", {{"play", {kP}}}},
      {"blanks around a + drop both keys", "play=ctrl + p", {{"play", {}}}},
      {"a tab is not trimmed either", "play=ctrl\t+p", {{"play", {kP}}}},
      {"blank then # is not a comment", " #play=ctrl", {{" #play", {kCtrl}}}},
      {"# later in a line is text", "play=ctrl+p#x\n", {{"play", {kCtrl}}}},
      {"a line without = is skipped", "play ctrl+p\nstop=s", {{"stop", {kS}}}},
      {"the later line wins", "play=ctrl+p\nplay=alt", {{"play", {kAlt}}}},
      {"the later line wins even when empty", "play=ctrl+p\nplay=", {{"play", {}}}},
      {"no token names a key", "play=control+pee", {{"play", {}}}},
      {"only the first = splits", "play=ctrl+p=q+q", {{"play", {kCtrl, kQ}}}},
      {"equals is the name of the = key", "play=equals", {{"play", {0xBB}}}},
      {"doubled, leading and trailing +", "play=+ctrl++p+", {{"play", {kCtrl, kP}}}},
      {"a key named twice is kept twice", "play=ctrl+ctrl", {{"play", {kCtrl, kCtrl}}}},
      {"file order is kept", "play=p+shift+ctrl", {{"play", {kP, kShift, kCtrl}}}},
      {"an empty name", "=ctrl", {{"", {kCtrl}}}},
      {"names that no button has are kept", "volume=up", {{"volume", {38}}}},
      {"plus keeps its Shift bit in the table", "play=shift+plus", {{"play", {kShift, 0x1BB}}}},
      {"backslash and main-row digits", "play=\\+5+num5", {{"play", {0xDC, '5', 101}}}},
      {"several bindings",
       "play=p\r\n# x\r\nstop=s\r\nback=esc\r\n",
       {{"play", {kP}}, {"stop", {kS}}, {"back", {27}}}},
      {"CR LF ends a line", "play=ctrl+p\r\nstop=s\r\n", {{"play", {kCtrl, kP}}, {"stop", {kS}}}},
      {"a comment line with CR LF", "#play=p\r\nstop=s\r\n", {{"stop", {kS}}}},
      {"a lone CR is text", "play=ctrl\r+p\rstop=s\n", {{"play", {}}}},
      {"CR CR LF leaves one CR", "play=ctrl+p\r\r\nstop=s", {{"play", {kCtrl}}, {"stop", {kS}}}},
      {"a CR at the very end stays", "play=ctrl+p\r", {{"play", {kCtrl}}}},
      {"LF CR: the CR starts the next line",
       "play=p\n\rstop=s",
       {{"play", {kP}}, {"\rstop", {kS}}}},
      {"a Ctrl-Z ends the file, as text mode does on Windows",
       "play=p\nstop=s\x1Az\nnext=n",
       {{"play", {kP}}, {"stop", {kS}}}},
      {"a Ctrl-Z on a line of its own", "play=p\r\n\x1A\r\nnext=n", {{"play", {kP}}}},
      {"NUL inside a token",
       Bytes("play=ctrl+p\0+alt\nstop=s", 23),
       {{"play", {kCtrl, kAlt}}, {"stop", {kS}}}},
      {"NUL inside a name", Bytes("pl\0ay=ctrl", 10), {{Bytes("pl\0ay", 5), {kCtrl}}}},
      {"NUL first: not a comment", Bytes("\0#x=p", 5), {{Bytes("\0#x", 3), {kP}}}},
      {"a line of NULs", std::string(5000, '\0') + "\nplay=p", {{"play", {kP}}}},
      {"byte-order mark skipped", "\xEF\xBB\xBFplay=ctrl+p\r\n", {{"play", {kCtrl, kP}}}},
      {"byte-order mark before a comment", "\xEF\xBB\xBF#x=p\nstop=s", {{"stop", {kS}}}},
      {"byte-order mark alone", "\xEF\xBB\xBF", {}},
      {"only the first byte-order mark",
       "\xEF\xBB\xBF\xEF\xBB\xBFplay=p",
       {{"\xEF\xBB\xBFplay", {kP}}}},
      {"a byte-order mark on a later line is text",
       "\n\xEF\xBB\xBFplay=p",
       {{"\xEF\xBB\xBFplay", {kP}}}},
      {"part of a byte-order mark is text", "\xEF\xBBplay=p", {{"\xEF\xBBplay", {kP}}}},
      {"a 1 MiB line",
       LongChordLine(chordKeys) + "\nstop=s",
       {{"play", longChord}, {"stop", {kS}}}},
      {"a 1 MiB name",
       std::string(kMiB, 'x') + "=p\r\nstop=s",
       {{std::string(kMiB, 'x'), {kP}}, {"stop", {kS}}}},
      {"a 1 MiB comment", "#" + std::string(kMiB, '=') + "\r\nstop=s", {{"stop", {kS}}}},
  };
}

class BindingGrammarTest : public fake::BkTest, public ::testing::WithParamInterface<GrammarCase> {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    BuildKeyNameTable();
  }
  fake::BindingFolder folder;
};

TEST_P(BindingGrammarTest, LoadsTheFileIntoAppBindings) {
  const GrammarCase& c = GetParam();
  ASSERT_TRUE(LoadBindingFile(folder.WriteFile("app.exe.cfg", c.contents)));
  EXPECT_EQ(AppBindings, c.bindings);
}

INSTANTIATE_TEST_SUITE_P(Files, BindingGrammarTest, ::testing::ValuesIn(GrammarCases()));

class BindingFileTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    BuildKeyNameTable();
  }
  fake::BindingFolder folder;
};

TEST_F(BindingFileTest, AFileThatCannotBeOpenedLeavesAppBindingsAlone) {
  AppBindings["play"] = {kP};
  EXPECT_FALSE(LoadBindingFile(folder.ProgramDir() + "missing.cfg"));
  EXPECT_EQ(AppBindings, (BindingMap{{"play", {kP}}}));
}

TEST_F(BindingFileTest, SetsEntriesAndRemovesNone) {
  AppBindings["play"] = {kP};
  AppBindings["stop"] = {kS};
  ASSERT_TRUE(LoadBindingFile(folder.WriteFile("a.cfg", "stop=ctrl\n")));
  EXPECT_EQ(AppBindings, (BindingMap{{"play", {kP}}, {"stop", {kCtrl}}}));
}

TEST_F(BindingFileTest, ReadingInSmallPiecesGivesTheSameBindings) {
  const std::string contents =
      Bytes("\xEF\xBB\xBF#c\r\nplay=ctrl+p\r\n\r\nst\0op=s\r\r\nnext=alt\rx\n\nback=esc", 52);
  const std::string path = folder.WriteFile("a.cfg", contents);
  ASSERT_TRUE(LoadBindingFile(path));
  const BindingMap whole = AppBindings;
  ASSERT_EQ(
      whole,
      (BindingMap{{"play", {kCtrl, kP}}, {Bytes("st\0op", 5), {}}, {"next", {}}, {"back", {27}}}));
  for (std::size_t size = 1; size <= contents.size() + 1; ++size) {
    AppBindings.clear();
    std::vector<char> piece(size);
    std::FILE* file = std::fopen(path.c_str(), "r");
    ASSERT_NE(file, nullptr);
    ReadBindings(file, piece);
    std::fclose(file);
    EXPECT_EQ(AppBindings, whole) << "pieces of " << size << " bytes";
  }
}

#ifdef __GLIBC__
// A stream that yields `data` and then fails, as a disk that stops answering does.
struct FailingSource {
  std::string data;
  std::size_t offset = 0;
};

ssize_t ReadThenFail(void* cookie, char* buffer, std::size_t size) {
  auto* source = static_cast<FailingSource*>(cookie);
  if (source->offset == source->data.size()) return -1;
  const std::size_t n = std::min(size, source->data.size() - source->offset);
  std::memcpy(buffer, source->data.data() + source->offset, n);
  source->offset += n;
  return static_cast<ssize_t>(n);
}

TEST_F(BindingFileTest, AReadErrorEndsTheFileWhereItHappens) {
  FailingSource source{"play=ctrl+p\nstop=s\nback=a", 0};
  cookie_io_functions_t io{};
  io.read = ReadThenFail;
  std::FILE* stream = fopencookie(&source, "r", io);
  ASSERT_NE(stream, nullptr);
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
