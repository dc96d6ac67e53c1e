#include "fake/bk_test.h"

#include <cctype>
#include <charconv>
#include <fstream>
#include <random>

#include "app/button_dispatch.h"
#include "app/startup.h"
#include "app/vendor_buttons.h"
#include "app/window_switcher.h"
#include "bindings/foreground_tracking.h"
#include "osd/osd_paint.h"
#include "osd/osd_window.h"
#include "osd/text_entry.h"
#include "state/program_state.h"

namespace bk::fake {

void ResetProgram() {
  ResetProgramState();
  ResetVendorButtonState();
  ResetOsdState();
  ResetBindingsState();
}

void ExpectSound(FakeOs& fake) {
  fake.Deliver();
  EXPECT_FALSE(fake.ranAway) << "the program's own keys kept coming back as new taps";
  EXPECT_EQ(fake.callsWhileHooked, 0) << "SendInput was called while the hook was installed";
  for (std::uint8_t vk : fake.HeldByProgram()) ADD_FAILURE() << "key " << int(vk) << " left down";
  for (const auto& [id, timer] : fake.timers) ADD_FAILURE() << "timer " << id << " left running";
  EXPECT_TRUE(fake.attached.empty()) << "thread input was left attached";
  for (const auto& [handle, what] : fake.handles) ADD_FAILURE() << what << " left open";
}

TempFolder::TempFolder()
    : dir_(std::filesystem::temp_directory_path() /
           ("bk-test-" + std::to_string(std::random_device{}()))) {
  std::filesystem::create_directories(dir_);
}

std::string TempFolder::Write(const std::string& name, std::string_view contents) const {
  const std::filesystem::path path = dir_ / name;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(contents.data(), std::ssize(contents));
  return path.string();
}

namespace {

std::uint8_t KeyOfName(std::string_view name) {
  static const std::map<std::string_view, std::uint8_t> kKeys = {
      {"enter", vk::Return}, {"esc", vk::Escape},    {"left", vk::Left},
      {"right", vk::Right},  {"up", vk::Up},         {"down", vk::Down},
      {"caps", vk::Capital}, {"lshift", vk::LShift}, {"rshift", vk::RShift}};
  if (name.size() == 1 && (std::islower(name[0]) || std::isdigit(name[0])))
    return static_cast<std::uint8_t>(std::toupper(name[0]));
  const auto found = kKeys.find(name);
  return found == kKeys.end() ? 0 : found->second;
}

// The key of the active layout with this label, "_" for a space; -1 when there is none.
int IndexOf(std::string_view label) {
  for (int i = 0; const LayoutKey* key = ActiveKey(i); ++i) {
    if (key->label == (label == "caps_lock" ? "caps lock" : label)) return i;
  }
  return -1;
}

}  // namespace

void BkTest::Step(std::string_view step) {
  const auto vendor = [this](std::uint8_t number) {
    fake.Callback([number] { VendorButton(number); });
  };
  const auto bad = [step] { FAIL() << "unknown script step: " << step; };
  const std::string_view arg = step.substr(std::min<std::size_t>(step.find(':') + 1, step.size()));
  unsigned ms = 0;
  if (step == "#" || step == "*") {
    fake.Input(vk::LShift, true);
    Run(step == "#" ? "3" : "8");
    fake.Input(vk::LShift, false);
  } else if (step.size() == 1 && step[0] >= 'A' && step[0] <= 'D') {
    vendor(static_cast<std::uint8_t>(kButtonA + step[0] - 'A'));
    vendor(kVendorRelease);
  } else if (step == "input" || step == "input+" || step == "viewer") {
    vendor(step == "viewer" ? kViewerButton : kInputButton);
    if (step != "input+") vendor(kVendorRelease);
  } else if (step == "input-") {
    vendor(kVendorRelease);
  } else if (step == "hold") {
    Run("input+ 1000ms input-");
  } else if (step == "play") {
    fake.Callback([] { DispatchButton(0x0000000C000100B0); });
  } else if (step.ends_with("ms") &&
             std::from_chars(step.data(), step.data() + step.size() - 2, ms).ptr ==
                 step.data() + step.size() - 2) {
    fake.Advance(ms);
  } else if (step.starts_with("click")) {
    int index = IndexOf(arg);
    if (step.starts_with("click#"))
      std::from_chars(step.data() + 6, step.data() + step.size(), index);
    if (ActiveKey(index) == nullptr) return bad();
    // The button paints pushed, then released, and then reports the click.
    Paint(index, kBstPushed | kBstHot);
    Paint(index, kBstHot);
    fake.Callback([button = ActiveKey(index)->button] { KeyButtonCommand(button); });
  } else if (step == "hide") {
    fake.Callback([] { SetLayoutVisible(false); });
  } else if (step == "destroy") {
    fake.Callback([] { OnInputWindowDestroy(); });
  } else if (step.starts_with("ext:") && KeyOfName(arg) != 0) {
    fake.Input(KeyOfName(arg), true, 0x5A5A);
    fake.Input(KeyOfName(arg), false, 0x5A5A);
  } else if ((step[0] == '+' || step[0] == '-') && KeyOfName(step.substr(1)) != 0) {
    fake.Input(KeyOfName(step.substr(1)), step[0] == '+');
  } else if (KeyOfName(step) != 0) {
    fake.Input(KeyOfName(step), true);
    fake.Input(KeyOfName(step), false);
  } else {
    bad();
  }
}

std::string BkTest::Paint(int index, std::uint32_t state) {
  const LayoutKey* key = ActiveKey(index);
  Window& button = fake.Find(key->button);
  button.buttonState = state;
  RecordingCanvas canvas;
  const Rect size{0, 0, button.rect.right - button.rect.left, button.rect.bottom - button.rect.top};
  fake.Callback([&] { PaintOsdItem(canvas, key->button, size); });
  return canvas.ops;
}

std::string BkTest::Selected() {
  RecordingCanvas canvas;
  PaintOsdItem(canvas, selectionStrip, {0, 0, 750, 25});
  const std::size_t text = canvas.ops.find("; T'") + 4;
  return canvas.ops.substr(text, canvas.ops.rfind("' ") - text);
}

std::string BkTest::Latched() {
  std::string labels;
  for (int i = 0; const LayoutKey* key = ActiveKey(i); ++i) {
    if (key->latched != 0) labels += (labels.empty() ? "" : ",") + std::string(key->label);
  }
  return labels;
}

}  // namespace bk::fake
