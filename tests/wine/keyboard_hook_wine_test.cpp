// The layout's keyboard hook for real: keys that another program injects reach the hook, digits
// are swallowed and become taps, the commit types into the foreground application, the program's
// own keys pass, and a click on a key types it without taking the focus. One process: the layout on
// the main thread, a recording application on a thread of its own, and the other program's
// SendInput from a third.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/program_state.h"
#include "osd/layout_tables.h"
#include "osd/osd_window.h"
#include "osd/text_entry.h"
#include "osd_harness.h"
#include "platform/win32/win32_os.h"

namespace bk {
namespace {

// An application window that records what it receives: key presses and characters.
class Recorder {
 public:
  Recorder() {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] { Run(); });
    WaitForSingleObject(ready_, 10000);
  }
  ~Recorder() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    CloseHandle(ready_);
  }
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  HWND Window() const { return window_; }
  std::string Chars() {
    std::lock_guard lock(mutex_);
    return chars_;
  }
  int Presses(UINT vk) {
    std::lock_guard lock(mutex_);
    int count = 0;
    for (UINT pressed : presses_) count += pressed == vk;
    return count;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    chars_.clear();
    presses_.clear();
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Recorder*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)) {
      std::lock_guard lock(self->mutex_);
      self->presses_.push_back(static_cast<UINT>(wParam));
    }
    if (self != nullptr && message == WM_CHAR) {
      std::lock_guard lock(self->mutex_);
      self->chars_ += static_cast<char>(wParam);
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  void Run() {
    threadId_ = GetCurrentThreadId();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BkKeyRecorder";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, "BkKeyRecorder", "recorder", WS_OVERLAPPEDWINDOW, 50, 50, 400, 300,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    SetFocus(window_);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    SetEvent(ready_);
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    DestroyWindow(window_);
  }

  HANDLE ready_ = nullptr;
  DWORD threadId_ = 0;
  HWND window_ = nullptr;
  std::thread thread_;
  std::mutex mutex_;
  std::string chars_;
  std::vector<UINT> presses_;
};

INPUT Key(WORD vk, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  return input;  // dwExtraInfo 0, as another program sends them
}

// Another program's SendInput, from a thread of its own, while this thread serves the hook and
// its own windows.
void FromAnotherThread(std::vector<INPUT> inputs) {
  std::atomic<bool> done = false;
  std::thread other([&] {
    for (INPUT& input : inputs) {
      SendInput(1, &input, sizeof(INPUT));
      Sleep(20);
    }
    done = true;
  });
  wine::PumpUntil([&] { return done.load(); }, 10000);
  other.join();
}

void Tap(WORD vk) {
  FromAnotherThread({Key(vk, true), Key(vk, false)});
}

// The program's keyboard as Windows treats it. Windows runs the low-level hooks for injected keys
// when its input thread posts them, after the callback that sent them has returned and the hook
// has been put back; Wine looks for hooks inside SendInput itself, when the program has just
// taken its own out. This keyboard sends each call from a thread of its own a moment later, so
// that Wine too finds the hook installed. With `marked` false the keys carry no marker.
class LateKeyboard final : public Keyboard {
 public:
  explicit LateKeyboard(bool marked) : marked_(marked), thread_([this] { Run(); }) {}
  ~LateKeyboard() override {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  LateKeyboard(const LateKeyboard&) = delete;
  LateKeyboard& operator=(const LateKeyboard&) = delete;

  unsigned SendKeys(std::span<const KeyInput> events) override {
    std::vector<KeyInput> copy(events.begin(), events.end());
    if (!marked_) {
      for (KeyInput& event : copy) event.extraInfo = 0;
    }
    {
      std::lock_guard lock(mutex_);
      waiting_.push_back(std::move(copy));
    }
    ++calls;
    wake_.notify_one();
    return static_cast<unsigned>(events.size());
  }
  std::uint16_t ScanCode(std::uint8_t vk) override { return real_.ScanCode(vk); }
  KeyValue KeyForChar(char ch) override { return real_.KeyForChar(ch); }
  bool AsyncKeyDown(std::uint8_t vk) override { return real_.AsyncKeyDown(vk); }
  bool KeyToggled(std::uint8_t vk) override { return real_.KeyToggled(vk); }

  std::atomic<int> calls = 0;  // SendInput calls that the program made

 private:
  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stop_ || !waiting_.empty(); });
      if (stop_) return;
      std::vector<KeyInput> events = std::move(waiting_.front());
      waiting_.pop_front();
      lock.unlock();
      Sleep(20);  // the program's callback returns and its hook is back
      real_.SendKeys(events);
      lock.lock();
    }
  }

  Keyboard& real_ = win32::KeyboardImpl();
  bool marked_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::vector<KeyInput>> waiting_;
  bool stop_ = false;
  std::thread thread_;
};

Recorder* recorder = nullptr;

class HookWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallOs(win32::RealOs());
    SetForegroundWindow(recorder->Window());
    ASSERT_TRUE(wine::PumpUntil([] { return GetForegroundWindow() == recorder->Window(); }, 5000));
    SetLayoutVisible(true);
    ASSERT_TRUE(layoutShown);
    ASSERT_NE(keyboardHook, 0u);
    wine::PumpUntil([] { return fadeAlpha == 255; }, 3000);
    recorder->Clear();
  }
  void TearDown() override {
    SetLayoutVisible(false);
    wine::PumpFor(1200);  // a running commit timer fires with nothing selected
    InstallOs(win32::RealOs());
  }
};

TEST_F(HookWineTest, DigitsThatAnotherProgramInjectsAreSwallowedAndBecomeTaps) {
  Tap('2');
  ASSERT_TRUE(wine::PumpUntil([] { return currentSequence == "2"; }, 3000));
  Tap('3');
  ASSERT_TRUE(wine::PumpUntil([] { return currentSequence == "3"; }, 3000));
  EXPECT_EQ(recorder->Presses('2'), 0);
  EXPECT_EQ(recorder->Presses('3'), 0);
  EXPECT_TRUE(wine::PumpUntil([] { return recorder->Chars() == "a"; }, 3000))
      << "the 3 types the a that the 2 selected; received \"" << recorder->Chars() << "\"";
  EXPECT_EQ(currentSequence, "3") << "the typed a did not reset the entry";
}

TEST_F(HookWineTest, TwoTwosAndThenOneSecondTypeB) {
  Tap('2');
  Tap('2');
  ASSERT_TRUE(wine::PumpUntil([] { return currentSequence == "22"; }, 3000));
  wine::PumpFor(700);
  EXPECT_EQ(recorder->Chars(), "") << "nothing before the second is up";
  EXPECT_TRUE(wine::PumpUntil([] { return recorder->Chars() == "b"; }, 2000))
      << "received \"" << recorder->Chars() << "\"";
  wine::PumpFor(500);
  EXPECT_EQ(recorder->Chars(), "b");
}

TEST_F(HookWineTest, EnterOnTheLayoutArrivesExactlyOnce) {
  Tap(VK_RETURN);
  wine::PumpFor(1500);
  EXPECT_EQ(recorder->Presses(VK_RETURN), 1);
}

// Keys that the program types come back through its hook when the system delivers them after
// the callback: they pass, and Enter arrives once.
TEST_F(HookWineTest, EnterArrivesExactlyOnceWhenTheProgramsKeysComeBackThroughTheHook) {
  LateKeyboard keyboard(true);
  Os late = win32::RealOs();
  late.keyboard = &keyboard;
  InstallOs(late);
  Tap(VK_RETURN);
  wine::PumpFor(1500);
  EXPECT_EQ(keyboard.calls, 1);
  EXPECT_EQ(recorder->Presses(VK_RETURN), 1);
  SetLayoutVisible(false);
  wine::PumpFor(200);
}

// As the program would be without its marker: each Enter it types comes back as a new Enter tap.
TEST_F(HookWineTest, WithoutTheMarkerTheTypedEnterComesBackAsANewTapForEver) {
  LateKeyboard keyboard(false);
  Os late = win32::RealOs();
  late.keyboard = &keyboard;
  InstallOs(late);
  Tap(VK_RETURN);
  wine::PumpFor(1500);
  const int sent = keyboard.calls;
  const int received = recorder->Presses(VK_RETURN);
  SetLayoutVisible(false);  // the hook goes, and with it the loop
  wine::PumpFor(200);
  std::printf("without the marker: %d Enter keystrokes typed in 1.5 s, %d reached the recorder\n",
              sent, received);
  EXPECT_GT(sent, 10);
  EXPECT_EQ(received, 0) << "every one was swallowed as the next tap";
}

TEST_F(HookWineTest, RightShiftWithThreeReachesTheApplication) {
  FromAnotherThread({Key(VK_RSHIFT, true), Key('3', true), Key('3', false), Key(VK_RSHIFT, false)});
  EXPECT_TRUE(wine::PumpUntil([] { return recorder->Chars() == "#"; }, 3000))
      << "received \"" << recorder->Chars() << "\"";
  EXPECT_TRUE(currentSequence.empty());
}

// A left click of the mouse at a point of the screen.
void Click(POINT point) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  std::vector<INPUT> inputs(3);
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((point.x * 65535LL + width / 2) / (width - 1));
    input.mi.dy = static_cast<LONG>((point.y * 65535LL + height / 2) / (height - 1));
  }
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  FromAnotherThread(inputs);
}

// The layout is never activated: a click on a key leaves the application in front with the focus,
// and the key is typed there.
TEST_F(HookWineTest, AClickOnAKeyTypesItIntoTheApplicationInFront) {
  RECT key;
  GetWindowRect(reinterpret_cast<HWND>(keyboardLayout[35].button), &key);  // q
  Click({(key.left + key.right) / 2, (key.top + key.bottom) / 2});
  EXPECT_TRUE(wine::PumpUntil([] { return recorder->Chars() == "q"; }, 3000))
      << "received \"" << recorder->Chars() << "\"";
  EXPECT_EQ(GetForegroundWindow(), recorder->Window());
}

}  // namespace
}  // namespace bk

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  bk::wine::StartLayoutWindow();
  bk::Recorder recorder;
  bk::recorder = &recorder;
  const int result = RUN_ALL_TESTS();
  bk::recorder = nullptr;
  return result;
}
