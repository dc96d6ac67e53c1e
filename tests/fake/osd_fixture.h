// A fixture for the on-screen layout: the program's window made as start-up makes it, with the
// fade timer routed as the window procedure routes it.
#pragma once

#include "app/startup.h"
#include "fake/bk_test.h"
#include "osd/osd_window.h"

namespace bk::fake {

class OsdTest : public BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    fake.timers.onFire = [](TimerId id) {
      if (id == TIMER_FADE) FadeInStep();
    };
  }

  // Fonts, the input window and InitOsd, as start-up does them.
  WindowId Start() {
    OnInputWindowCreate();
    window = fake.shell.CreateInputWindow(InputWindowValues());
    InitOsd(window, "C:\\BkRemote\\");
    return window;
  }

  FakeWindow& Window() { return fake.layoutWindow.At(window); }
  bool Layered() { return (Window().exStyle & ws::ExLayered) != 0; }

  WindowId window = 0;
};

}  // namespace bk::fake
