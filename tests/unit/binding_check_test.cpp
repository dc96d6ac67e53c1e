#include "check/binding_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "app/button_dispatch.h"
#include "bindings/key_names.h"
#include "check/check_command.h"
#include "fake/bk_test.h"

namespace bk::check {
namespace {

class BindingCheckTest : public fake::BkTest {
 protected:
  // Runs the checker's command line; returns its exit status and leaves its report in `output`.
  int Run(std::vector<std::string> args, const std::string& defaultFolder = "") {
    std::FILE* out = std::tmpfile();
    static constexpr ShippedFile kShipped[] = {{"shipped.exe.cfg", "play=p\n"}};
    const int status = RunChecker(args, out, defaultFolder, kShipped);
    output.assign(std::ftell(out), '\0');
    std::rewind(out);
    output.resize(std::fread(output.data(), 1, output.size(), out));
    std::fclose(out);
    return status;
  }
  fake::TempFolder folder;
  std::string output;
};

// Each file with what the checker says of it, without the file's name or summary, and its status.
TEST_F(BindingCheckTest, SaysWhatTheProgramMakesOfEachLine) {
  const std::tuple<std::string, std::string, int> kCases[] = {
      // Notes, a byte-order mark and a Ctrl-Z at the very end.
      {"\xEF\xBB\xBF# VLC\r\n\nnext=shift+.\n\x1A\r\n",
       ":1: starts with a UTF-8 byte-order mark, which is skipped\n:1: comment\n:2: blank line\n"
       ":3: next sends \"shift+.\" (virtual-key codes A0 BE)\n"
       ":4: a Ctrl-Z character ends the file here",
       0},
      // Lines that are not bindings.
      {"stop ctrl+s\n #play=p\nplay =p\n=p\npl" + std::string(1, 0) + "ay=p",
       ":1: ignored: no \"=\" in \"stop ctrl+s\"\n"
       ":2: ignored: no button is named \" #play\"; did you mean \"play\"? (a comment starts with "
       "\"#\" as the line's very first character)\n"
       ":3: ignored: no button is named \"play \"; did you mean \"play\"? (blanks around \"=\" are "
       "part of the name)\n"
       ":4: ignored: the name before \"=\" is empty\n"
       ":5: ignored: no button is named \"pl\\x00ay\"; did you mean \"play\"?",
       1},
      // Keys that are dropped, and a later line that overrides an earlier one.
      {"play=ctrl+p\nplay=ctrl+\nback=f1o+p\f\r",
       ":1: play sends ctrl+p (virtual-key codes A2 50)\n"
       ":1: ignored: line 2 binds play again, and the later line wins\n"
       ":2: play sends ctrl (virtual-key code A2)\n"
       ":2: key 2 dropped: it is empty, from a \"+\" at either end or doubled (the + key is "
       "\"plus\")\n"
       ":3: back is bound to no key, so the button sends nothing\n"
       ":3: key \"f1o\" dropped: no key has that name\n"
       ":3: key \"p\\x0C\\r\" dropped: blanks are part of a key name; did you mean \"p\"?",
       1},
      // Key names of other programs, misspelt or far from every name; text after a Ctrl-Z.
      {"stop==\ninfo=space+" + std::string(1 << 20, 'x') + "\n\x1Aplay=p",
       ":1: stop is bound to no key, so the button sends nothing\n"
       ":1: key \"=\" dropped: no key has that name; did you mean \"equals\"? (only the first "
       "\"=\" of a line separates the name from its keys)\n"
       ":2: info sends space (virtual-key code 20)\n"
       ":2: key \"" +
           std::string(60, 'x') +
           "...\" dropped: no key has that name\n"
           ":3: a Ctrl-Z character ends the file here: the text after it is ignored",
       1},
  };
  BuildKeyNameTable();
  for (const auto& [contents, expected, status] : kCases) {
    const FileCheck check = CheckBindingFile(folder.Write("app.exe.cfg", contents));
    std::string report;
    for (const Finding& finding : check.findings) {
      if (finding.line != 0) report += (report.empty() ? "" : "\n") + FormatFinding("", finding);
    }
    EXPECT_EQ(report, expected);
    EXPECT_EQ(check.Status(), status) << expected;
  }
}

TEST_F(BindingCheckTest, ExitStatusesAndWhatTheReportSays) {
  fake.layout['`'] = kNoKey;
  BuildKeyNameTable();
  const std::string clean = folder.Write("App.Exe.CFG", "play=p\n");  // in any letter case
  const std::string ignored = folder.Write("ignored.exe.cfg", "play =p\n");
  folder.Write("empty/notes.txt", "not a binding file");
  const std::tuple<std::vector<std::string>, int, std::string> kCases[] = {
      {{clean}, 0, "play sends p"},
      {{ignored}, 1, "binds no button: no button sends anything with this file"},
      {{folder.Write(".cfg", "play=p")}, 1, "never read"},
      {{folder.Write("vlc.cfg", "play=p")}, 1, "for vlc.exe name it vlc.exe.cfg"},
      {{folder.Write("b.exe.cfg", "menu=`")},
       1,
       "no key of this keyboard layout: virtual-key code FF"},
      {{folder.Dir() + "missing.exe.cfg", ignored}, 2, "cannot be read: No such file or directory"},
      {{}, 2, "usage:"},
      {{"-x", clean}, 2, "unknown option -x"},
      {{"--help"}, 0, "2 when a file or folder cannot be read"},
      {{folder.Dir() + "empty"}, 2, "empty: no binding files (*.cfg) in this folder\n"},
      {{"-"}, 2, "-: cannot be read"},
      // Which files to copy into a new version's folder: the user's own and the changed ones.
      {{"--changed", folder.Write("Shipped.EXE.cfg", "play=p\n")}, 0, "cfg: as shipped"},
      {{"--changed", "-q", folder.Write("x/shipped.exe.cfg", "play=q\n")}, 0, "cfg: changed"},
      {{"--changed", clean}, 0, "App.Exe.CFG: your own"},
      {{"--changed", folder.Dir() + "gone.exe.cfg"}, 2, "gone.exe.cfg: cannot be read"},
  };
  for (const auto& [args, status, says] : kCases) {
    EXPECT_EQ(Run(args), status) << output;
    EXPECT_NE(output.find(says), std::string::npos) << output;
  }
  // Quiet, a folder's binding files in name order; a folder is the default when nothing is named.
  folder.Write("appbindings/b.exe.cfg", "play=p\n");
  folder.Write("appbindings/A.EXE.CFG", "#x\nplay=p\n");
  EXPECT_EQ(Run({"-q"}, folder.Dir() + "appbindings"), 0) << output;
  const std::string summary = ": binds 1 of the 16 buttons; not bound: menu, guide, channelup";
  EXPECT_EQ(output.find(folder.Dir() + "appbindings/A.EXE.CFG" + summary), 0u) << output;
  EXPECT_NE(output.find("fullscreen\n" + folder.Dir() + "appbindings/b.exe.cfg" + summary),
            output.npos);
}

}  // namespace
}  // namespace bk::check
