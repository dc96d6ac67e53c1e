// Buttons B, C and D on real windows that belong to another thread, as another program's would.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/os.h"
#include "windows/foreground_control.h"
#include "wine_test_os.h"

namespace bk {
namespace {

// A thread that owns some ordinary application windows and pumps their messages.
class AppThread {
 public:
  explicit AppThread(int windows) {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, windows] { Run(windows); });
    WaitForSingleObject(ready_, 10000);
  }
  ~AppThread() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    CloseHandle(ready_);
  }
  HWND operator[](std::size_t i) const { return windows_[i]; }
  DWORD ThreadId() const { return threadId_; }
  HWND Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(threadId_, &info) ? info.hwndFocus : nullptr;
  }

 private:
  void Run(int windows) {
    threadId_ = GetCurrentThreadId();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BkTestApp";
    RegisterClassA(&windowClass);
    for (int i = 0; i < windows; ++i) {
      const std::string title = "test window " + std::to_string(i);
      HWND window = CreateWindowExA(0, "BkTestApp", title.c_str(), WS_OVERLAPPEDWINDOW,
                                    100 + 40 * i, 100 + 40 * i, 300, 200, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
      ShowWindow(window, SW_SHOWNORMAL);
      SetForegroundWindow(window);
      windows_.push_back(window);
    }
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before we signal
    SetEvent(ready_);
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    for (HWND window : windows_) DestroyWindow(window);
  }

  HANDLE ready_ = nullptr;
  DWORD threadId_ = 0;
  std::vector<HWND> windows_;
  std::thread thread_;
};

class WindowControlTest : public ::testing::Test {
 protected:
  void SetUp() override { wine::InstallTestOs(); }

  // Brings `window` to the front as the user would, and waits until it is there.
  static void ComeForward(HWND window) {
    SetForegroundWindow(window);
    ASSERT_TRUE(wine::WaitFor([&] { return GetForegroundWindow() == window; }));
  }
};

TEST_F(WindowControlTest, BMinimisesAndBringsTheNextWindowForward) {
  AppThread app(3);
  ComeForward(app[2]);

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  ForegroundWindowAction(false);
  QueryPerformanceCounter(&end);
  // A figure for the notes, not a limit.
  std::printf("button B on the real desktop: %.2f ms\n",
              1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
  EXPECT_TRUE(wine::WaitFor([&] { return IsIconic(app[2]) && GetForegroundWindow() == app[1]; }))
      << "iconic " << IsIconic(app[2]) << ", foreground " << GetForegroundWindow();
  EXPECT_TRUE(wine::WaitFor([&] { return app.Focus() == app[1]; }));

  ForegroundWindowAction(false);
  EXPECT_TRUE(wine::WaitFor([&] { return IsIconic(app[1]) && GetForegroundWindow() == app[0]; }));
  EXPECT_FALSE(IsIconic(app[0]));
}

TEST_F(WindowControlTest, CMaximisesThenRestores) {
  AppThread app(1);
  ComeForward(app[0]);

  ForegroundWindowAction(true);
  EXPECT_TRUE(wine::WaitFor([&] { return IsZoomed(app[0]) != FALSE; }));

  ForegroundWindowAction(true);
  EXPECT_TRUE(wine::WaitFor([&] { return !IsZoomed(app[0]) && !IsIconic(app[0]); }));
  EXPECT_TRUE(IsWindowVisible(app[0]));
}

TEST_F(WindowControlTest, DClosesTheForegroundWindowOnly) {
  AppThread app(2);
  ComeForward(app[1]);

  os().windows->Post(os().desktop->Foreground(), msg::Close, 0, 0);

  EXPECT_TRUE(wine::WaitFor([&] { return !IsWindow(app[1]); }));
  EXPECT_TRUE(IsWindow(app[0]));
}

}  // namespace
}  // namespace bk
