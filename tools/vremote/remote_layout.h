// The face of the interactive virtual remote: every button, where it sits, and what it sends.
// The end-to-end harness reads the same table to click a button by name.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace bk::vremote {

struct RemoteKey {
  std::string_view label;   // painted on the button
  std::string_view button;  // a remote button name for ParseButton, or empty for a keyboard key
  std::uint16_t vk;         // the keyboard key for the number pad, Enter and Escape
  bool shift;               // "*" and "#" are left Shift with 8 and 3
  int x, y, width, height;  // client coordinates
  std::uint32_t colour;     // 0x00BBGGRR face colour
};

const std::vector<RemoteKey>& RemoteKeys();
// The window's client size.
constexpr int kRemoteWidth = 232;
constexpr int kRemoteHeight = 486;
constexpr const char kRemoteWindowClass[] = "BkVirtualRemoteWindow";
constexpr const char kRemoteWindowTitle[] = "BkRemote virtual remote";

}  // namespace bk::vremote
