// The two built-in on-screen layouts: one record per key, closed by an end record of width 0.
// A key's index in its layout is its identity: its button's user data, its sequenceMap value.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace bk {

// What choosing a key does.
enum class KeyKind : std::int32_t {
  character = 0,  // taps wait for the commit delay; a click types it at once
  immediate = 1,  // typed the moment it is chosen
  modifier = 2,   // latches, holding its key down
  lock = 3,       // latches and taps its key (Caps Lock)
  close = 4,      // a click hides the layout
};

// How a key is painted.
enum class KeyStyle : std::uint32_t {
  normal = 1,
  special = 2,  // darker face, dimmer label
  small = 3,    // dark like special, label in the small font
};

struct LayoutKey {
  std::string_view label;
  std::string_view shiftLabel;
  char ch = 0;       // 0: the key types no character
  char shiftCh = 0;  // 0: none in the shifted form
  KeyValue vk = 0;   // completed from ch when the button is made
  KeyValue shiftVk = 0;
  std::uint8_t capsAffects = 0;
  KeyKind kind = KeyKind::character;
  KeyStyle style = KeyStyle::normal;
  double width = 0;  // 0: the end record
  double height = 0;
  double x = 0;  // layout coordinates; layout point (0, 0) is window point (15, 15)
  double y = 0;
  std::string_view hint;
  std::string_view sequence;
  // Run-time state.
  WindowId button = 0;
  std::uint8_t latched = 0;
  std::uint8_t selected = 0;
  std::uint8_t pushed = 0;
};

template <std::size_t KeyCount>
using KeyLayout = std::array<LayoutKey, KeyCount + 1>;

inline constexpr std::size_t kKeyboardKeyCount = 83;
inline constexpr std::size_t kPhonepadKeyCount = 91;

extern KeyLayout<kKeyboardKeyCount> keyboardLayout;
extern KeyLayout<kPhonepadKeyCount> phonepadLayout;

// The number of keys before the end record.
int KeyCount(const LayoutKey* layout);

// Puts both layouts back as they were built: table values, no buttons, nothing latched.
void RestoreLayoutTables();

}  // namespace bk
