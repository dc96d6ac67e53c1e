// bk_input_spy.dll: a WH_GETMESSAGE hook that the harness puts on BkRemote.exe's GUI thread, to
// see the WM_INPUT messages that the program's own message loop takes, before the program acts on
// them. It records each report, with the class of the window it was sent to, in a shared block.
#pragma once

#include <cstdint>

namespace bk::e2e {

constexpr const char kSpyMapping[] = "BkE2eInputSpy";
constexpr const char kSpyHookProc[] = "InputSpyHook";

struct SpyRecord {
  std::uint16_t usagePage;
  std::uint16_t usage;
  std::uint32_t size;  // bytes of the report in `bytes`
  std::uint8_t bytes[8];
  char windowClass[32];  // the class of the window the message was for
};

struct SpyLog {
  volatile long attached;  // processes the spy was loaded into
  volatile long count;     // records written so far; the last kSpyCapacity are kept
  SpyRecord records[256];
};
constexpr long kSpyCapacity = 256;

}  // namespace bk::e2e
