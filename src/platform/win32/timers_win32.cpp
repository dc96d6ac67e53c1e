#include <windows.h>

#include "platform/win32/win32_os.h"
#include "state/program_state.h"

namespace bk::win32 {

namespace {

// Timers of the input window, without callback: they arrive as WM_TIMER.
class Win32Timers final : public Timers {
 public:
  void Start(TimerId id, unsigned milliseconds) override {
    SetTimer(reinterpret_cast<HWND>(inputWindow), id, milliseconds, nullptr);
  }
  void Stop(TimerId id) override { KillTimer(reinterpret_cast<HWND>(inputWindow), id); }
};

}  // namespace

Timers& TimersImpl() {
  static Win32Timers timers;
  return timers;
}

}  // namespace bk::win32
