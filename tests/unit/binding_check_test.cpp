#include "check/binding_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "app/button_dispatch.h"
#include "bindings/key_names.h"
#include "check/check_command.h"
#include "fake/bk_test.h"

namespace bk::check {
namespace {

struct CheckCase {
  std::string what;
  std::string contents;
  std::string report;  // its lines without the file's name, the file's summary only if asked for
  int status = 0;
  bool withSummary = false;
};

void PrintTo(const CheckCase& c, std::ostream* out) {
  *out << c.what;
}

std::vector<CheckCase> CheckCases() {
  return {
      // What the program makes of each line.
      {"notes", "# VLC\n\nPlay=p\nnext=shift+.\nzoom=ctrl+plus\n",
       ":1: comment\n:2: blank line\n:3: play sends p (virtual-key code 50)\n"
       ":4: next sends \"shift+.\" (virtual-key codes A0 BE)\n"
       ":5: zoom sends ctrl+plus (virtual-key codes A2 BB)"},
      {"a byte-order mark and a Ctrl-Z at the very end", "\xEF\xBB\xBFplay=p\r\n\x1A\r\n",
       ":1: starts with a UTF-8 byte-order mark, which is skipped\n"
       ":1: play sends p (virtual-key code 50)\n:2: a Ctrl-Z character ends the file here"},
      // Lines that the program ignores.
      {"lines that are not bindings", "stop ctrl+s\n #play=p\nplay =p",
       ":1: ignored: no \"=\" in \"stop ctrl+s\"\n"
       ":2: ignored: no button is named \" #play\"; did you mean \"play\"? (a comment starts with "
       "\"#\" as the line's very first character)\n"
       ":3: ignored: no button is named \"play \"; did you mean \"play\"? (blanks around \"=\" are "
       "part of the name)",
       1},
      {"names of no button", "Channel_Up=pgup\nvolume=up\n=p\npl" + std::string(1, 0) + "ay=p",
       ":1: ignored: no button is named \"channel_up\"; did you mean \"channelup\"?\n"
       ":2: ignored: no button is named \"volume\"\n:3: ignored: the name before \"=\" is empty\n"
       ":4: ignored: no button is named \"pl\\x00ay\"; did you mean \"play\"?",
       1},
      {"a later line overrides an earlier one", "play=p\nstop=s\nplay=ctrl",
       ":1: play sends p (virtual-key code 50)\n"
       ":1: ignored: line 3 binds play again, and the later line wins\n"
       ":2: stop sends s (virtual-key code 53)\n:3: play sends ctrl (virtual-key code A2)",
       1},
      {"keys that are dropped", "play=\nstop=ctrl +s\nzoom=ctrl+\ninfo=p=q\nback=p\r",
       ":1: play is bound to no key, so the button sends nothing\n"
       ":2: stop sends s (virtual-key code 53)\n"
       ":2: key \"ctrl \" dropped: blanks are part of a key name; did you mean \"ctrl\"?\n"
       ":3: zoom sends ctrl (virtual-key code A2)\n"
       ":3: key 2 dropped: it is empty, from a \"+\" at either end or doubled (the + key is "
       "\"plus\")\n"
       ":4: info is bound to no key, so the button sends nothing\n"
       ":4: key \"p=q\" dropped: no key has that name (only the first \"=\" of a line separates "
       "the name from its keys)\n"
       ":5: back is bound to no key, so the button sends nothing\n"
       ":5: key \"p\\r\" dropped: blanks are part of a key name; did you mean \"p\"?",
       1},
      {"key names of other programs, misspelt or far from every name",
       "stop=control+numpad5+=\ninfo=shft+prtsc\nplay=pause+pp+space+" + std::string(1 << 20, 'x'),
       ":1: stop is bound to no key, so the button sends nothing\n"
       ":1: key \"control\" dropped: no key has that name; did you mean \"ctrl\"?\n"
       ":1: key \"numpad5\" dropped: no key has that name; did you mean \"num5\"?\n"
       ":1: key \"=\" dropped: no key has that name; did you mean \"equals\"? (only the first "
       "\"=\" of a line separates the name from its keys)\n"
       ":2: info is bound to no key, so the button sends nothing\n"
       ":2: key \"shft\" dropped: no key has that name; did you mean \"shift\"?\n"
       ":2: key \"prtsc\" dropped: no key has that name; did you mean \"prtscn\"?\n"
       ":3: play sends space (virtual-key code 20)\n:3: key \"pause\" dropped: no key has that "
       "name\n"
       ":3: key \"pp\" dropped: no key has that name\n:3: key \"" +
           std::string(60, 'x') + "...\" dropped: no key has that name",
       1},
      {"text after a Ctrl-Z", "play=p\n\x1Astop=s",
       ":1: play sends p (virtual-key code 50)\n"
       ":2: a Ctrl-Z character ends the file here: the text after it is ignored",
       1},
      // The file as a whole.
      {"a file that binds some buttons", "play=p\nstop=s\n",
       ":1: play sends p (virtual-key code 50)\n:2: stop sends s (virtual-key code 53)\n"
       ": binds 2 of the 16 buttons; not bound: menu, guide, channelup, channeldown, pause, "
       "record, fastforward, rewind, next, previous, info, back, zoom, fullscreen",
       0, true},
      {"a file that binds no button", "#x\nplay=",
       ":1: comment\n:2: play is bound to no key, so the button sends nothing\n"
       ": binds no button: no button sends anything with this file",
       1, true},
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
  std::string report;
  for (const Finding& finding : check.findings) {
    const bool wholeFile = finding.line == 0 && finding.kind != FindingKind::NotAnImageName;
    if (wholeFile && !c.withSummary) continue;
    report += (report.empty() ? "" : "\n") + FormatFinding("", finding);
  }
  EXPECT_EQ(report, c.report);
  EXPECT_EQ(check.Status(), c.status);
}

INSTANTIATE_TEST_SUITE_P(Lines, BindingCheckTest, ::testing::ValuesIn(CheckCases()));

class BindingCheckFileTest : public BindingCheckTest {
 protected:
  // Runs the checker's command line; returns its exit status and leaves its report in `output`.
  int Run(std::vector<std::string> args, const std::string& defaultFolder = "") {
    std::FILE* out = std::tmpfile();
    const int status = RunChecker(args, out, defaultFolder);
    output.assign(std::ftell(out), '\0');
    std::rewind(out);
    output.resize(std::fread(output.data(), 1, output.size(), out));
    std::fclose(out);
    return status;
  }
  std::string output;
};

TEST_F(BindingCheckFileTest, AKeyThatTheLayoutLacksIsSentAsCodeFF) {
  fake.layout['`'] = kNoKey;
  BuildKeyNameTable();
  const FileCheck check = CheckBindingFile(folder.Write("app.exe.cfg", "menu=`"));
  EXPECT_EQ(FormatFinding("f", check.findings.at(1)),
            "f:1: key \"`\" is on no key of this keyboard layout: virtual-key code FF is sent");
}

TEST_F(BindingCheckFileTest, OnlyAFileThatNoImageNameReadsIsNeverRead) {
  // Any base name is an image name: "app" reads app.cfg.
  for (const auto& [name, read] :
       {std::pair{"app.cfg", true}, {"A.EXE.CFG", true}, {"x.exe.txt", false}, {".cfg", false}}) {
    const FileCheck check = CheckBindingFile(folder.Write(name, "play=p"));
    EXPECT_EQ(check.findings[0].kind == FindingKind::NotAnImageName, !read) << name;
    EXPECT_EQ(check.Status(), read ? 0 : 1) << name;
  }
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
      {{"--help"}, 0, "2 when a file or folder cannot be read"},
      {{"-"}, 2, "-: cannot be read"},
      {{"/?"}, 0, "usage:"},
  };
  for (const auto& c : kCases) {
    std::string args;
    for (const std::string& arg : c.args) args += " " + arg;
    EXPECT_EQ(Run(c.args), c.status) << "bkcheck" << args << "\n" << output;
    EXPECT_NE(output.find(c.says), std::string::npos) << "bkcheck" << args << "\n" << output;
  }
}

TEST_F(BindingCheckFileTest, AFolderHasEveryBindingFileInItCheckedInNameOrder) {
  const std::string appbindings = folder.Dir() + "appbindings";
  folder.Write("appbindings/notes.txt", "not a binding file");
  EXPECT_EQ(Run({appbindings}), 2);
  EXPECT_EQ(output, appbindings + ": no binding files (*.cfg) in this folder\n");
  folder.Write("appbindings/b.exe.cfg", "play=p\n");
  folder.Write("appbindings/A.EXE.CFG", "#x\nplay=p\n");
  EXPECT_EQ(Run({"-q", appbindings}), 0) << output;
  const std::string summary =
      ": binds 1 of the 16 buttons; not bound: menu, guide, channelup, "
      "channeldown, pause, record, fastforward, rewind, next, previous, "
      "stop, info, back, zoom, fullscreen\n";
  EXPECT_EQ(output, appbindings + "/A.EXE.CFG" + summary + appbindings + "/b.exe.cfg" + summary);
  folder.Write("a.exe.cfg", "play=control+p\n");
  EXPECT_EQ(Run({"-q"}, folder.Dir() + "a.exe.cfg"), 1) << "the default, when nothing is named";
}

}  // namespace
}  // namespace bk::check
