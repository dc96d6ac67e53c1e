// bk_e2e.exe: runs one end-to-end scenario against the unmodified BkRemote.exe under Wine, pressed
// by the virtual remote (tools/vremote). README.md beside it lists the commands.
//
//   bk_e2e --bkremote EXE --recorder EXE --remote-window EXE --bkcheck EXE --inf INF --docs DIR
//          --work DIR --scenario FILE
//
// Unix paths are reached through Wine's drive Z:. Each scenario runs in a folder of its own,
// DIR\<scenario>, into which BkRemote.exe and the targets are copied, so that the binding files a
// scenario brings sit in appbindings\ beside that copy of the program. Paths and names are wide
// strings throughout, so that they may hold any character.
#include <windows.h>
// After windows.h, which it needs.
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
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
  return reinterpret_cast<const char*>(path.u8string().c_str());
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

// Polls until `holds` has held for kSettleMs on end, so that what is still on its way is seen too.
bool Steady(const std::function<bool()>& holds) {
  double since = NowMs();
  return Poll([&] {
    if (!holds()) since = NowMs();
    return NowMs() - since >= kSettleMs;
  });
}

std::string Bytes(const fs::path& file) {
  std::ifstream in{file, std::ios::binary};
  return {std::istreambuf_iterator<char>(in), {}};
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
  std::wstring log;      // what a target received, or what BkCheck --listen wrote
  std::size_t seen = 0;  // its lines that expect-keys or expect-listen has read
};

std::map<std::string, std::wstring> paths;  // the --name arguments
std::wstring runDir;
std::map<std::string, Process> processes;
HANDLE listenInput = nullptr;  // the harness's end of the pipe that is BkCheck's standard input
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
  Process& p = processes[name] = {};  // a second listener has read none of its own lines
  std::wstring commandLine = L"\"" + exe + L"\" " + args;
  // Only the listener inherits handles, and with them its standard ones.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  Require(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, input != nullptr, 0,
                         nullptr, runDir.c_str(), &startup, &p.info),
          "cannot start " + Utf8(exe) + " (error " + std::to_string(GetLastError()) + ")");
  if (windowClass == nullptr) return p;
  // BkRemote.exe's loop waits for input only once its Raw Input registration is made.
  WaitForInputIdle(p.info.hProcess, DWORD(kStartMs));
  const auto shown = [&] {
    Require(WaitForSingleObject(p.info.hProcess, 0) == WAIT_TIMEOUT, name + " ended at start-up");
    for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, windowClass, nullptr));) {
      DWORD pid = 0;
      GetWindowThreadProcessId(h, &pid);
      if (pid == p.info.dwProcessId) p.window = h;
    }
    return p.window != nullptr;
  };
  Require(Poll(shown, kStartMs), name + " showed no window");
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
    fs::create_directories(runDir);
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
      fs::copy_file(fs::path(paths["scenario"]).parent_path() / Wide(w[2]),
                    runDir + L"\\appbindings\\" + Wide(w[1]) + L".cfg");
    }
    const std::string name = w[1].substr(0, w[1].rfind('.'));
    const std::wstring log = runDir + L"\\" + Wide(name) + L".keys.log";
    Start(name, exe, L"\"" + log + L"\"", L"BkKeyRecorder").log = log;
    // In front at once, so that a press does not meet the window it came after.
    Execute({"foreground", name});
  } else if (c == "start-remote-window") {
    Start("remote", paths["remote-window"], L"", Wide(bk::vremote::kRemoteWindowClass).c_str());
  } else if (c == "foreground") {
    Process& p = find(arg(1));
    Require(Poll([&] { return SetForegroundWindow(p.window), GetForegroundWindow() == p.window; }),
            w[1] + " would not come to the foreground");
  } else if (c == "frame-child") {
    // As a Store app's window sits in a frame of ApplicationFrameHost.exe: CHILD's window becomes
    // a child of FRAME's, another process's; the frame comes to the front and, whenever it gets
    // the focus, passes it to the child (key_recorder.cpp).
    Process& child = find(arg(2));
    SetWindowLongPtrW(child.window, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    Require(SetParent(child.window, find(arg(1)).window), "SetParent failed");
    Execute({"foreground", w[1]});
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
    Process& p = find(arg(1));
    // Keys written without "/" leave their scan codes and extended marks unchecked.
    const bool scanCodes = arg(2).find('/') != std::string::npos;
    std::string got;
    std::size_t read = 0;
    const bool same = Steady([&] {
      const std::vector<std::string> lines = Lines(p.log);
      got.clear();
      for (read = p.seen; read < lines.size(); ++read) {
        got += (got.empty() ? "" : " ") +
               (scanCodes ? lines[read] : lines[read].substr(0, lines[read].find('/')));
      }
      return got == w[2];
    });
    p.seen = read;
    Require(same, w[1] + "'s keys: expected \"" + w[2] + "\", got \"" + got + "\"");
  } else if (c == "expect-picture") {
    // The window's picture, taken until it is the one in docs\ byte for byte: painting is
    // asynchronous. The last one taken stays in the run folder.
    const HWND window = find(arg(2)).window;
    const std::wstring file = runDir + L"\\" + Wide(arg(1));
    const std::string wanted = Bytes(paths["docs"] + L"\\" + Wide(arg(1)));
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    // Wine's full-screen height puts the layout's bottom rows below the screen, where nothing of
    // them can be read: the window moves up for the pictures, and back.
    MoveWindow(window, r.left, std::min<LONG>(r.top, GetSystemMetrics(SM_CYSCREEN) - height), width,
               height, TRUE);
    const bool same = Poll([&] {
      Gdiplus::Bitmap image(width, height, PixelFormat24bppRGB);
      {
        Gdiplus::Graphics graphics(&image);
        HDC to = graphics.GetHDC(), from = GetWindowDC(window);
        BitBlt(to, 0, 0, width, height, from, 0, 0, SRCCOPY);
        ReleaseDC(window, from);
        graphics.ReleaseHDC(to);
      }
      // GDI+'s PNG encoder writes the file.
      const CLSID png = {
          0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
      Require(image.Save(file.c_str(), &png, nullptr) == Gdiplus::Ok, "cannot write " + w[1]);
      return Bytes(file) == wanted;
    });
    MoveWindow(window, r.left, r.top, width, height, TRUE);
    Require(same, w[1] + " in the run folder differs from the one in docs");
  } else if (c == "expect-viewer-launched") {
    const std::wstring record = runDir + L"\\" + Wide(arg(1));
    Require(Poll([&] { return fs::exists(record); }), "the viewer never ran");
  } else if (c == "start-listen") {
    // BkCheck.exe beside BkRemote.exe reads the same binding files; its output goes to a file, and
    // its standard input is a pipe that stays open until end-listen.
    if (!fs::exists(runDir + L"\\BkCheck.exe"))
      fs::copy_file(paths["bkcheck"], runDir + L"\\BkCheck.exe");
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE input = nullptr;
    Require(CreatePipe(&input, &listenInput, &inherited, 0) &&
                SetHandleInformation(listenInput, HANDLE_FLAG_INHERIT, 0),
            "cannot make a pipe");
    Process& listener = Start("bkcheck", L"C:\\windows\\system32\\cmd.exe",
                              L"/c BkCheck.exe --listen >listen.txt 2>&1", nullptr, input);
    listener.log = runDir + L"\\listen.txt";
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
    Process& listener = find("bkcheck");
    const auto said = [&] {
      const std::vector<std::string> lines = Lines(listener.log);
      for (std::size_t i = listener.seen; i < lines.size(); ++i) {
        if (lines[i].find(arg(1)) != std::string::npos) return listener.seen = i + 1, true;
      }
      return false;
    };
    Require(Poll(said), "BkCheck --listen wrote no line with \"" + w[1] + "\"");
  } else if (c == "expect-no-keys-down") {
    // Wine keeps one asynchronous key state for the whole desktop, so this sees keys that any
    // program left down.
    std::string down;
    const bool clear = Steady([&] {
      down.clear();
      for (int vk = 1; vk < 256; ++vk) {
        if (GetAsyncKeyState(vk) & 0x8000) down += " " + std::to_string(vk);
      }
      return down.empty();
    });
    Require(clear, "virtual keys held down:" + down);
  } else {
    Require(false, "unknown command " + c);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The harness, and so every program it starts and every program those start, runs in a job that
  // ends them all when the harness ends, however it ends.
  const HANDLE job = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  AssignProcessToJobObject(job, GetCurrentProcess());
  // "--NAME PATH" pairs. Every path is a Unix one, reached through drive Z:.
  for (int i = 1; i + 1 < argc; i += 2) {
    paths[Utf8(argv[i] + 2)] = fs::path(L"Z:" + std::wstring(argv[i + 1])).make_preferred();
  }
  const fs::path scenario = paths["scenario"];
  runDir = paths["work"] + L"\\" + scenario.stem().wstring();
  Gdiplus::GdiplusStartupInput gdiplus;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &gdiplus, nullptr);
  const double start = NowMs();
  int number = 0;
  bool ok = false;
  try {
    fs::remove_all(runDir);  // a fresh run folder, so that no file of an earlier run is read
    fs::create_directories(runDir);
    const bk::vremote::SetupResult remote = bk::vremote::Setup(paths["inf"], 120000);
    Require(remote.ok, "the virtual remote is not ready: " + remote.message);
    // Wine acts as Windows 10 towards the programs started from now on. The key recorder stands
    // in for the viewer: it makes a log file named after its first argument in its working
    // folder, which is BkRemote.exe's, the run folder.
    SetUserValue(L"Software\\Wine", L"Version", L"win10");
    SetUserValue(L"Software\\Brisko", L"TelvarinExecutable", paths["recorder"]);
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
    ok = number > 0;  // an empty scenario shows nothing
  } catch (const std::exception& e) {
    std::printf("FAIL (line %d): %s\n", number, e.what());
  }
  for (const auto& [key, name] : setValues) RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
  std::printf("scenario %s: %s\n", Utf8(scenario.stem()).c_str(), ok ? "passed" : "FAILED");
  return ok ? 0 : 1;
}
