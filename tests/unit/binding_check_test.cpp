#include "check/binding_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "bindings/key_names.h"
#include "check/check_command.h"
#include "fake/bk_test.h"

namespace bk::check {
namespace {

struct CheckCase {
  std::string what;
  std::string contents;
  std::vector<std::string> report;  // the lines of the report, without the file's name
  int status = 0;
  bool withSummary = false;  // the report's last line, about the whole file, is part of it
};

void PrintTo(const CheckCase& c, std::ostream* out) {
  *out << c.what;
}

// Every button bound to space, and what the report says of it.
CheckCase AllButtons() {
  CheckCase c{"a file that binds every button", "", {}, 0, true};
  std::size_t line = 0;
  for (const char* name :
       {"menu", "guide", "channelup", "channeldown", "play", "pause", "record", "fastforward",
        "rewind", "next", "previous", "stop", "info", "back", "zoom", "fullscreen"}) {
    c.contents += std::string(name) + "=space\n";
    c.report.push_back(":" + std::to_string(++line) + ": " + name +
                       " sends space (virtual-key code 20)");
  }
  c.report.push_back(": binds all 16 buttons");
  return c;
}

std::vector<CheckCase> CheckCases() {
  const std::string longName(1 << 20, 'x');
  const std::string shownLong = "\"" + std::string(60, 'x') + "...\"";
  return {
      // What the program makes of each line.
      {"comment, blank line and binding",
       "# VLC\n\nplay=p\n",
       {":1: comment", ":2: blank line", ":3: play sends p (virtual-key code 50)"}},
      {"punctuation keys are quoted",
       "next=shift+.",
       {":1: next sends \"shift+.\" (virtual-key codes A0 BE)"}},
      {"plus sends its key without Shift",
       "zoom=ctrl+plus",
       {":1: zoom sends ctrl+plus (virtual-key codes A2 BB)"}},
      {"a byte-order mark is skipped",
       "\xEF\xBB\xBF#c\nplay=p",
       {":1: starts with a UTF-8 byte-order mark, which is skipped", ":1: comment",
        ":2: play sends p (virtual-key code 50)"}},
      {"a Ctrl-Z at the very end",
       "play=p\r\n\x1A\r\n",
       {":1: play sends p (virtual-key code 50)", ":2: a Ctrl-Z character ends the file here"}},
      AllButtons(),

      // Lines that the program ignores.
      {"no =",
       "play=p\nstop ctrl+s",
       {":1: play sends p (virtual-key code 50)", ":2: ignored: no \"=\" in \"stop ctrl+s\""},
       1},
      {"blanks before # make no comment",
       "play=p\n  # note",
       {":1: play sends p (virtual-key code 50)",
        ":2: ignored: no \"=\" in \"  # note\" (a comment starts with \"#\" as the line's very "
        "first character)"},
       1},
      {"blanks before # with an =",
       " #play=p",
       {":1: ignored: no button is named \" #play\"; did you mean \"play\"? (a comment starts with "
        "\"#\" as the line's very first character)"},
       1},
      {"a blank before the =",
       "play =p",
       {":1: ignored: no button is named \"play \"; did you mean \"play\"? (blanks around \"=\" "
        "are "
        "part of the name)"},
       1},
      {"a misspelt button name",
       "Channel_Up=pgup",
       {":1: ignored: no button is named \"channel_up\"; did you mean \"channelup\"?"},
       1},
      {"transposed letters",
       "paly=p",
       {":1: ignored: no button is named \"paly\"; did you mean \"play\"?"},
       1},
      {"a name far from every button",
       "volume=up",
       {":1: ignored: no button is named \"volume\""},
       1},
      {"an empty name", "=p", {":1: ignored: the name before \"=\" is empty"}, 1},
      {"NUL in a name is shown escaped",
       std::string("pl\0ay=p", 7),
       {":1: ignored: no button is named \"pl\\x00ay\"; did you mean \"play\"?"},
       1},
      {"a later line overrides an earlier one",
       "play=p\nstop=s\nplay=alt\nplay=ctrl",
       {":1: play sends p (virtual-key code 50)",
        ":1: ignored: line 3 binds play again, and the later line wins",
        ":2: stop sends s (virtual-key code 53)", ":3: play sends alt (virtual-key code A4)",
        ":3: ignored: line 4 binds play again, and the later line wins",
        ":4: play sends ctrl (virtual-key code A2)"},
       1},
      {"nothing after the =",
       "play=",
       {":1: play is bound to no key, so the button sends nothing"},
       1},
      {"a binding whose every key is dropped",
       "stop=ctrl + s",
       {":1: stop is bound to no key, so the button sends nothing",
        ":1: key \"ctrl \" dropped: blanks are part of a key name; did you mean \"ctrl\"?",
        ":1: key \" s\" dropped: blanks are part of a key name; did you mean \"s\"?"},
       1},
      {"empty keys from a doubled and a trailing +",
       "zoom=ctrl++",
       {":1: zoom sends ctrl (virtual-key code A2)",
        ":1: key 2 dropped: it is empty, from a \"+\" at either end or doubled (the + key is "
        "\"plus\")",
        ":1: key 3 dropped: it is empty, from a \"+\" at either end or doubled (the + key is "
        "\"plus\")"},
       1},
      {"key names of other programs",
       "stop=control+escape+pageup+numpad5+=",
       {":1: stop is bound to no key, so the button sends nothing",
        ":1: key \"control\" dropped: no key has that name; did you mean \"ctrl\"?",
        ":1: key \"escape\" dropped: no key has that name; did you mean \"esc\"?",
        ":1: key \"pageup\" dropped: no key has that name; did you mean \"pgup\"?",
        ":1: key \"numpad5\" dropped: no key has that name; did you mean \"num5\"?",
        ":1: key \"=\" dropped: no key has that name; did you mean \"equals\"? (only the first "
        "\"=\" of a line separates the name from its keys)"},
       1},
      {"misspelt key names",
       "info=shft+lctrl+prtsc+i",
       {":1: info sends i (virtual-key code 49)",
        ":1: key \"shft\" dropped: no key has that name; did you mean \"shift\"?",
        ":1: key \"lctrl\" dropped: no key has that name; did you mean \"ctrl\"?",
        ":1: key \"prtsc\" dropped: no key has that name; did you mean \"prtscn\"?"},
       1},
      {"key names with no close key",
       "play=pause+f13+pp+space",
       {":1: play sends space (virtual-key code 20)",
        ":1: key \"pause\" dropped: no key has that name",
        ":1: key \"f13\" dropped: no key has that name",
        ":1: key \"pp\" dropped: no key has that name"},
       1},
      {"a second = ends up in a key",
       "info=p=q",
       {":1: info is bound to no key, so the button sends nothing",
        ":1: key \"p=q\" dropped: no key has that name (only the first \"=\" of a line separates "
        "the name from its keys)"},
       1},
      {"a CR at the very end stays in the key",
       "play=p\r",
       {":1: play is bound to no key, so the button sends nothing",
        ":1: key \"p\\r\" dropped: blanks are part of a key name; did you mean \"p\"?"},
       1},
      {"a 1 MiB key name is shown cut short",
       "play=p+" + longName,
       {":1: play sends p (virtual-key code 50)",
        ":1: key " + shownLong + " dropped: no key has that name"},
       1},
      {"text after a Ctrl-Z",
       "play=p\n\x1Astop=s",
       {":1: play sends p (virtual-key code 50)",
        ":2: a Ctrl-Z character ends the file here: the text after it is ignored"},
       1},

      // The file as a whole.
      {"a file that binds some buttons",
       "play=p\nstop=s\n",
       {":1: play sends p (virtual-key code 50)", ":2: stop sends s (virtual-key code 53)",
        ": binds 2 of the 16 buttons; not bound: menu, guide, channelup, channeldown, pause, "
        "record, fastforward, rewind, next, previous, info, back, zoom, fullscreen"},
       0,
       true},
      {"an empty file",
       "",
       {": binds no button: no button sends anything with this file"},
       1,
       true},
      {"only comments and names of no button",
       "#x\nvolume=up\nplay=",
       {":1: comment", ":2: ignored: no button is named \"volume\"",
        ":3: play is bound to no key, so the button sends nothing",
        ": binds no button: no button sends anything with this file"},
       1,
       true},
  };
}

class BindingCheckTest : public fake::BkTest, public ::testing::WithParamInterface<CheckCase> {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    BuildKeyNameTable();
  }
  fake::TempFolder folder;
};

TEST_P(BindingCheckTest, SaysWhatTheProgramMakesOfEachLine) {
  const CheckCase& c = GetParam();
  const FileCheck check = CheckBindingFile(folder.Write("app.exe.cfg", c.contents));
  std::vector<std::string> report;
  for (const Finding& finding : check.findings) {
    const bool wholeFile =
        finding.kind == FindingKind::Summary || finding.kind == FindingKind::BindsNothing;
    if (wholeFile && !c.withSummary) continue;
    report.push_back(FormatFinding("app.exe.cfg", finding).substr(sizeof "app.exe.cfg" - 1));
  }
  EXPECT_EQ(report, c.report);
  EXPECT_EQ(check.Status(), c.status);
}

TEST_P(BindingCheckTest, ReadsTheSameBindingsAsTheProgram) {
  const CheckCase& c = GetParam();
  const std::string path = folder.Write("app.exe.cfg", c.contents);
  ASSERT_TRUE(LoadBindingFile(path));
  const BindingMap program = AppBindings;
  AppBindings = {{"play", {'Q'}}};
  EXPECT_EQ(CheckBindingFile(path).bindings, program);
  EXPECT_EQ(AppBindings, (BindingMap{{"play", {'Q'}}})) << "the checker changed AppBindings";
}

INSTANTIATE_TEST_SUITE_P(Lines, BindingCheckTest, ::testing::ValuesIn(CheckCases()));

class BindingCheckFileTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    BuildKeyNameTable();
  }

  // Runs the checker's command line; returns its exit status and leaves its report in `output`.
  int Run(std::vector<std::string> args, const std::string& defaultFolder = "") {
    std::FILE* out = std::tmpfile();
    EXPECT_NE(out, nullptr);
    const int status = RunChecker(args, out, defaultFolder);
    std::rewind(out);
    output.clear();
    char piece[4096];
    for (std::size_t got; (got = std::fread(piece, 1, sizeof piece, out)) > 0;) {
      output.append(piece, got);
    }
    std::fclose(out);
    return status;
  }

  fake::TempFolder folder;
  std::string output;
};

TEST_F(BindingCheckFileTest, AKeyThatTheLayoutLacksIsSentAsCodeFF) {
  fake.layout['`'] = kNoKey;
  BuildKeyNameTable();
  const FileCheck check = CheckBindingFile(folder.Write("app.exe.cfg", "menu=`"));
  ASSERT_GE(check.findings.size(), 2u);
  EXPECT_EQ(FormatFinding("f", check.findings[0]), "f:1: menu sends \"`\" (virtual-key code FF)");
  EXPECT_EQ(FormatFinding("f", check.findings[1]),
            "f:1: key \"`\" is on no key of this keyboard layout: virtual-key code FF is sent");
  EXPECT_EQ(check.Status(), 1);
}

TEST_F(BindingCheckFileTest, AFileNamedWithoutTheImageExtensionIsNeverRead) {
  const FileCheck check = CheckBindingFile(folder.Write("vlc.cfg", "play=p"));
  ASSERT_FALSE(check.findings.empty());
  EXPECT_EQ(check.findings[0].kind, FindingKind::NotAnImageName);
  EXPECT_EQ(check.Status(), 1);
}

TEST_F(BindingCheckFileTest, ExitStatusesAndWhatTheReportSays) {
  const std::string clean = folder.Write("clean.exe.cfg", "play=p\n");
  const std::string ignored = folder.Write("ignored.exe.cfg", "play =p\n");
  const std::string missing = folder.Dir() + "missing.exe.cfg";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string says;
  } kCases[] = {
      {{clean}, 0, "play sends p"},
      {{"-q", clean}, 0, "binds 1 of the 16 buttons"},
      {{ignored}, 1, "no button is named"},
      {{missing}, 2, "cannot be read: No such file or directory"},
      {{clean, ignored}, 1, ""},
      {{ignored, missing}, 2, ""},
      {{}, 2, "usage:"},
      {{"-x", clean}, 2, "unknown option -x"},
      {{"--help"}, 0, "usage:"},
      {{"/?"}, 0, "usage:"},
  };
  for (const auto& c : kCases) {
    std::string args;
    for (const std::string& arg : c.args) args += " " + arg;
    EXPECT_EQ(Run(c.args), c.status) << "bkcheck" << args << "\n" << output;
    EXPECT_NE(output.find(c.says), std::string::npos) << "bkcheck" << args << "\n" << output;
    if (c.args.size() == 2 && c.args[0] == "-q") {
      EXPECT_EQ(output.find("sends"), std::string::npos) << "-q reports no notes";
    }
  }
}

TEST_F(BindingCheckFileTest, AFolderHasEveryBindingFileInItChecked) {
  folder.Write("appbindings/b.exe.cfg", "play=p\n");
  folder.Write("appbindings/A.EXE.CFG", "#x\nplay=p\n");
  folder.Write("appbindings/notes.txt", "not a binding file");
  const std::string appbindings = folder.Dir() + "appbindings";
  EXPECT_EQ(Run({"-q", appbindings}), 0) << output;
  EXPECT_EQ(output, appbindings +
                        "/A.EXE.CFG: binds 1 of the 16 buttons; not bound: menu, guide, "
                        "channelup, channeldown, pause, record, fastforward, rewind, "
                        "next, previous, stop, info, back, zoom, fullscreen\n" +
                        appbindings +
                        "/b.exe.cfg: binds 1 of the 16 buttons; not bound: menu, "
                        "guide, channelup, channeldown, pause, record, fastforward, "
                        "rewind, next, previous, stop, info, back, zoom, "
                        "fullscreen\n");

  folder.Write("appbindings/c.exe.cfg", "play=control+p\n");
  EXPECT_EQ(Run({appbindings}), 1) << output;
  EXPECT_NE(output.find("c.exe.cfg:1: key \"control\" dropped"), std::string::npos) << output;
}

TEST_F(BindingCheckFileTest, WithoutArgumentsTheDefaultFolderIsChecked) {
  folder.Write("appbindings/a.exe.cfg", "play=control+p\n");
  const std::string appbindings = folder.Dir() + "appbindings";
  EXPECT_EQ(Run({"-q"}, appbindings), 1);
  EXPECT_EQ(output.rfind(appbindings + "/a.exe.cfg:1: key \"control\" dropped", 0), 0u) << output;
}

TEST_F(BindingCheckFileTest, AFolderWithoutBindingFilesIsAnError) {
  folder.Write("appbindings/notes.txt", "not a binding file");
  const std::string appbindings = folder.Dir() + "appbindings";
  EXPECT_EQ(Run({appbindings}), 2);
  EXPECT_EQ(output, appbindings + ": no binding files (*.cfg) in this folder\n");
}

}  // namespace
}  // namespace bk::check
