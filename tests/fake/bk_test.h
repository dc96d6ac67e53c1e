// The fixture of every unit test: a fresh program on a fresh fake machine, driven as its user
// drives it, and at the end the checks that hold for every test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "app/startup.h"
#include "fake/fake_os.h"
#include "osd/osd_window.h"

namespace bk::fake {

// Every piece of the program's state as it is before start-up.
void ResetProgram();

// What holds after every test: SendInput never met the installed hook, the program holds no key
// down, no timer runs, no thread input stays attached, no handle stays open, and none of the
// program's keys came back as new ones for ever.
void ExpectSound(FakeOs& fake);

// A folder of its own in the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder() { std::filesystem::remove_all(dir_); }
  // The folder as programDir holds it, with its trailing separator.
  std::string Dir() const { return dir_.string() + "/"; }
  // Writes the bytes as they are. The program's binding-file path for an image is
  // Dir() + "appbindings\" + name + ".cfg": on Linux one file of that name in the folder.
  std::string Write(const std::string& name, std::string_view contents) const;

 private:
  std::filesystem::path dir_;
};

class BkTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProgram(); }
  void TearDown() override {
    ExpectSound(fake);
    ResetProgram();
  }

  // Fonts, the input window and the layout window's buttons, as start-up makes them.
  void Start(const std::string& dir = "C:\\BkRemote\\") {
    OnInputWindowCreate();
    InitOsd(fake.CreateInputWindow(InputWindowValues()), dir);
  }
  // Runs the steps of `script`, separated by spaces:
  //   0-9 # *                  a digit key tapped; "#" and "*" are left Shift with 3 and 8
  //   enter esc left k ...     a key tapped by name, or a letter
  //   +KEY -KEY                that key going down, or up
  //   ext:KEY                  KEY tapped by another program (its own extra information)
  //   A B C D input viewer     a vendor button pressed and released
  //   input+ input-            INPUT's press report, or the release report, alone
  //   hold                     INPUT held for a second, then released
  //   play                     the media button Play
  //   250ms                    time passes
  //   click:LABEL click#N      a pointer click on a key of the active layout ("_" for a space)
  //   hide destroy             SetLayoutVisible(false); the input window destroyed
  void Run(std::string_view script) {
    for (std::size_t end = 0; !script.empty();
         script.remove_prefix(std::min(end + 1, script.size()))) {
      end = std::min(script.find(' '), script.size());
      if (end != 0) Step(script.substr(0, end));
    }
  }
  std::string Typed() { return TypedText(fake.Received()); }  // what the application received
  std::string Selected();                                     // what the selection strip shows
  std::string Latched();  // the labels of the active layout's latched keys, joined by ","
  // Paints key `index` of the active layout with its button in `state`; returns what was drawn.
  std::string Paint(int index, std::uint32_t state);

  FakeOs fake;

 private:
  void Step(std::string_view step);
};

}  // namespace bk::fake
