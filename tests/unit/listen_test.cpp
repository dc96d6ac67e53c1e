#include "check/listen.h"

#include <gtest/gtest.h>

#include <memory>
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

// The remote's receiver (the device of the vendor collections) and a keyboard with media keys.
const HidDevice kVendor{{0xFFAA, 0x0088}, "HID#VID_1784&PID_0008&Col02#7", 0x77};
const HidDevice kMedia{{0x000C, 0x0001}, "HID#VID_1784&PID_0008&MI_00#7", 0x78};
const HidDevice kKeyboard{{0x000C, 0x0001}, "HID#VID_046D&PID_C31C&Col01#8", 0x99};

// What the line of each report says, in a row: the window in front, the layout shown, the
// device, the report (3 bytes from 000C/0001, the usage's high byte last; 2 from FFAA/0088) and
// what the line must hold.
// Only another device than the remote is named.
TEST_F(ListenTest, TellsWhatBkRemoteDoesWithEachReport) {
  const std::tuple<WindowId, bool, HidDevice, std::vector<std::uint8_t>, std::string> kReports[] = {
      {kPlayer,
       false,
       kMedia,
       {1, 0xB0, 0},
       "01 B0 00  0x0000000C000100B0  play: sends ctrl+p to player.exe ("},
      {kPlayer, false, kMedia, {1, 0x24, 2}, "(read at an earlier press) does not bind back"},
      {kOther, false, kMedia, {1, 0xB0, 0}, "file " + programDir + "appbindings\\other.exe.cfg"},
      {kPlayer, true, kMedia, {1, 0xB0, 0}, "play: nothing while the layout is shown"},
      {kPlayer, false, kVendor, {0, 3}, "not a button of the remote"},
      {kPlayer, true, kVendor, {0, 9}, "button D: tap symbol \"D\" on the layout"},
      {kPlayer, true, kVendor, {0, 2}, "INPUT: hides the layout on release, or held for 1 s"},
      {kPlayer, false, kKeyboard, {1, 0xB7, 0}, "no key  [another device: " + kKeyboard.name},
  };
  const WindowId layout =
      fake.AddWindow({.style = ws::Popup, .visible = false, .className = kInputWindowName});
  fake.connected = {kVendor, kMedia, kKeyboard};
  for (const HidDevice& device : fake.connected) fake.devices[device.handle] = device.collection;
  for (const auto& [front, shown, device, report, expected] : kReports) {
    fake.Find(layout).visible = shown;
    fake.MakeForeground(front);
    fake.records[7] = fake::HidRecord(std::uint32_t(report.size()), 1, report, device.handle);
    listener.Poll(0);
    const long before = std::ftell(file.get());
    listener.Input(812, 7);
    const std::string line = Output(before);
    EXPECT_NE(line.find(expected), std::string::npos) << line;
    EXPECT_EQ(line.find("another device") != std::string::npos, device == kKeyboard) << line;
  }
}

// What the listener says of BkRemote and the devices at the start, and at a look when that
// changed: a keyboard's media keys reach BkRemote, but the keyboard is not the remote.
TEST_F(ListenTest, TellsTheStateAtStartAndAgainWhenItChanges) {
  fake.modulePath = "C:\\Tools\\BkCheck.exe";
  fake.connected = {kKeyboard};
  listener.Start();
  fake.mutexes = {kInstanceMutexName};
  fake.connected = {kKeyboard, kMedia, kVendor, {{0x0001, 0x0002}, "HID#VID_046D&PID_C52B#9", 5}};
  listener.Poll(500);
  listener.Poll(750);
  const std::string output = Output();
  EXPECT_EQ(output.substr(output.find("from")),
            "from C:\\Tools\\appbindings\\\n"
            "      0 ms  BkRemote is not running: the lines say what it would do\n"
            "      0 ms  the layout is down\n"
            "      0 ms  no connected device offers the remote's collections: waiting for the "
            "remote\n"
            "      0 ms  another device whose media keys reach BkRemote too: 000C/0001 on "
            "HID#VID_046D&PID_C31C&Col01#8\n"
            "    500 ms  BkRemote is running\n"
            "    500 ms  remote collection FFAA/0088 on HID#VID_1784&PID_0008&Col02#7\n"
            "    500 ms  remote collection 000C/0001 on HID#VID_1784&PID_0008&MI_00#7\n");
}

}  // namespace
}  // namespace bk
