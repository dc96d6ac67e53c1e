#include "fake/entry_driver.h"

#include <charconv>
#include <stdexcept>

#include "app/button_dispatch.h"
#include "app/program_state.h"
#include "app/startup.h"
#include "app/timers.h"
#include "app/vendor_buttons.h"
#include "app/window_switcher.h"
#include "fake/typed_text.h"
#include "osd/osd_paint.h"
#include "osd/osd_window.h"
#include "osd/text_entry.h"

namespace bk::fake {

namespace {

constexpr ButtonCode kPlayCode = 0x0000000C000100B0;

struct KeyName {
  std::string_view name;
  std::uint8_t vk;
};
constexpr KeyName kKeyNames[] = {
    {"enter", vk::Return},  {"esc", vk::Escape},    {"left", vk::Left},      {"right", vk::Right},
    {"up", vk::Up},         {"down", vk::Down},     {"tab", vk::Tab},        {"caps", vk::Capital},
    {"lshift", vk::LShift}, {"rshift", vk::RShift}, {"lctrl", vk::LControl}, {"lalt", vk::LMenu},
    {"space", vk::Space},   {"f5", vk::F1 + 4},     {"del", vk::Delete},     {"home", vk::Home},
};

[[noreturn]] void BadStep(std::string_view step) {
  throw std::invalid_argument("unknown script step: " + std::string(step));
}

}  // namespace

std::uint8_t KeyOfName(std::string_view name) {
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9')
    return static_cast<std::uint8_t>(name[0]);
  if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') {
    return static_cast<std::uint8_t>(name[0] - 'a' + 'A');
  }
  if (name.size() == 3 && name.substr(0, 2) == "np" && name[2] >= '0' && name[2] <= '9') {
    return static_cast<std::uint8_t>(vk::Numpad0 + name[2] - '0');
  }
  for (const KeyName& key : kKeyNames) {
    if (key.name == name) return key.vk;
  }
  return 0;
}

void EntryDriver::Start() {
  fake_.timers.onFire = [](TimerId id) { OnInputWindowTimer(id); };
  OnInputWindowCreate();
  const WindowId window = fake_.shell.CreateInputWindow(InputWindowValues());
  InitOsd(window, "C:\\BkRemote\\");
}

void EntryDriver::Run(std::string_view script) {
  while (!script.empty()) {
    const std::size_t space = script.find(' ');
    const std::string_view step = script.substr(0, space);
    if (!step.empty()) Step(step);
    if (space == std::string_view::npos) break;
    script.remove_prefix(space + 1);
  }
}

void EntryDriver::Step(std::string_view step) {
  FakeKeyboard& keys = fake_.keyboard;
  const auto callback = [&](const std::function<void()>& handler) { keys.Callback(handler); };
  const auto vendor = [&](std::uint8_t number) { callback([number] { VendorButton(number); }); };

  if (step == "#" || step == "*") {
    keys.Input(vk::LShift, true);
    keys.Tap(step == "#" ? '3' : '8');
    keys.Input(vk::LShift, false);
  } else if (step.size() == 1 && step[0] >= 'A' && step[0] <= 'D') {
    vendor(static_cast<std::uint8_t>(kButtonA + step[0] - 'A'));
    vendor(kVendorRelease);
  } else if (step == "input") {
    vendor(kInputButton);
    vendor(kVendorRelease);
  } else if (step == "input+") {
    vendor(kInputButton);
  } else if (step == "input-") {
    vendor(kVendorRelease);
  } else if (step == "hold") {
    vendor(kInputButton);
    fake_.timers.Advance(kInputHoldMs);
    vendor(kVendorRelease);
  } else if (step == "viewer") {
    vendor(kViewerButton);
    vendor(kVendorRelease);
  } else if (step == "play") {
    callback([] { DispatchButton(kPlayCode); });
  } else if (step.size() > 2 && step.substr(step.size() - 2) == "ms") {
    unsigned ms = 0;
    const auto [end, error] = std::from_chars(step.data(), step.data() + step.size() - 2, ms);
    if (error != std::errc() || end != step.data() + step.size() - 2) BadStep(step);
    fake_.timers.Advance(ms);
  } else if (step.starts_with("click:") || step.starts_with("click#")) {
    const std::string_view what = step.substr(6);
    int index = -1;
    if (step[5] == '#') {
      std::from_chars(what.data(), what.data() + what.size(), index);
    } else {
      index = IndexOf(what);
    }
    const LayoutKey* key = ActiveKey(index);
    if (key == nullptr) BadStep(step);
    // The button paints pushed, paints released, and then reports the click.
    Paint(index, kBstPushed | kBstHot);
    Paint(index, kBstHot);
    const WindowId button = key->button;
    callback([button] { KeyButtonCommand(button); });
  } else if (step.starts_with("press:")) {
    const int index = IndexOf(step.substr(6));
    if (index < 0) BadStep(step);
    Paint(index, kBstPushed | kBstHot);
  } else if (step == "show" || step == "hide") {
    callback([show = step == "show"] { SetLayoutVisible(show); });
  } else if (step == "destroy") {
    callback([] { OnInputWindowDestroy(); });
  } else if (step.starts_with("ext:")) {
    const std::uint8_t code = KeyOfName(step.substr(4));
    if (code == 0) BadStep(step);
    keys.Input(code, true, 0x5A5A);
    keys.Input(code, false, 0x5A5A);
  } else if (step[0] == '+' || step[0] == '-') {
    const std::uint8_t code = KeyOfName(step.substr(1));
    if (code == 0) BadStep(step);
    keys.Input(code, step[0] == '+');
  } else if (const std::uint8_t code = KeyOfName(step); code != 0) {
    keys.Tap(code);
  } else {
    BadStep(step);
  }
}

void EntryDriver::Paint(int index, std::uint32_t buttonState) {
  const LayoutKey* key = ActiveKey(index);
  FakeWindow& button = fake_.layoutWindow.At(key->button);
  button.buttonState = buttonState;
  const WindowId id = key->button;
  const Rect rect{0, 0, button.rect.right - button.rect.left, button.rect.bottom - button.rect.top};
  fake_.keyboard.Callback([id, rect] {
    RecordingCanvas canvas;
    PaintKey(canvas, id, rect);
  });
}

std::string EntryDriver::Typed() {
  return TypedText(fake_.keyboard.Received());
}

std::string EntryDriver::Selected() {
  RecordingCanvas canvas;
  PaintSelectionStrip(canvas, {0, 0, 750, 25});
  const auto texts = canvas.Of(CanvasOp::Kind::Text);
  return texts.empty() ? std::string() : texts.front()->text;
}

std::string EntryDriver::Latched() const {
  std::string labels;
  for (int i = 0; const LayoutKey* key = ActiveKey(i); ++i) {
    if (key->latched == 0) continue;
    if (!labels.empty()) labels += ",";
    labels += key->label;
  }
  return labels;
}

int EntryDriver::IndexOf(std::string_view label) const {
  std::string wanted(label);
  for (char& ch : wanted) {
    if (ch == '_') ch = ' ';
  }
  for (int i = 0; const LayoutKey* key = ActiveKey(i); ++i) {
    if (key->label == wanted) return i;
  }
  return -1;
}

std::set<std::uint8_t> EntryDriver::ExpectedHeld() const {
  std::set<std::uint8_t> held;
  for (int i = 0; const LayoutKey* key = ActiveKey(i); ++i) {
    if (key->latched != 0 && key->kind == KeyKind::modifier) {
      held.insert(static_cast<std::uint8_t>(key->vk));
    }
  }
  if (switcherActive) held.insert(SwitcherModifier());
  return held;
}

}  // namespace bk::fake
