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
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iomanip>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "remote_layout.h"
#include "virtual_remote.h"

namespace {

namespace fs = std::filesystem;
using bk::vremote::NowMs;

// Every wait polls against a generous deadline: a slow machine makes a run slower, not flaky.
constexpr double kStartMs = 60000, kExpectMs = 15000, kSettleMs = 400;

std::wstring Wide(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

std::string Utf8(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
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

std::vector<std::string> Lines(const fs::path& file) {
  std::ifstream in{file};
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct Process {
  PROCESS_INFORMATION info{};
  HWND window = nullptr;
  std::wstring log;      // what a target received
  std::size_t seen = 0;  // its lines that expect-keys has read
};

std::map<std::string, std::wstring> paths;  // the --name arguments
std::wstring runDir, scenarioDir;
std::map<std::string, Process> processes;
std::string target;            // the process whose log the expectations read
std::size_t listenSeen = 0;    // the lines of BkCheck --listen's output that expect-listen passed
std::wstring listenFile;       // where BkCheck --listen writes
HANDLE listenInput = nullptr;  // the harness's end of the pipe that is its standard input
std::vector<std::pair<const wchar_t*, const wchar_t*>> setValues;  // deleted at the end

// Sets a string value under HKEY_CURRENT_USER for this run, in the build folder's own prefix.
void SetUserValue(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
  setValues.emplace_back(key, name);
  Require(RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, value.c_str(),
                          DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS,
          "cannot set HKCU\\" + Utf8(key) + " " + Utf8(name));
}

// Starts a program in the run folder and, given a window class, waits for its message loop and its
// window of that class.
Process& Start(const std::string& name, const std::wstring& exe, const std::wstring& args,
               const wchar_t* windowClass, HANDLE input = nullptr) {
  Process& p = processes[name];
  std::wstring commandLine = L"\"" + exe + L"\" " + args;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (input != nullptr) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }
  Require(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, input != nullptr, 0,
                         nullptr, runDir.c_str(), &startup, &p.info),
          "cannot start " + Utf8(exe) + " (error " + std::to_string(GetLastError()) + ")");
  if (windowClass == nullptr) return p;
  // BkRemote.exe's loop waits for input only once its Raw Input registration is made.
  WaitForInputIdle(p.info.hProcess, DWORD(kStartMs));
  Require(Poll(
              [&] {
                Require(WaitForSingleObject(p.info.hProcess, 0) == WAIT_TIMEOUT,
                        name + " ended at start-up");
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

// A left click of the mouse at (x, y) of the window, from its top-left corner.
void Click(HWND window, int x, int y) {
  RECT r;
  GetWindowRect(window, &r);
  SetCursorPos(r.left + x, r.top + y);
  for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
    Sleep(40);
    INPUT input{INPUT_MOUSE, {}};
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
  }
}

// Windows hands the remote's reports to a program that asked for them in the background whatever
// is in front; Wine hands them to none while the thread in front has no focus window, as for a
// moment after a window comes to the front or the one in front closes. So a press waits for one.
void AwaitFocusInFront() {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  Require(Poll([&] { return GetGUIThreadInfo(0, &gui) && gui.hwndFocus != nullptr; }),
          "no window in front has the focus: Wine would pass the remote's reports to no program");
}

void Execute(const std::vector<std::string>& w) {
  const std::string& c = w[0];
  auto arg = [&](std::size_t i) -> const std::string& {
    Require(i < w.size(), c + ": too few arguments");
    return w[i];
  };
  auto number = [&](std::size_t i) { return std::stoi(arg(i), nullptr, 0); };
  auto find = [&](const std::string& name) -> Process& {
    Require(processes.count(name), "no process named " + name);
    return processes[name];
  };
  if (c == "windows-version") {
    SetUserValue(L"Software\\Wine", L"Version", Wide(arg(1)));
  } else if (c == "program-folder") {
    runDir += L"\\" + Wide(arg(1));
    fs::create_directory(runDir);
  } else if (c == "start-bkremote" || c == "run-bkremote") {
    // While a first copy runs, a second one runs the same file.
    const std::wstring exe = runDir + L"\\BkRemote.exe";
    if (!fs::exists(exe)) fs::copy_file(paths["bkremote"], exe);
    Start(w.size() > 1 ? w[1] : "bkremote", exe, L"",
          c == "start-bkremote" ? L"Bk Input Window" : nullptr);
  } else if (c == "start-target") {
    const std::wstring exe = runDir + L"\\" + Wide(arg(1));
    fs::copy_file(paths["recorder"], exe);
    if (w.size() > 2) {
      fs::create_directory(runDir + L"\\appbindings");
      fs::copy_file(scenarioDir + L"\\" + Wide(w[2]),
                    runDir + L"\\appbindings\\" + Wide(w[1]) + L".cfg");
    }
    target = w[1].substr(0, w[1].rfind('.'));
    const std::wstring log = runDir + L"\\" + Wide(target) + L".keys.log";
    Start(target, exe, L"\"" + log + L"\"", L"BkKeyRecorder").log = log;
  } else if (c == "start-remote-window") {
    Start("remote", paths["remote-window"], L"", Wide(bk::vremote::kRemoteWindowClass).c_str());
  } else if (c == "foreground") {
    Process& p = find(arg(1));
    Require(Poll([&] { return SetForegroundWindow(p.window), GetForegroundWindow() == p.window; }),
            w[1] + " would not come to the foreground");
    if (!p.log.empty()) target = w[1];
  } else if (c == "frame-child") {
    // As a Store app's window sits in a frame of ApplicationFrameHost.exe: CHILD's window becomes
    // a child of FRAME's, another process's; the frame comes to the front and the child, asked
    // with WM_APP, takes the focus. The expectations then read the child.
    Process& child = find(arg(2));
    SetWindowLongPtrW(child.window, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    Require(SetParent(child.window, find(arg(1)).window), "SetParent failed");
    Execute({"foreground", w[1]});
    SendMessageW(child.window, WM_APP, 0, 0);
    target = w[2];
  } else if (c == "press" || c == "hold") {
    for (std::size_t i = 1; i < (c == "hold" ? 2 : w.size()); ++i) {
      const auto button = bk::vremote::ParseButton(arg(i));
      Require(button.has_value(), "unknown button " + w[i]);
      std::string why;
      AwaitFocusInFront();
      Require(bk::vremote::SendValue(button->slot, button->value, &why), why);
      if (c == "hold") Sleep(DWORD(number(2)));
      Require(bk::vremote::SendValue(button->slot, 0, &why), why);
      // At a person's pace: the collections are separate devices, and Raw Input keeps no order
      // between the reports of two devices sent at once.
      Sleep(200);
    }
  } else if (c == "click" && arg(1) == "remote") {
    // The interactive remote's buttons, by their first label word or their button name.
    for (std::size_t i = 2; i < w.size(); ++i) {
      const auto& keys = bk::vremote::RemoteKeys();
      const auto key = std::ranges::find_if(keys, [&](const bk::vremote::RemoteKey& k) {
        return k.button == w[i] || k.label.substr(0, k.label.find(' ')) == w[i];
      });
      Require(key != keys.end(), "the interactive remote has no button " + w[i]);
      AwaitFocusInFront();
      Click(find("remote").window, key->x + key->width / 2, key->y + key->height / 2);
    }
  } else if (c == "click") {
    Click(find(arg(1)).window, number(2), number(3));
  } else if (c == "send-message") {
    DWORD_PTR result = 0;
    Require(SendMessageTimeoutW(find(arg(1)).window, UINT(number(2)), WPARAM(number(3)),
                                LPARAM(number(4)), SMTO_ABORTIFHUNG, 5000, &result),
            w[1] + " did not answer");
    Require(w.size() < 6 || result == DWORD_PTR(number(5)),
            "the answer was " + std::to_string(result));
  } else if (c == "expect") {
    const HWND window = find(arg(1)).window;
    const std::map<std::string, std::function<bool()>> states = {
        {"shown",  // and opaque, its fade done, and above every other window
         [&] {
           return IsWindowVisible(window) && (GetWindowLongPtrW(window, GWL_EXSTYLE) &
                                              (WS_EX_LAYERED | WS_EX_TOPMOST)) == WS_EX_TOPMOST;
         }},
        {"hidden", [&] { return !IsWindowVisible(window); }},
        {"in-front", [&] { return GetForegroundWindow() == window; }},
        {"minimised", [&] { return IsIconic(window) != FALSE; }},
        {"maximised", [&] { return IsZoomed(window) != FALSE; }},
        {"normal", [&] { return IsWindow(window) && !IsIconic(window) && !IsZoomed(window); }}};
    Require(states.count(arg(2)) && Poll(states.at(w[2])), w[1] + " is not " + w[2]);
  } else if (c == "expect-exit") {
    const HANDLE process = find(arg(1)).info.hProcess;
    DWORD code = STILL_ACTIVE;
    WaitForSingleObject(process, DWORD(kStartMs));
    GetExitCodeProcess(process, &code);
    Require(code == DWORD(number(2)), w[1] + " ended with " + std::to_string(code));
  } else if (c == "expect-keys") {
    // Once at least as many as expected are there and the log has been still for a moment, or at
    // the deadline.
    Require(!target.empty(), "no target started");
    Process& p = processes[target];
    std::istringstream words(arg(1));
    const std::size_t wanted = std::distance(std::istream_iterator<std::string>(words), {});
    std::vector<std::string> lines;
    double changed = NowMs();
    Poll([&] {
      const std::vector<std::string> now = Lines(p.log);
      if (now.size() != lines.size()) changed = NowMs();
      lines = now;
      return lines.size() >= p.seen + wanted && NowMs() - changed >= kSettleMs;
    });
    // An expected key without "/" leaves its scan code and extended mark unchecked.
    std::istringstream expected(arg(1));
    std::string got, want;
    for (std::size_t i = p.seen; i < lines.size(); ++i) {
      std::string key = lines[i];
      if (expected >> want && want.find('/') == std::string::npos) key.resize(key.find('/'));
      got += (got.empty() ? "" : " ") + key;
    }
    p.seen = lines.size();
    Require(got == w[1], "keys: expected \"" + w[1] + "\", got \"" + got + "\"");
  } else if (c == "expect-pixel") {
    // Read through the window's own DC: the screen's does not show another process's layout.
    // Painting is asynchronous, so this polls until the pixel has the colour.
    const HWND window = find(arg(1)).window;
    const unsigned long wanted = std::stoul(arg(4), nullptr, 16);
    COLORREF got = 0;  // as RRGGBB
    const bool ok = Poll([&] {
      HDC dc = GetWindowDC(window);
      const COLORREF bgr = GetPixel(dc, number(2), number(3));
      ReleaseDC(window, dc);
      got = RGB(GetBValue(bgr), GetGValue(bgr), GetRValue(bgr));
      for (int shift : {0, 8, 16}) {
        if (std::abs(int(got >> shift & 0xFF) - int(wanted >> shift & 0xFF)) > 24) return false;
      }
      return true;
    });
    char text[8];
    std::snprintf(text, sizeof text, "%06lX", got);
    Require(ok, "the pixel is " + std::string(text) + ", not " + w[4]);
  } else if (c == "screenshot") {
    const HWND window = find(arg(2)).window;
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
    SetUserValue(L"Software\\Brisko", L"TelvarinExecutable", paths["recorder"]);
  } else if (c == "expect-viewer-launched") {
    const std::wstring record = runDir + L"\\" + Wide(arg(1));
    Require(Poll([&] { return fs::exists(record); }), "the viewer never ran");
  } else if (c == "start-listen") {
    // BkCheck.exe beside BkRemote.exe reads the same binding files; its output goes to a file, and
    // its standard input is a pipe that stays open until end-listen.
    if (!fs::exists(runDir + L"\\BkCheck.exe"))
      fs::copy_file(paths["bkcheck"], runDir + L"\\BkCheck.exe");
    listenFile = Wide(w.size() > 1 ? w[1] : "listen.txt");
    listenSeen = 0;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE input = nullptr;
    Require(CreatePipe(&input, &listenInput, &inherited, 0) &&
                SetHandleInformation(listenInput, HANDLE_FLAG_INHERIT, 0),
            "cannot make a pipe");
    Start("bkcheck", L"C:\\windows\\system32\\cmd.exe",
          L"/c BkCheck.exe --listen >" + listenFile + L" 2>&1", nullptr, input);
    CloseHandle(input);
  } else if (c == "end-listen") {
    // "q" and Enter, with the pipe still open (until the listener has ended), or the pipe closed.
    DWORD written = 0;
    Require(arg(1) == "q" ? WriteFile(listenInput, "q\r\n", 3, &written, nullptr)
                          : arg(1) == "eof" && CloseHandle(listenInput),
            "end-listen takes q or eof");
    Execute({"expect-exit", "bkcheck", "0"});
    if (arg(1) == "q") CloseHandle(listenInput);
  } else if (c == "expect-listen") {
    // A line of BkCheck --listen's output, after the last one matched, holds TEXT.
    Require(Poll([&] {
              const std::vector<std::string> lines = Lines(runDir + L"\\" + listenFile);
              for (std::size_t i = listenSeen; i < lines.size(); ++i) {
                if (lines[i].find(arg(1)) != std::string::npos) return listenSeen = i + 1, true;
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

}  // namespace

int main() {
  // The harness, and so every program it starts and every program those start, runs in a job that
  // ends them all when the harness ends, however it ends.
  const HANDLE job = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  AssignProcessToJobObject(job, GetCurrentProcess());
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  fs::path scenario;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    // Every path is a Unix one, reached through drive Z:.
    if (arg.starts_with(L"--") && i + 1 < argc) {
      paths[Utf8(arg.substr(2))] = fs::path(L"Z:" + std::wstring(argv[++i])).make_preferred();
    } else {
      scenario = fs::path(L"Z:" + arg).make_preferred();
    }
  }
  scenarioDir = scenario.parent_path();
  runDir = paths["work"] + L"\\" + scenario.stem().wstring();
  Gdiplus::GdiplusStartupInput gdiplus;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &gdiplus, nullptr);
  const double start = NowMs();
  int number = 0;
  bool ok = true;
  try {
    std::error_code ignored;  // a fresh run folder, so that no file of an earlier run is read
    fs::remove_all(runDir, ignored);
    fs::create_directories(runDir);
    const bk::vremote::SetupResult remote = bk::vremote::Setup(paths["inf"], 120000);
    Require(remote.ok, "the virtual remote is not ready: " + remote.message);
    // Wine acts as Windows 10 towards the programs started from now on.
    SetUserValue(L"Software\\Wine", L"Version", L"win10");
    // One command a line; a line that starts with # is a comment; "double quotes" hold a word
    // with blanks.
    for (const std::string& line : Lines(scenario)) {
      ++number;
      std::istringstream words(line);
      std::vector<std::string> step;
      if ((words >> std::ws).peek() == '#') continue;
      for (std::string word; words >> std::quoted(word);) step.push_back(word);
      if (step.empty()) continue;
      std::printf("[%7.2f s] %s\n", (NowMs() - start) / 1000, line.c_str());
      std::fflush(stdout);
      Execute(step);
    }
  } catch (const std::exception& e) {
    std::printf("FAIL (line %d): %s\n", number, e.what());
    ok = false;
  }
  for (const auto& [key, name] : setValues) RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
  std::printf("scenario %s: %s\n", Utf8(scenario.stem()).c_str(),
              ok && number > 0 ? "passed" : "FAILED");
  return ok && number > 0 ? 0 : 1;
}
