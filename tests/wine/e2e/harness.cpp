// bk_e2e.exe: runs one end-to-end scenario against the unmodified BkRemote.exe under Wine, pressed
// by the virtual remote (tools/vremote). README.md beside it lists the commands.
//
//   bk_e2e --bkremote EXE --recorder EXE --remote-window EXE --bkcheck EXE --inf INF --work DIR
//          SCENARIO
//
// Unix paths are reached through Wine's drive Z:. Each scenario runs in a folder of its own,
// DIR\<scenario>, into which BkRemote.exe and the targets are copied, so that the binding files a
// scenario brings sit in appbindings\ beside that copy of the program. Paths and names are wide
// strings throughout, so that they may hold any character.
#include <windows.h>
// After windows.h, which they need.
#include <gdiplus.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iomanip>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "remote_layout.h"
#include "virtual_remote.h"

namespace {

using bk::vremote::NowMs;

// Every wait polls against a generous deadline: a slow machine makes a run slower, not flaky.
constexpr double kStartMs = 60000, kExpectMs = 15000, kSettleMs = 400;

std::wstring Wide(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

std::string Utf8(const std::wstring& wide) {
  const std::u8string utf8 = std::filesystem::path(wide).u8string();
  return {utf8.begin(), utf8.end()};
}

void Require(bool ok, const std::string& why) {
  if (!ok) throw std::runtime_error(why);
}

bool Poll(const std::function<bool()>& done, double ms = kExpectMs) {
  for (const double start = NowMs();; Sleep(20)) {
    if (done()) return true;
    if (NowMs() - start > ms) return false;
  }
}

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

std::vector<std::string> Lines(const std::wstring& file) {
  std::ifstream in{std::filesystem::path(file)};
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct Process {
  PROCESS_INFORMATION info{};
  HWND window = nullptr;
  std::wstring log;              // what a target received
  std::size_t seen[2] = {0, 0};  // its key and char lines that expectations have read
  bool Running() const { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }
};

class Harness {
 public:
  std::map<std::string, std::wstring> paths;  // the --name arguments
  std::wstring runDir, scenarioDir;

  // Ends what a killed run may have left running (a BkRemote.exe among them would make every
  // later start a second copy) and what was started without the harness, as the viewer is.
  static void EndStrays() {
    for (const wchar_t* windowClass : {L"Bk Input Window", L"BkKeyRecorder", L"BkCheck Listener"}) {
      for (HWND w; (w = FindWindowW(windowClass, nullptr)) != nullptr;) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (process == nullptr) break;
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
      }
    }
  }

  void Prepare() {
    EndStrays();
    std::error_code ignored;  // a fresh run folder, so that no file of an earlier run is read
    std::filesystem::remove_all(runDir, ignored);
    std::filesystem::create_directories(runDir, ignored);
    const bk::vremote::SetupResult remote = bk::vremote::Setup(paths["inf"], 120000);
    Require(remote.ok, "the virtual remote is not ready: " + remote.message);
    // Wine acts as Windows 10 towards the programs started from now on.
    SetUserValue(L"Software\\Wine", L"Version", L"win10");
  }

  void Execute(const std::vector<std::string>& w);

  void StopAll() {
    for (auto& [name, p] : processes_) {
      TerminateProcess(p.info.hProcess, 0);
      WaitForSingleObject(p.info.hProcess, 10000);
    }
    EndStrays();
    for (const auto& [key, name] : set_) RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
  }

 private:
  Process& Find(const std::string& name) {
    Require(processes_.count(name), "no process named " + name);
    return processes_[name];
  }

  void Copy(const std::wstring& from, const std::wstring& to) {
    Require(CopyFileW(from.c_str(), to.c_str(), FALSE),
            "cannot copy " + Utf8(from) + " (error " + std::to_string(GetLastError()) + ")");
  }

  // Starts a program in the run folder and, given a window class, waits for its message loop
  // and its window of that class.
  Process& Start(const std::string& name, const std::wstring& exe, const std::wstring& args,
                 const wchar_t* windowClass) {
    Require(!processes_.count(name), "a process named " + name + " was started already");
    Process& p = processes_[name];
    std::wstring commandLine = L"\"" + exe + L"\" " + args;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    Require(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           runDir.c_str(), &startup, &p.info),
            "cannot start " + Utf8(exe) + " (error " + std::to_string(GetLastError()) + ")");
    if (windowClass == nullptr) return p;
    // BkRemote.exe's loop waits for input only once its Raw Input registration is made.
    WaitForInputIdle(p.info.hProcess, DWORD(kStartMs));
    Require(Poll(
                [&] {
                  Require(p.Running(), name + " ended at start-up");
                  for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, windowClass, nullptr));) {
                    DWORD pid = 0;
                    GetWindowThreadProcessId(h, &pid);
                    if (pid == p.info.dwProcessId) p.window = h;
                  }
                  return p.window != nullptr;
                },
                kStartMs),
            name + " showed no window");
    return p;
  }

  // A left click of the mouse at a point of the screen.
  void Click(POINT point) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    for (DWORD flags : {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
      INPUT input{INPUT_MOUSE, {}};
      input.mi.dx = LONG((point.x * 65535LL + width / 2) / (width - 1));
      input.mi.dy = LONG((point.y * 65535LL + height / 2) / (height - 1));
      input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
      SendInput(1, &input, sizeof input);
      Sleep(40);
    }
  }

  // The target's key lines (kind 0) or char lines (kind 1) that arrived since the last look, once
  // at least `wanted` are there and the log has been still for a moment, or at the deadline.
  std::vector<std::string> Arrived(int kind, std::size_t wanted) {
    Require(!target_.empty(), "no target started");
    Process& p = processes_[target_];
    const std::string prefix = kind == 0 ? "key " : "char ";
    std::vector<std::string> got;
    double changed = NowMs();
    Poll([&] {
      std::vector<std::string> now;
      std::size_t index = 0;
      for (const std::string& line : Lines(p.log)) {
        if (line.rfind(prefix, 0) == 0 && index++ >= p.seen[kind])
          now.push_back(line.substr(prefix.size()));
      }
      if (now.size() != got.size()) changed = NowMs();
      got = now;
      return got.size() >= wanted && NowMs() - changed >= kSettleMs;
    });
    p.seen[kind] += got.size();
    return got;
  }

  // Sets a string value under HKEY_CURRENT_USER for this run, in the build folder's own prefix;
  // StopAll deletes it.
  void SetUserValue(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    set_.emplace_back(key, name);
    Require(RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, value.c_str(),
                            DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS,
            "cannot set HKCU\\" + Utf8(key) + " " + Utf8(name));
  }

  std::map<std::string, Process> processes_;
  std::string target_;          // the process whose log the expectations read
  std::wstring listen_;         // BkCheck --listen's output
  std::size_t listenSeen_ = 0;  // its lines that expect-listen has passed
  std::vector<std::pair<const wchar_t*, const wchar_t*>> set_;
};

void Harness::Execute(const std::vector<std::string>& w) {
  const std::string& c = w[0];
  auto arg = [&](std::size_t i) -> const std::string& {
    Require(i < w.size(), c + ": too few arguments");
    return w[i];
  };
  auto number = [&](std::size_t i) { return std::stoi(arg(i), nullptr, 0); };
  if (c == "windows-version") {
    SetUserValue(L"Software\\Wine", L"Version", Wide(arg(1)));
  } else if (c == "program-folder") {
    runDir += L"\\" + Wide(arg(1));
    CreateDirectoryW(runDir.c_str(), nullptr);
  } else if (c == "start-bkremote" || c == "run-bkremote") {
    const std::wstring exe = runDir + L"\\BkRemote.exe";
    // Copied afresh, so that a rebuilt program is the one that runs; while a first copy runs,
    // the file is in use and a second copy runs the same file.
    if (!processes_.count("bkremote")) Copy(paths["bkremote"], exe);
    Start(w.size() > 1 ? w[1] : "bkremote", exe, L"",
          c == "start-bkremote" ? L"Bk Input Window" : nullptr);
  } else if (c == "start-target") {
    const std::wstring exe = runDir + L"\\" + Wide(arg(1));
    Copy(paths["recorder"], exe);
    if (w.size() > 2) {
      CreateDirectoryW((runDir + L"\\appbindings").c_str(), nullptr);
      Copy(scenarioDir + L"\\" + Wide(w[2]), runDir + L"\\appbindings\\" + Wide(w[1]) + L".cfg");
    }
    target_ = w[1].substr(0, w[1].rfind('.'));
    const std::wstring log = runDir + L"\\" + Wide(target_) + L".keys.log";
    Start(target_, exe, L"\"" + log + L"\"", L"BkKeyRecorder").log = log;
  } else if (c == "start-remote-window") {
    Start("remote", paths["remote-window"], L"", Wide(bk::vremote::kRemoteWindowClass).c_str());
  } else if (c == "foreground") {
    Process& p = Find(arg(1));
    Require(Poll([&] { return SetForegroundWindow(p.window), GetForegroundWindow() == p.window; }),
            w[1] + " would not come to the foreground");
    if (!p.log.empty()) target_ = w[1];
  } else if (c == "frame-child") {
    // As a Store app's window sits in a frame of ApplicationFrameHost.exe: CHILD's window becomes
    // a child of FRAME's, another process's; the frame comes to the front and the child, asked
    // with WM_APP, takes the focus. The expectations then read the child.
    Process& child = Find(arg(2));
    SetWindowLongPtrW(child.window, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    Require(SetParent(child.window, Find(arg(1)).window), "SetParent failed");
    Execute({"foreground", w[1]});
    SendMessageW(child.window, WM_APP, 0, 0);
    target_ = w[2];
  } else if (c == "press" || c == "hold") {
    for (std::size_t i = 1; i < (c == "hold" ? 2 : w.size()); ++i) {
      const auto button = bk::vremote::ParseButton(arg(i));
      Require(button.has_value(), "unknown button " + w[i]);
      std::string why;
      Require(bk::vremote::SendValue(button->slot, button->value, &why), why);
      if (c == "hold") Sleep(DWORD(number(2)));
      Require(bk::vremote::SendValue(button->slot, 0, &why), why);
      // At a person's pace: the collections are separate devices, and Raw Input keeps no order
      // between the reports of two devices sent at once.
      Sleep(200);
    }
  } else if (c == "keys") {
    // The remote's number pad: a press and a release for each key, "*" and "#" inside a left
    // Shift.
    static const std::map<std::string, WORD> named = {
        {"*", '8'}, {"#", '3'}, {"enter", VK_RETURN}, {"escape", VK_ESCAPE}};
    for (const std::string& k : std::vector(w.begin() + 1, w.end())) {
      const bool digit = k.size() == 1 && k[0] >= '0' && k[0] <= '9';
      Require(digit || named.count(k), "unknown key " + k + " (0-9, *, #, enter, escape)");
      const WORD vk = digit ? WORD(k[0]) : named.at(k);
      std::vector<std::pair<WORD, DWORD>> events = {{vk, 0}, {vk, KEYEVENTF_KEYUP}};
      if (k == "*" || k == "#")
        events = {{VK_LSHIFT, 0}, events[0], events[1], {VK_LSHIFT, KEYEVENTF_KEYUP}};
      for (const auto& [key, flags] : events) {
        INPUT input{INPUT_KEYBOARD, {}};
        input.ki = {key, WORD(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)), flags, 0, 0};
        Require(SendInput(1, &input, sizeof input) == 1, "SendInput failed");
      }
      Sleep(30);
    }
  } else if (c == "click" && arg(1) == "remote") {
    for (const bk::vremote::RemoteKey& key : bk::vremote::RemoteKeys()) {
      if (key.button != arg(2) && key.label.substr(0, key.label.find(' ')) != w[2]) continue;
      POINT point{key.x + key.width / 2, key.y + key.height / 2};
      ClientToScreen(Find("remote").window, &point);
      return Click(point);
    }
    Require(false, "the interactive remote has no button " + w[2]);
  } else if (c == "click") {
    RECT r;
    GetWindowRect(Find(arg(1)).window, &r);
    Click({r.left + number(2), r.top + number(3)});
  } else if (c == "send-message") {
    DWORD_PTR result = 0;
    Require(SendMessageTimeoutW(Find(arg(1)).window, UINT(number(2)), WPARAM(number(3)),
                                LPARAM(number(4)), SMTO_ABORTIFHUNG, 5000, &result),
            w[1] + " did not answer");
    Require(w.size() < 6 || result == DWORD_PTR(number(5)),
            "the answer was " + std::to_string(result));
  } else if (c == "wait") {
    Sleep(DWORD(number(1)));
  } else if (c == "expect") {
    Process& p = Find(arg(1));
    const std::map<std::string, std::function<bool()>> states = {
        {"running", [&] { return p.Running(); }},
        {"shown", [&] { return IsWindowVisible(p.window) != FALSE; }},
        {"hidden", [&] { return !IsWindowVisible(p.window); }},
        {"in-front", [&] { return GetForegroundWindow() == p.window; }},
        {"minimised", [&] { return IsIconic(p.window) != FALSE; }},
        {"maximised", [&] { return IsZoomed(p.window) != FALSE; }},
        {"normal",
         [&] { return IsWindow(p.window) && !IsIconic(p.window) && !IsZoomed(p.window); }}};
    Require(states.count(arg(2)) && Poll(states.at(w[2])), w[1] + " is not " + w[2]);
  } else if (c == "expect-exit") {
    Process& p = Find(arg(1));
    DWORD code = STILL_ACTIVE;
    WaitForSingleObject(p.info.hProcess, DWORD(kStartMs));
    GetExitCodeProcess(p.info.hProcess, &code);
    Require(code == DWORD(number(2)), w[1] + " ended with " + std::to_string(code));
  } else if (c == "expect-keys") {
    std::istringstream words(arg(1));
    std::vector<std::string> wanted;
    for (std::string word; words >> word;) wanted.push_back(word);
    const std::vector<std::string> got = Arrived(0, wanted.size());
    Require(got == wanted, "keys: expected \"" + w[1] + "\", got \"" + Joined(got) + "\"");
  } else if (c == "expect-chars") {
    std::wstring got;
    for (const std::string& code : Arrived(1, Wide(arg(1)).size()))
      got += wchar_t(std::stoul(code));
    Require(got == Wide(w[1]), "characters: expected \"" + w[1] + "\", got \"" + Utf8(got) + "\"");
  } else if (c == "forget-keys") {
    Arrived(0, 0);
    Arrived(1, 0);
  } else if (c == "expect-pixel") {
    // Read through the window's own DC: the screen's does not show another process's layout.
    // Painting is asynchronous, so this polls until the pixel has the colour.
    const HWND window = Find(arg(1)).window;
    const COLORREF wanted = std::stoul(arg(4), nullptr, 16);
    COLORREF got = 0;
    const bool ok = Poll([&] {
      HDC dc = GetWindowDC(window);
      const COLORREF bgr = GetPixel(dc, number(2), number(3));
      ReleaseDC(window, dc);
      got = RGB(GetBValue(bgr), GetGValue(bgr), GetRValue(bgr));  // as RRGGBB
      return std::ranges::all_of(std::vector{0, 8, 16}, [&](int shift) {
        return std::abs(int(got >> shift & 0xFF) - int(wanted >> shift & 0xFF)) <= 24;
      });
    });
    char text[8];
    std::snprintf(text, sizeof text, "%06lX", got);
    Require(ok, "the pixel is " + std::string(text) + ", not " + w[4]);
  } else if (c == "screenshot") {
    const HWND window = Find(arg(2)).window;
    RECT r;
    GetWindowRect(window, &r);
    // Wine's full-screen height puts the layout's bottom rows below the screen, where nothing of
    // them can be read: the window moves up for the picture, and back.
    const int below = std::max(0L, r.bottom - GetSystemMetrics(SM_CYSCREEN));
    const auto move = [&](int y) {
      SetWindowPos(window, nullptr, r.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      Sleep(300);
    };
    if (below > 0) move(r.top - below);
    Gdiplus::Bitmap image(r.right - r.left, r.bottom - r.top, PixelFormat24bppRGB);
    {
      Gdiplus::Graphics graphics(&image);
      HDC target = graphics.GetHDC(), source = GetWindowDC(window);
      BitBlt(target, 0, 0, r.right - r.left, r.bottom - r.top, source, 0, 0, SRCCOPY);
      ReleaseDC(window, source);
      graphics.ReleaseHDC(target);
    }
    if (below > 0) move(r.top);
    // GDI+'s PNG encoder writes the file.
    const CLSID png = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    const std::wstring path = runDir + L"\\" + Wide(arg(1));
    Require(image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok, "cannot write " + w[1]);
  } else if (c == "set-viewer") {
    // The key recorder stands in for the viewer: it makes a log file named after its first
    // argument in its working folder, which is BkRemote.exe's, the run folder.
    const std::wstring viewer = runDir + L"\\viewer.exe";
    Copy(paths["recorder"], viewer);
    SetUserValue(L"Software\\Brisko", L"TelvarinExecutable", viewer);
  } else if (c == "expect-viewer-launched") {
    const std::wstring record = runDir + L"\\" + Wide(arg(1));
    Require(Poll([&] { return std::filesystem::exists(record); }), "the viewer never ran");
  } else if (c == "start-listen") {
    // BkCheck.exe beside BkRemote.exe reads the same binding files; its output goes to a file.
    Copy(paths["bkcheck"], runDir + L"\\BkCheck.exe");
    listen_ = runDir + L"\\listen.txt";
    Start("bkcheck", L"C:\\windows\\system32\\cmd.exe", L"/c BkCheck.exe --listen >listen.txt 2>&1",
          nullptr);
  } else if (c == "expect-listen") {
    // A line of BkCheck --listen's output, after the last one matched, holds TEXT.
    Require(Poll([&] {
              const std::vector<std::string> lines = Lines(listen_);
              for (std::size_t i = listenSeen_; i < lines.size(); ++i) {
                if (lines[i].find(arg(1)) != std::string::npos) return listenSeen_ = i + 1, true;
              }
              return false;
            }),
            "BkCheck --listen wrote no line with \"" + w[1] + "\"");
  } else if (c == "expect-no-keys-down") {
    // Wine keeps one asynchronous key state for the whole desktop, so this sees keys that any
    // program left down. It must stay clear for a moment, so that a key on its way is seen.
    std::string down;
    double clear = NowMs();
    Require(Poll(
                [&] {
                  down.clear();
                  for (int vk = 1; vk < 256; ++vk) {
                    if (GetAsyncKeyState(vk) & 0x8000) down += " " + std::to_string(vk);
                  }
                  if (!down.empty()) clear = NowMs();
                  return NowMs() - clear >= kSettleMs;
                },
                3000),
            "virtual keys held down:" + down);
  } else {
    Require(false, "unknown command " + c);
  }
}

std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  std::ranges::replace(path, L'/', L'\\');
  return path;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  Harness harness;
  std::wstring scenario;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg.rfind(L"--", 0) == 0 && i + 1 < argc) {
      harness.paths[Utf8(arg.substr(2))] = WindowsPath(argv[++i]);
    } else {
      scenario = WindowsPath(arg);
    }
  }
  const std::size_t slash = scenario.rfind(L'\\');
  const std::wstring name = scenario.substr(slash + 1, scenario.rfind(L'.') - slash - 1);
  harness.scenarioDir = scenario.substr(0, slash);
  harness.runDir = harness.paths["work"] + L"\\" + name;
  Gdiplus::GdiplusStartupInput gdiplus;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &gdiplus, nullptr);
  const double start = NowMs();
  int number = 0;
  bool ok = true;
  try {
    harness.Prepare();
    // One command a line; a line that starts with # is a comment; "double quotes" hold a word
    // with blanks.
    for (const std::string& line : Lines(scenario)) {
      ++number;
      std::istringstream words(line);
      std::vector<std::string> step;
      if ((words >> std::ws).peek() == '#') continue;
      for (std::string word; words >> std::quoted(word);) step.push_back(word);
      if (step.empty()) continue;
      std::printf("[%7.2f s] %s\n", (NowMs() - start) / 1000, Joined(step).c_str());
      std::fflush(stdout);
      harness.Execute(step);
    }
  } catch (const std::exception& e) {
    std::printf("FAIL (line %d): %s\n", number, e.what());
    ok = false;
  }
  harness.StopAll();
  std::printf("scenario %s: %s\n", Utf8(name).c_str(), ok && number > 0 ? "passed" : "FAILED");
  return ok && number > 0 ? 0 : 1;
}
