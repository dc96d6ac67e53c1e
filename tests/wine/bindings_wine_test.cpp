// Binding files, foreground tracking and key injection on the real system: keys that SendInput
// delivers to a window of another thread, the image name that the platform reports for this
// process, and the C runtime's text mode.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/program_state.h"
#include "bindings/binding_file.h"
#include "bindings/foreground_tracking.h"
#include "bindings/key_injection.h"
#include "bindings/key_names.h"
#include "platform/win32/win32_os.h"

namespace bk {
namespace {

struct Received {
  UINT message;
  WPARAM key;
  bool operator==(const Received&) const = default;
};

void PrintTo(const Received& r, std::ostream* out) {
  const char* name = r.message == WM_KEYDOWN      ? "down"
                     : r.message == WM_KEYUP      ? "up"
                     : r.message == WM_SYSKEYDOWN ? "sysdown"
                     : r.message == WM_SYSKEYUP   ? "sysup"
                                                  : "char";
  *out << name << " " << r.key;
}

// A visible window in front, on a thread of its own, that records the keys it is sent.
class KeyRecorder {
 public:
  KeyRecorder() : thread_([this] { Run(); }) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return window_ != nullptr; });
  }
  ~KeyRecorder() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    thread_.join();
  }

  HWND Window() const { return window_; }

  // Waits, pumping this thread's messages (a low-level hook installed here runs inside them),
  // until `done` holds for what arrived or five seconds have passed.
  template <typename Done>
  std::vector<Received> WaitUntil(Done done) {
    const DWORD start = GetTickCount();
    for (;;) {
      {
        std::lock_guard lock(mutex_);
        if (done(received_) || GetTickCount() - start > 5000) return received_;
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
  }
  std::vector<Received> WaitForKeys(std::size_t count) {
    return WaitUntil([count](const std::vector<Received>& r) { return r.size() >= count; });
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    received_.clear();
  }
  bool InFront() const {
    for (int i = 0; i < 100 && GetForegroundWindow() != window_; ++i) Sleep(20);
    return GetForegroundWindow() == window_;
  }

  std::atomic<bool> recordChars{false};

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<KeyRecorder*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_SYSKEYDOWN:
      case WM_SYSKEYUP:
        self->Record({message, wParam});
        return 0;
      case WM_CHAR:
        if (self->recordChars) self->Record({message, wParam});
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
  }
  void Record(Received r) {
    std::lock_guard lock(mutex_);
    received_.push_back(r);
  }
  void Run() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BkKeyRecorder";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "BkKeyRecorder", "Key recorder", WS_OVERLAPPEDWINDOW, 50, 50,
                                  300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
    {
      std::lock_guard lock(mutex_);
      window_ = window;
    }
    changed_.notify_all();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Received> received_;
  HWND window_ = nullptr;
  std::thread thread_;
};

std::string OwnExecutableName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string full(path);
  return full.substr(full.rfind('\\') + 1);
}

class BindingsWineTest : public ::testing::Test {
 protected:
  // One recorder for all: without a window manager Wine waits two seconds for the X server
  // whenever a window goes away.
  static void SetUpTestSuite() { recorder = new KeyRecorder; }
  static void TearDownTestSuite() {
    delete recorder;
    recorder = nullptr;
  }

  void SetUp() override {
    recorder->Clear();
    recorder->recordChars = false;
    InstallOs(win32::RealOs());
    ResetProgramState();
    ResetBindingsState();
    BuildKeyNameTable();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::filesystem::path(temp) / ("bk-wine-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder_ / "appbindings");
    programDir = folder_.string() + "\\";
  }
  void TearDown() override {
    for (int vk : {VK_LCONTROL, VK_LSHIFT, VK_LMENU, int('N'), int('A')}) {
      EXPECT_FALSE(GetAsyncKeyState(vk) & 0x8000) << "key " << int(vk) << " left down";
    }
    if (keyboardHook != 0) os().hook->Remove(keyboardHook);
    ResetProgramState();
    ResetBindingsState();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::string WriteBindings(const std::string& name, const std::string& contents) {
    const std::string path = programDir + "appbindings\\" + name;
    std::ofstream(path, std::ios::binary) << contents;
    return path;
  }

  static KeyRecorder* recorder;
  std::filesystem::path folder_;
};

KeyRecorder* BindingsWineTest::recorder = nullptr;

TEST_F(BindingsWineTest, TheImageNameOfThisProcessNamesItsBindingFile) {
  Processes& processes = *os().processes;
  const KernelHandle process = processes.OpenForQuery(GetCurrentProcessId());
  ASSERT_NE(process, 0u);
  char image[kImageNameSize] = {};
  const std::uint32_t written = processes.ImageFileName(process, image, kImageNameSize);
  processes.Close(process);
  const std::string name(image, written);
  EXPECT_EQ(name.rfind("\\Device\\", 0), 0u) << name;
  EXPECT_EQ(BindingFilePath(programDir, name),
            programDir + "appbindings\\" + OwnExecutableName() + ".cfg")
      << name;
}

TEST_F(BindingsWineTest, SendBindingReachesTheWindowInFrontInChordOrder) {
  ASSERT_TRUE(recorder->InFront());
  WriteBindings(OwnExecutableName() + ".cfg", "\xEF\xBB\xBFplay=ctrl+shift+n\r\nstop=s\r\n");
  SendBinding("play");
  EXPECT_EQ(boundProcessId, GetCurrentProcessId());
  const std::vector<Received> expected = {{WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, VK_SHIFT},
                                          {WM_KEYDOWN, 'N'},        {WM_KEYUP, 'N'},
                                          {WM_KEYUP, VK_SHIFT},     {WM_KEYUP, VK_CONTROL}};
  EXPECT_EQ(recorder->WaitForKeys(expected.size()), expected);

  recorder->Clear();
  SendBinding("pause");  // not bound: nothing arrives
  SendBinding("stop");
  EXPECT_EQ(recorder->WaitForKeys(2), (std::vector<Received>{{WM_KEYDOWN, 'S'}, {WM_KEYUP, 'S'}}));
}

TEST_F(BindingsWineTest, TypeKeyOfACapitalWithoutShiftHeldArrivesAsACapital) {
  recorder->recordChars = true;
  ASSERT_TRUE(recorder->InFront());
  ASSERT_FALSE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
  TypeKey(os().keyboard->KeyForChar('A'), false);
  TypeKey(os().keyboard->KeyForChar('b'), false);
  const auto chars = [](const std::vector<Received>& received) {
    std::string text;
    for (const Received& r : received) {
      if (r.message == WM_CHAR) text += static_cast<char>(r.key);
    }
    return text;
  };
  const auto received = recorder->WaitUntil([&](const auto& r) { return chars(r).size() >= 2; });
  EXPECT_EQ(chars(received), "Ab");
}

TEST_F(BindingsWineTest, AnInstalledHookComesBackUnderANewHandleAndKeysStillArrive) {
  ASSERT_TRUE(recorder->InFront());
  const HookHandle first = keyboardHook = os().hook->Install();
  ASSERT_NE(first, 0u);
  SendKeyEvent(true, 'A');
  SendKeyEvent(false, 'A');
  EXPECT_NE(keyboardHook, 0u);
  EXPECT_NE(keyboardHook, first);
  EXPECT_EQ(recorder->WaitForKeys(2), (std::vector<Received>{{WM_KEYDOWN, 'A'}, {WM_KEYUP, 'A'}}));
}

// The C runtime's text mode joins CR LF and ends the file at a Ctrl-Z itself; the lines must
// come out as on every build.
TEST_F(BindingsWineTest, LineEndsInTextModeGiveTheSameBindingsAsEverywhere) {
  const std::string path = WriteBindings(
      "lines.cfg", "\xEF\xBB\xBFplay=ctrl+p\r\nstop=s\r\r\n#x=y\r\nnext=alt\rn\nzoom=z\r");
  ASSERT_TRUE(LoadBindingFile(path));
  const KeyValue ctrl = 162, p = 'P';
  EXPECT_EQ(AppBindings,
            (BindingMap{{"play", {ctrl, p}}, {"stop", {}}, {"next", {}}, {"zoom", {}}}));

  AppBindings.clear();
  ASSERT_TRUE(LoadBindingFile(WriteBindings("ctrlz.cfg", "play=p\nback=esc\x1Ainfo=i\nmenu=m")));
  EXPECT_EQ(AppBindings, (BindingMap{{"play", {p}}, {"back", {27}}}));
}

}  // namespace
}  // namespace bk
