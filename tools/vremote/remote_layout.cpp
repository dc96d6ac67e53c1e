#include "remote_layout.h"

namespace bk::vremote {

namespace {

constexpr std::uint32_t kGrey = 0x00505050;
constexpr std::uint32_t kDark = 0x00383838;
constexpr std::uint32_t kGreen = 0x00308030;
constexpr std::uint32_t kRed = 0x002828B0;
constexpr std::uint32_t kBlue = 0x00A05020;
constexpr std::uint32_t kAmber = 0x000090C0;

std::vector<RemoteKey> Build() {
  std::vector<RemoteKey> keys;
  const int left = 12, pitch = 70, w = 64, h = 30, gap = 6;
  auto row = [&](int y, std::initializer_list<RemoteKey> items) {
    int x = left;
    for (RemoteKey key : items) {
      key.x = x;
      key.y = y;
      if (key.width == 0) key.width = w;
      if (key.height == 0) key.height = h;
      keys.push_back(key);
      x += key.width == w ? pitch : key.width + gap;
    }
  };
  auto media = [](std::string_view label, std::string_view name, std::uint32_t colour = kGrey) {
    return RemoteKey{label, name, 0, false, 0, 0, 0, 0, colour};
  };
  auto key = [](std::string_view label, std::uint16_t vk, bool shift,
                std::uint32_t colour = kDark) {
    return RemoteKey{label, {}, vk, shift, 0, 0, 0, 0, colour};
  };
  int y = 12;
  row(y, {media("VIEWER", "viewer", kBlue), media("INPUT", "input", kBlue), media("MENU", "menu")});
  y += h + gap;
  row(y, {media("GUIDE", "guide"), media("INFO", "info"), media("BACK", "back")});
  y += h + gap;
  row(y, {media("ZOOM", "zoom"), media("FULL", "fullscreen"), media("REC", "record", kRed)});
  y += h + gap + 4;
  row(y, {media("<<", "rewind"), media("PLAY", "play", kGreen), media(">>", "fastforward")});
  y += h + gap;
  row(y, {media("|<<", "previous"), media("PAUSE", "pause"), media(">>|", "next")});
  y += h + gap;
  row(y, {media("STOP", "stop"), media("CH+", "channelup"), media("CH-", "channeldown")});
  y += h + gap + 4;
  {
    const int small = 49;
    RemoteKey a = media("A", "a", kRed), b = media("B", "b", kGreen), c = media("C", "c", kAmber),
              d = media("D", "d", kBlue);
    for (RemoteKey* k : {&a, &b, &c, &d}) k->width = small;
    row(y, {a, b, c, d});
  }
  y += h + gap + 4;
  row(y, {key("1", '1', false), key("2 abc", '2', false), key("3 def", '3', false)});
  y += h + gap;
  row(y, {key("4 ghi", '4', false), key("5 jkl", '5', false), key("6 mno", '6', false)});
  y += h + gap;
  row(y, {key("7 pqrs", '7', false), key("8 tuv", '8', false), key("9 wxyz", '9', false)});
  y += h + gap;
  row(y, {key("*", '8', true), key("0", '0', false), key("#", '3', true)});
  y += h + gap;
  row(y, {key("ESC", 0x1B, false, kGrey), key("", 0, false, 0), key("ENTER", 0x0D, false, kGrey)});
  // The gap in the last row is a spacer, not a key.
  keys.erase(keys.end() - 2);
  return keys;
}

}  // namespace

const std::vector<RemoteKey>& RemoteKeys() {
  static const std::vector<RemoteKey> keys = Build();
  return keys;
}

}  // namespace bk::vremote
