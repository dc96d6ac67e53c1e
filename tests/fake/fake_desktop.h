// The desktop's windows, as far as the foreground and the owner of a window go.
#pragma once

#include <map>

#include "platform/os.h"

namespace bk::fake {

class FakeDesktop final : public Desktop {
 public:
  struct Window {
    ThreadId thread = 0;
    ProcessId process = 0;
  };

  WindowId Foreground() override { return foreground; }
  ThreadId WindowThreadProcess(WindowId window, ProcessId* processId) override;

  // Window styles, states and the Z order are not modelled here.
  bool WindowInfoStyle(WindowId, std::uint32_t*) override { return false; }
  std::uint32_t Style(WindowId) override { return 0; }
  std::uint32_t ExStyle(WindowId) override { return 0; }
  bool IsZoomed(WindowId) override { return false; }
  bool IsIconic(WindowId) override { return false; }
  bool IsVisible(WindowId window) override { return windows.count(window) != 0; }
  bool Exists(WindowId window) override { return windows.count(window) != 0; }
  WindowId DesktopWindow() override { return 0; }
  WindowId TopChild(WindowId) override { return 0; }
  WindowId NextBelow(WindowId) override { return 0; }

  std::map<WindowId, Window> windows;
  WindowId foreground = 0;  // 0: no window is in front
};

}  // namespace bk::fake
