// Our own names for the few operating-system values that the logic handles. Nothing here
// includes <windows.h>; the Win32 layer converts at its edge.
#pragma once

#include <cstdint>

namespace bk {

// Low byte: a virtual-key code. High byte: shift-state bits as VkKeyScanA returns them
// (bit 8 Shift, bit 9 Ctrl, bit 10 Alt). 0xFFFF: no key of the layout makes the character.
using KeyValue = std::uint16_t;
inline constexpr KeyValue kNoKey = 0xFFFF;
inline constexpr KeyValue kShiftBit = 0x0100;
inline constexpr KeyValue kCtrlBit = 0x0200;
inline constexpr KeyValue kAltBit = 0x0400;

// One remote report: usage page << 32 | usage << 16 | byte 2 << 8 | byte 1.
using ButtonCode = std::uint64_t;

// The longest path that Windows passes (32,767 UTF-16 units) at up to three bytes each in UTF-8,
// the program's code page, and the terminator: a path of 260 characters may take 780 bytes.
inline constexpr std::uint32_t kLongestPathBytes = 32767 * 3 + 1;

// Opaque handles. 0 always means "none".
using WindowId = std::uintptr_t;
using HookHandle = std::uintptr_t;
using KernelHandle = std::uintptr_t;
using ProcessId = std::uint32_t;
using ThreadId = std::uint32_t;

using TimerId = unsigned;
inline constexpr TimerId TIMER_COMMIT = 0;
inline constexpr TimerId TIMER_SWITCHER = 1;
inline constexpr TimerId TIMER_INPUT_HOLD = 2;
inline constexpr TimerId TIMER_FADE = 3;
inline constexpr TimerId TIMER_VIEWER = 4;

// Virtual-key codes that the logic names. Kept in a namespace of their own so that they never
// meet the VK_ macros of <windows.h>.
namespace vk {
inline constexpr std::uint8_t Back = 8;
inline constexpr std::uint8_t Tab = 9;
inline constexpr std::uint8_t Return = 13;
inline constexpr std::uint8_t Shift = 16;
inline constexpr std::uint8_t Control = 17;
inline constexpr std::uint8_t Menu = 18;
inline constexpr std::uint8_t Capital = 20;
inline constexpr std::uint8_t Escape = 27;
inline constexpr std::uint8_t Space = 32;
inline constexpr std::uint8_t Prior = 33;
inline constexpr std::uint8_t Next = 34;
inline constexpr std::uint8_t End = 35;
inline constexpr std::uint8_t Home = 36;
inline constexpr std::uint8_t Left = 37;
inline constexpr std::uint8_t Up = 38;
inline constexpr std::uint8_t Right = 39;
inline constexpr std::uint8_t Down = 40;
inline constexpr std::uint8_t Snapshot = 44;
inline constexpr std::uint8_t Insert = 45;
inline constexpr std::uint8_t Delete = 46;
inline constexpr std::uint8_t LWin = 0x5B;
inline constexpr std::uint8_t RWin = 0x5C;
inline constexpr std::uint8_t Apps = 0x5D;
inline constexpr std::uint8_t Numpad0 = 0x60;
inline constexpr std::uint8_t Divide = 0x6F;
inline constexpr std::uint8_t F1 = 0x70;
inline constexpr std::uint8_t NumLock = 0x90;
inline constexpr std::uint8_t Scroll = 0x91;
inline constexpr std::uint8_t LShift = 0xA0;
inline constexpr std::uint8_t RShift = 0xA1;
inline constexpr std::uint8_t LControl = 0xA2;
inline constexpr std::uint8_t RControl = 0xA3;
inline constexpr std::uint8_t LMenu = 0xA4;
inline constexpr std::uint8_t RMenu = 0xA5;
}  // namespace vk

// Every event that the program injects carries this value in dwExtraInfo, so that its own
// keyboard hook can tell the program's keys from the user's.
inline constexpr std::uintptr_t kOwnInputMarker = 0x426B5231;  // "BkR1"

// Key-event flags, with the values of KEYEVENTF_*.
inline constexpr std::uint32_t kKeyEventExtended = 0x1;
inline constexpr std::uint32_t kKeyEventKeyUp = 0x2;

// One INPUT_KEYBOARD record.
struct KeyInput {
  std::uint16_t vk = 0;
  std::uint16_t scan = 0;
  std::uint32_t flags = 0;
  std::uintptr_t extraInfo = 0;
  bool operator==(const KeyInput&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const Rect&) const = default;
};

}  // namespace bk
