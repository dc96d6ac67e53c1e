// The program driven as its user drives it, for scripts of text entry: start-up as far as the
// message loop, the timers routed as the window procedure routes them, and one script step per
// key, button, click or stretch of time.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "fake/fake_os.h"

namespace bk::fake {

class EntryDriver {
 public:
  explicit EntryDriver(FakeOs& fake) : fake_(fake) {}

  // Fonts, the input window and InitOsd, as start-up makes them; WM_TIMER routed.
  void Start();
  // Runs the steps of `script`, separated by spaces:
  //   0-9  # *                 a digit key tapped; "#" and "*" are left Shift with 3 and 8
  //   enter esc left ... k np5 a key tapped by name, a letter, or a numeric-keypad digit
  //   +KEY -KEY                that key going down, or up
  //   ext:KEY                  KEY tapped by another program (its own extra information)
  //   A B C D input viewer     a vendor button pressed and released (INPUT: press, release)
  //   input+ input-            INPUT's press report, or the release report, alone
  //   hold                     INPUT held for 1000 ms, then released
  //   play                     the media button Play
  //   250ms                    time passes
  //   click:LABEL click#N      a pointer click on a key of the active layout ("_" for a space)
  //   press:LABEL              the pointer goes down on a key and stays there
  //   show hide destroy        SetLayoutVisible(true/false); the input window destroyed
  void Run(std::string_view script);
  void Step(std::string_view step);

  // What the foreground application has received, as text.
  std::string Typed();
  // The text that the selection strip shows.
  std::string Selected();
  // The labels of the latched keys of the active layout, in layout order, joined by ",".
  std::string Latched() const;
  // The key of the active layout with this label ("_" for a space), or -1.
  int IndexOf(std::string_view label) const;
  // The keys that the program should hold down now: latched modifiers and the switcher's key.
  std::set<std::uint8_t> ExpectedHeld() const;

 private:
  void Paint(int index, std::uint32_t buttonState);
  FakeOs& fake_;
};

// The virtual-key code of a key's script name, or 0.
std::uint8_t KeyOfName(std::string_view name);

}  // namespace bk::fake
