#include "check/listen.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <tuple>

#include "app/startup.h"
#include "bindings/key_names.h"
#include "fake/bk_test.h"
#include "state/program_state.h"

namespace bk {
namespace {

constexpr WindowId kPlayer = 0xA0, kOther = 0xB0;

class ListenTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    BuildKeyNameTable();
    programDir = folder.Dir();
    folder.Write("appbindings\\player.exe.cfg", "play=ctrl+p\nstop=\n");
    fake.AddWindow({.process = 400}, kPlayer);
    fake.AddWindow({.process = 808}, kOther);
    fake.images[400] = "\\Device\\HarddiskVolume3\\Apps\\player.exe";
    fake.images[808] = "\\Device\\HarddiskVolume3\\Apps\\other.exe";
  }
  // What the listener wrote from byte `from` on.
  std::string Output(long from = 0) {
    std::string text(4096, '\0');
    std::fseek(file.get(), from, SEEK_SET);
    text.resize(std::fread(text.data(), 1, text.size(), file.get()));
    return text;
  }

  fake::TempFolder folder;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{std::tmpfile(), &std::fclose};
  check::Listener listener{file.get()};
};

// The line that the listener writes for each report, in a row: collection, bytes, code, and what
// BkRemote does with it. {dir} is the program folder.
TEST_F(ListenTest, TellsWhatBkRemoteDoesWithEachReport) {
  const std::tuple<WindowId, bool, std::string> kReports[] = {
      {kPlayer, false,
       "000C/0001  01 B0 00  0x0000000C000100B0  play: sends ctrl+p to player.exe "
       "({dir}appbindings\\player.exe.cfg)"},
      {kPlayer, false,
       "000C/0001  01 B1 00  0x0000000C000100B1  pause: sends nothing: "
       "{dir}appbindings\\player.exe.cfg (read at an earlier press) does not bind pause"},
      {kOther, false,
       "000C/0001  01 B0 00  0x0000000C000100B0  play: sends nothing: other.exe in front has no "
       "binding file {dir}appbindings\\other.exe.cfg"},
      {kPlayer, true,
       "000C/0001  01 B0 00  0x0000000C000100B0  play: nothing while the layout is shown"},
      {kPlayer, false, "FFAA/0088  00 03  0x0000FFAA00880003  not a button of the remote: nothing"},
      {kPlayer, true,
       "FFAA/0088  00 09  0x0000FFAA00880009  button D: tap symbol \"D\" on the layout"},
  };
  const WindowId layout =
      fake.AddWindow({.style = ws::Popup, .visible = false, .className = kInputWindowName});
  for (const auto& [front, shown, expected] : kReports) {
    fake.Find(layout).visible = shown;
    fake.MakeForeground(front);
    std::vector<std::uint8_t> report;
    std::istringstream bytes(expected.substr(11, expected.find("  0x") - 11));
    for (unsigned byte; bytes >> std::hex >> byte;) report.push_back(std::uint8_t(byte));
    fake.devices[0x77] = expected.starts_with("000C/0001") ? HidCollection{0x000C, 0x0001}
                                                           : HidCollection{0xFFAA, 0x0088};
    fake.records[7] = fake::HidRecord(std::uint32_t(report.size()), 1, report);
    listener.Poll(0);
    const long before = std::ftell(file.get());
    listener.Input(812, 7);
    std::string line = "    812 ms  " + expected + "\n";
    if (const std::size_t dir = line.find("{dir}"); dir != std::string::npos) {
      line.replace(dir, 5, programDir);
    }
    EXPECT_EQ(Output(before), line);
  }
}

TEST_F(ListenTest, TellsTheStateAtStartAndAgainWhenItChanges) {
  fake.modulePath = "C:\\Tools\\BkCheck.exe";
  listener.Start();
  fake.mutexes = {kInstanceMutexName};
  fake.connected = {{{0xFFAA, 0x0088}, "\\\\?\\HID#R&Col02"}, {{0x0001, 0x0006}, "kbd"}};
  listener.Poll(500);
  listener.Poll(750);
  const std::string output = Output();
  EXPECT_EQ(output.substr(output.find("from")),
            "from C:\\Tools\\appbindings\\\n"
            "      0 ms  BkRemote is not running: the lines say what it would do\n"
            "      0 ms  the layout is down\n"
            "      0 ms  no connected device offers the remote's collections: waiting for the "
            "remote\n"
            "    500 ms  BkRemote is running\n"
            "    500 ms  remote collection FFAA/0088 on \\\\?\\HID#R&Col02\n");
}

}  // namespace
}  // namespace bk
