// What one ButtonCode means, and acting on it.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace bk {

struct ButtonMeaning {
  enum class Kind { None, Media, Vendor };
  Kind kind = Kind::None;
  std::string_view name;    // a media button's binding name
  std::uint8_t number = 0;  // a vendor button's number
  bool operator==(const ButtonMeaning&) const = default;
};

// The decision of DispatchButton, as a pure function of the code.
ButtonMeaning ClassifyButton(ButtonCode code);

// The sixteen button names that binding files can bind, in table order.
inline constexpr std::string_view kMediaButtonNames[] = {
    "menu",   "guide", "channelup", "channeldown", "play", "pause", "record", "fastforward",
    "rewind", "next",  "previous",  "stop",        "info", "back",  "zoom",   "fullscreen"};

// Acts on one code: a media button sends its binding while the layout is down and does nothing
// while it is shown; vendor buttons go to VendorButton; every other code does nothing.
void DispatchButton(ButtonCode code);

}  // namespace bk
