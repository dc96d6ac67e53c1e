// bk_e2e.exe: runs one end-to-end scenario against the unmodified BkRemote.exe under Wine.
//
//   bk_e2e --bkremote EXE --recorder EXE --remote-window EXE --spy DLL --inf INF --work DIR
//          [--viewer EXE] [--bkcheck EXE] SCENARIO
//
// Paths may be Unix paths; they are reached through Wine's Z: drive. Each scenario gets its own
// run folder DIR\<scenario name>, into which BkRemote.exe and the targets are copied, so that the
// binding files a scenario brings sit in appbindings\ beside that copy of the program.
//
// Scenario commands (one per line; see tests/wine/e2e/README.md):
//   setup-remote                      make sure the virtual remote is ready (done first anyway)
//   expect-remote-unchanged           that first setup created no device and installed nothing
//   program-folder NAME               what follows runs in the run folder's subfolder NAME
//   start-bkremote [AS]               start BkRemote.exe, wait for its window and message loop
//   run-bkremote AS                   start another copy without waiting for anything
//   expect-exit AS CODE               the process ends with CODE
//   expect-running AS                 the process still runs
//   expect-windows CLASS COUNT        so many top-level windows of that class exist
//   start-target NAME.exe [BINDINGS]  start the key recorder as NAME.exe, with a binding file
//   start-remote-window               start the interactive remote
//   foreground NAME                   bring the process's window to the front
//   expect-foreground NAME            the foreground window is that process's
//   press BUTTON...                   press and release remote buttons (play, input, a, vendor:3)
//   down BUTTON | up BUTTON           only the press report, or only the release report
//   hold BUTTON MS                    press, hold MS milliseconds, release
//   keys KEY...                       number pad keys by SendInput: 0-9 * # enter escape
//   click-remote BUTTON               click a button of the interactive remote with the mouse
//   wait MS
//   expect-report BUTTON              the harness's Raw Input sink got the press and release
//   expect-keys "EVENTS"              the target's key messages since the last expect-keys
//   expect-chars "TEXT"               the target's characters since the last expect-chars
//   expect-no-keys MS                 no key message reaches the target within MS
//   screenshot FILE [NAME]            the screen, or one process's window, as BMP or PNG
//   expect-pixel NAME|screen X Y RRGGBB [TOLERANCE]  a pixel, relative to the window
//   watch-bkremote [AS]               hook BkRemote.exe's message loop (WH_GETMESSAGE) to see
//                                     the WM_INPUT messages it takes
//   expect-bkremote-input BUTTON      BkRemote.exe's "Bk Input Window" got the press and release
//   expect-window NAME normal|minimised|maximised   the window's state (polls)
//   expect-buttons NAME COUNT         so many visible "Button" children (the layout's keys)
//   set-viewer                        the stand-in viewer becomes the registered viewer (before
//                                     start-bkremote, which inherits where it records)
//   expect-viewer-launched "ARGS"     the stand-in viewer ran with these arguments
//   expect-no-keys-down               GetAsyncKeyState shows no key held down in the system
//   measure-cpu NAME MS               the process's CPU time over MS milliseconds (a figure)
//   measure-memory NAME LABEL         the process's private bytes now (a figure)
//   measure-latency BUTTON COUNT KEYS report sent to first key at the target, COUNT presses
//                                     of KEYS key messages each (figures)
//   start-listen                      start BkCheck.exe --listen beside BkRemote.exe, its output
//                                     in listen.txt of the run folder
//   expect-listen "TEXT"              a line of that output after the last one matched holds TEXT
#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "image_file.h"
#include "input_spy.h"
#include "raw_input_sink.h"
#include "remote_layout.h"
#include "scenario.h"
#include "virtual_remote.h"

namespace bk::e2e {

namespace {

using vremote::NowMs;

// Waits are polls against a deadline, generous because the test machine is shared and slow.
constexpr double kStartTimeoutMs = 60000;
constexpr double kExpectTimeoutMs = 15000;
constexpr double kSettleMs = 400;

std::string ToWindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string StemOf(const std::string& path) {
  std::string name = path.substr(path.find_last_of('\\') + 1);
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 32 && c < 127 && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

struct Process {
  std::string name;
  PROCESS_INFORMATION info{};
  HWND window = nullptr;
  std::string log;  // the key recorder's log, for targets
  // How far expect-keys and expect-chars have read this target's log.
  std::size_t keyCursor = 0;
  std::size_t charCursor = 0;
  bool Running() const { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }
};

// One line of the key recorder's log.
struct KeyLine {
  std::string kind;
  unsigned value = 0;
  double timeMs = -1;  // the recorder's QueryPerformanceCounter reading, for key messages
};

class Harness {
 public:
  std::string bkremote, recorder, remoteWindow, spy, inf, viewer, bkcheck, work, scenarioDir,
      runDir;

  ~Harness() { StopAll(); }

  bool Run(const std::vector<Step>& steps);

 private:
  bool Fail(const char* format, ...);
  void Note(const char* format, ...);
  bool Execute(const Step& step);

  bool SetupRemote();
  bool StartProcess(const std::string& name, const std::string& exe, const std::string& args,
                    Process** out);
  bool StartBkRemote(const std::string& name, bool wait);
  bool StartTarget(const std::string& image, const std::string& bindings);
  bool StartRemoteWindow();
  bool FrameChild(Process* frame, Process* child);
  Process* Find(const std::string& name);
  bool Foreground(Process* process);
  bool SendButton(const std::string& name, int mode, int holdMs);
  bool SendKeys(const std::vector<std::string>& keys);
  bool ClickRemote(const std::string& button);
  void ClickAt(POINT point);
  bool ClickWindow(Process* process, int x, int y);
  bool ExpectVisible(Process* process, bool visible);
  bool ExpectReport(const std::string& button);
  bool WatchBkRemote(Process* process);
  bool ExpectBkRemoteInput(const std::string& button);
  bool ExpectKeys(const std::string& expected);
  bool ExpectChars(const std::string& expected);
  bool ExpectNoKeys(int ms);
  bool WindowArea(Process* process, RECT* area);
  bool Screenshot(const std::string& file, Process* process);
  bool ExpectPixel(Process* process, int x, int y, std::uint32_t colour, int tolerance);
  std::vector<KeyLine> ReadLog(const Process& target);
  bool ExpectWindowState(Process* process, const std::string& state);
  bool ExpectButtons(Process* process, int count);
  bool SetViewer();
  bool ExpectViewerLaunched(const std::string& expected);
  bool ExpectNoKeysDown();
  bool MeasureCpu(Process* process, int ms);
  bool MeasureMemory(Process* process, const std::string& label);
  bool MeasureLatency(const std::string& button, int count, int keysPerPress);
  bool StartListen();
  bool ExpectListen(const std::string& text);
  Process* Target();
  void StopAll();
  void KillLeftovers();

  vremote::RawInputSink sink_;
  std::vector<std::unique_ptr<Process>> processes_;
  std::size_t reportCursor_ = 0;
  SpyLog* spyLog_ = nullptr;
  HHOOK spyHook_ = nullptr;
  long spyCursor_ = 0;
  std::string lastTarget_;
  struct Sent {
    double timeMs;
    std::uint32_t slot;
    std::uint16_t value;
  };
  std::vector<Sent> sent_;
  vremote::SetupResult firstSetup_;
  bool setupDone_ = false;
  bool viewerSet_ = false;
  std::string viewerRecord_;
  double startMs_ = NowMs();
  int line_ = 0;
  std::string listenFile_;
  std::size_t listenCursor_ = 0;  // lines of listenFile_ that expect-listen has passed
};

bool Harness::Fail(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  std::printf("FAIL (line %d): %s\n", line_, text);
  std::fflush(stdout);
  return false;
}

void Harness::Note(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  std::printf("      %s\n", text);
  std::fflush(stdout);
}

bool Harness::SetupRemote() {
  const double start = NowMs();
  vremote::SetupResult result = vremote::Setup(std::wstring(inf.begin(), inf.end()), 120000);
  if (!setupDone_) {
    firstSetup_ = result;
    setupDone_ = true;
  }
  if (!result.ok) return Fail("virtual remote not ready: %s", result.message.c_str());
  Note("virtual remote ready in %.2f s (%d device(s) created, driver %s)", (NowMs() - start) / 1000,
       result.created, result.driverInstalled ? "installed" : "already installed");
  return true;
}

bool Harness::StartProcess(const std::string& name, const std::string& exe, const std::string& args,
                           Process** out) {
  if (Find(name)) return Fail("a process named %s was already started", name.c_str());
  auto process = std::make_unique<Process>();
  process->name = name;
  std::string commandLine = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      runDir.c_str(), &startup, &process->info)) {
    return Fail("cannot start %s (error %lu)", exe.c_str(), GetLastError());
  }
  *out = process.get();
  processes_.push_back(std::move(process));
  return true;
}

bool Harness::StartBkRemote(const std::string& name, bool wait) {
  const std::string copy = runDir + "\\BkRemote.exe";
  // Copied afresh each time, so that a rebuilt program is the one that runs; a second copy
  // started while the first runs cannot overwrite it and uses the same file.
  if (!CopyFileA(bkremote.c_str(), copy.c_str(), FALSE) && !Find("bkremote")) {
    return Fail("cannot copy %s (error %lu)", bkremote.c_str(), GetLastError());
  }
  Process* process = nullptr;
  if (!StartProcess(name, copy, "", &process)) return false;
  if (!wait) return true;
  const double start = NowMs();
  // Its message loop waits for input only after the Raw Input registration.
  WaitForInputIdle(process->info.hProcess, static_cast<DWORD>(kStartTimeoutMs));
  while (NowMs() - start < kStartTimeoutMs) {
    if (!process->Running()) {
      DWORD code = 0;
      GetExitCodeProcess(process->info.hProcess, &code);
      return Fail("BkRemote.exe ended at start-up with code %lu", code);
    }
    for (HWND w = FindWindowExA(nullptr, nullptr, "Bk Input Window", nullptr); w;
         w = FindWindowExA(nullptr, w, "Bk Input Window", nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == process->info.dwProcessId) process->window = w;
    }
    if (process->window) {
      Note("BkRemote.exe up in %.2f s", (NowMs() - start) / 1000);
      return true;
    }
    Sleep(50);
  }
  return Fail("BkRemote.exe showed no \"Bk Input Window\" within %.0f s", kStartTimeoutMs / 1000);
}

bool Harness::StartTarget(const std::string& image, const std::string& bindings) {
  const std::string exe = runDir + "\\" + image;
  if (!CopyFileA(recorder.c_str(), exe.c_str(), FALSE)) {
    return Fail("cannot copy the key recorder to %s (error %lu)", exe.c_str(), GetLastError());
  }
  if (!bindings.empty()) {
    const std::string source = scenarioDir + "\\" + bindings;
    CreateDirectoryA((runDir + "\\appbindings").c_str(), nullptr);
    const std::string cfg = runDir + "\\appbindings\\" + image + ".cfg";
    if (!CopyFileA(source.c_str(), cfg.c_str(), FALSE)) {
      return Fail("cannot copy the binding file %s (error %lu)", source.c_str(), GetLastError());
    }
  }
  const std::string name = Lower(StemOf(image));
  const std::string log = runDir + "\\" + name + ".keys.log";
  DeleteFileA(log.c_str());
  Process* process = nullptr;
  if (!StartProcess(name, exe, "\"" + log + "\" \"" + name + "\"", &process)) return false;
  process->log = log;
  const double start = NowMs();
  while (NowMs() - start < kStartTimeoutMs) {
    std::ifstream in(log);
    std::string line;
    unsigned long long hwnd = 0;
    while (std::getline(in, line) && hwnd == 0) {
      if (line.rfind("READY ", 0) == 0) hwnd = std::strtoull(line.c_str() + 6, nullptr, 16);
    }
    if (hwnd != 0) {
      process->window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(hwnd));
      lastTarget_ = name;
      Note("%s up in %.2f s", image.c_str(), (NowMs() - start) / 1000);
      return true;
    }
    if (!process->Running()) return Fail("%s ended at start-up", image.c_str());
    Sleep(50);
  }
  return Fail("%s did not get ready within %.0f s", image.c_str(), kStartTimeoutMs / 1000);
}

// frame-child FRAME CHILD: as a Store app's window sits in a frame of ApplicationFrameHost.exe,
// CHILD's window becomes a child window of FRAME's (another process). The frame comes to the
// front with the focus in the child, whose keys the expectations then read.
bool Harness::FrameChild(Process* frame, Process* child) {
  if (!frame || !child) return false;
  SetWindowLongPtrA(child->window, GWL_STYLE, WS_CHILD | WS_VISIBLE);
  if (!SetParent(child->window, frame->window)) {
    return Fail("SetParent failed (error %lu)", GetLastError());
  }
  if (!Foreground(frame)) return false;
  // The recorder, as a child window, answers by taking the focus.
  static const UINT activate = RegisterWindowMessageA("BkKeyRecorderActivate");
  SendMessageA(child->window, activate, 0, 0);
  lastTarget_ = child->name;
  return true;
}

bool Harness::StartRemoteWindow() {
  Process* process = nullptr;
  if (!StartProcess("remote", remoteWindow, "", &process)) return false;
  const double start = NowMs();
  while (NowMs() - start < kStartTimeoutMs) {
    HWND w = FindWindowA(vremote::kRemoteWindowClass, nullptr);
    if (w && IsWindowVisible(w)) {
      process->window = w;
      Note("interactive remote up in %.2f s", (NowMs() - start) / 1000);
      return true;
    }
    if (!process->Running()) return Fail("the interactive remote ended at start-up");
    Sleep(50);
  }
  return Fail("the interactive remote showed no window");
}

Process* Harness::Find(const std::string& name) {
  for (auto& p : processes_) {
    if (p->name == Lower(name) || p->name == Lower(StemOf(name))) return p.get();
  }
  return nullptr;
}

Process* Harness::Target() {
  return lastTarget_.empty() ? nullptr : Find(lastTarget_);
}

bool Harness::Foreground(Process* process) {
  if (!process->window) return Fail("%s has no window", process->name.c_str());
  static const UINT activate = RegisterWindowMessageA("BkKeyRecorderActivate");
  const double start = NowMs();
  int attempt = 0;
  while (NowMs() - start < kExpectTimeoutMs) {
    if (GetForegroundWindow() == process->window) {
      Note("%s in the foreground after %.2f s", process->name.c_str(), (NowMs() - start) / 1000);
      return true;
    }
    if (attempt++ % 2 == 0) {
      SetForegroundWindow(process->window);
    } else {
      // A recorder can also be asked to take the foreground itself.
      PostMessageA(process->window, activate, 0, 0);
    }
    Sleep(100);
  }
  return Fail("%s would not come to the foreground", process->name.c_str());
}

bool Harness::SendButton(const std::string& name, int mode, int holdMs) {
  const auto button = vremote::ParseButton(Lower(name));
  if (!button) return Fail("unknown button %s", name.c_str());
  std::string why;
  auto send = [&](std::uint16_t value) {
    sent_.push_back({NowMs(), button->slot, value});
    return vremote::SendValue(button->slot, value, &why);
  };
  bool ok = true;
  if (mode != 2) ok = send(button->value);
  if (ok && mode == 3) Sleep(static_cast<DWORD>(holdMs));
  if (ok && mode != 1) ok = send(0);
  return ok || Fail("sending %s: %s", name.c_str(), why.c_str());
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

bool Harness::SendKeys(const std::vector<std::string>& keys) {
  for (const std::string& key : keys) {
    const std::string k = Lower(key);
    WORD vk = 0;
    bool shift = false;
    if (k.size() == 1 && k[0] >= '0' && k[0] <= '9') {
      vk = static_cast<WORD>(k[0]);
    } else if (k == "*") {
      vk = '8', shift = true;
    } else if (k == "#") {
      vk = '3', shift = true;
    } else if (k == "enter") {
      vk = VK_RETURN;
    } else if (k == "escape") {
      vk = VK_ESCAPE;
    } else {
      return Fail("keys: unknown key %s (0-9, *, #, enter, escape)", key.c_str());
    }
    // The remote's number pad makes each key one press and one release, "*" and "#" inside a
    // left Shift.
    std::vector<INPUT> inputs;
    if (shift) inputs.push_back(KeyInput(VK_LSHIFT, false));
    inputs.push_back(KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    if (shift) inputs.push_back(KeyInput(VK_LSHIFT, true));
    for (INPUT& input : inputs) {
      if (SendInput(1, &input, sizeof(INPUT)) != 1) {
        return Fail("SendInput failed (error %lu)", GetLastError());
      }
    }
    Sleep(30);
  }
  return true;
}

// A left click of the mouse at a point of the screen.
void Harness::ClickAt(POINT point) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((point.x * 65535LL + width / 2) / (width - 1));
    input.mi.dy = static_cast<LONG>((point.y * 65535LL + height / 2) / (height - 1));
  }
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  for (INPUT& input : inputs) {
    SendInput(1, &input, sizeof(INPUT));
    Sleep(40);
  }
}

bool Harness::ClickRemote(const std::string& button) {
  Process* remote = Find("remote");
  if (!remote || !remote->window) return Fail("click-remote needs start-remote-window first");
  for (const vremote::RemoteKey& key : vremote::RemoteKeys()) {
    const std::string label = Lower(std::string(key.label));
    const bool match = label == Lower(button) ||
                       label.substr(0, label.find(' ')) == Lower(button) ||
                       (!key.button.empty() && key.button == Lower(button));
    if (!match) continue;
    POINT point{key.x + key.width / 2, key.y + key.height / 2};
    ClientToScreen(remote->window, &point);
    ClickAt(point);
    return true;
  }
  return Fail("the interactive remote has no button %s", button.c_str());
}

bool Harness::ClickWindow(Process* process, int x, int y) {
  RECT area;
  if (!WindowArea(process, &area)) return false;
  ClickAt({area.left + x, area.top + y});
  return true;
}

bool Harness::ExpectVisible(Process* process, bool visible) {
  if (!process->window) return Fail("%s has no window", process->name.c_str());
  const double start = NowMs();
  while ((IsWindowVisible(process->window) != FALSE) != visible) {
    if (NowMs() - start > kExpectTimeoutMs) {
      return Fail("%s's window is %s", process->name.c_str(), visible ? "hidden" : "shown");
    }
    Sleep(50);
  }
  return true;
}

bool Harness::ExpectReport(const std::string& name) {
  const auto button = vremote::ParseButton(Lower(name));
  if (!button) return Fail("unknown button %s", name.c_str());
  const vremote::Collection* collection = nullptr;
  for (const auto& c : vremote::Collections()) {
    if (c.slot == button->slot) collection = &c;
  }
  const std::vector<std::uint8_t> wanted[2] = {vremote::MakeReport(*collection, button->value),
                                               vremote::MakeReport(*collection, 0)};
  const double start = NowMs();
  int found = 0;
  double arrival = 0;
  while (NowMs() - start < kExpectTimeoutMs) {
    const auto reports = sink_.Reports();
    while (found < 2 && reportCursor_ < reports.size()) {
      const auto& r = reports[reportCursor_++];
      if (r.usagePage == collection->usagePage && r.usage == collection->usage &&
          r.bytes == wanted[found]) {
        if (found == 0) arrival = r.timeMs;
        ++found;
      }
    }
    if (found == 2) {
      double sentAt = -1;
      for (const Sent& s : sent_) {
        if (s.slot == button->slot && s.value == button->value && s.timeMs <= arrival) {
          sentAt = s.timeMs;
        }
      }
      if (sentAt >= 0) {
        Note("%s reached Raw Input (%04X/%04X) %.1f ms after it was sent", name.c_str(),
             collection->usagePage, collection->usage, arrival - sentAt);
      }
      return true;
    }
    Sleep(10);
  }
  return Fail("the %s of %s never reached the harness's Raw Input sink on %04X/%04X",
              found == 0 ? "press" : "release", name.c_str(), collection->usagePage,
              collection->usage);
}

std::vector<KeyLine> Harness::ReadLog(const Process& target) {
  std::vector<KeyLine> lines;
  std::ifstream in(target.log);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    KeyLine entry;
    std::string number;
    if (!(words >> entry.kind)) continue;
    if (words >> number)
      entry.value = static_cast<unsigned>(std::strtoul(number.c_str(), nullptr, 0));
    for (std::string word; words >> word;) {
      if (word[0] == '@') entry.timeMs = std::strtod(word.c_str() + 1, nullptr);
    }
    lines.push_back(entry);
  }
  return lines;
}

bool IsKey(const KeyLine& l) {
  return l.kind.find("KEY") != std::string::npos;
}
bool IsChar(const KeyLine& l) {
  return l.kind == "CHAR";
}

bool Harness::ExpectKeys(const std::string& expected) {
  Process* target = Target();
  if (!target) return Fail("expect-keys needs start-target first");
  std::vector<std::string> want;
  std::istringstream words(expected);
  for (std::string w; words >> w;) want.push_back(Lower(w));
  std::vector<std::string> got;
  const double start = NowMs();
  double lastChange = start;
  std::size_t lastCount = 0;
  std::size_t total = 0;
  while (true) {
    std::vector<KeyLine> lines = ReadLog(*target);
    got.clear();
    std::size_t seen = 0;
    for (const KeyLine& l : lines) {
      if (!IsKey(l)) continue;
      if (seen++ >= target->keyCursor) got.push_back(Lower(KeyEventName(l.kind, l.value)));
    }
    total = seen;
    if (got.size() != lastCount) {
      lastCount = got.size();
      lastChange = NowMs();
    }
    const double now = NowMs();
    if (got.size() >= want.size() && now - lastChange >= kSettleMs) break;
    if (now - start > kExpectTimeoutMs) break;
    Sleep(20);
  }
  target->keyCursor = total;
  auto join = [](const std::vector<std::string>& v) {
    std::string s;
    for (const auto& w : v) s += (s.empty() ? "" : " ") + w;
    return s;
  };
  if (got != want) {
    return Fail("keys at %s: expected \"%s\", got \"%s\"", target->name.c_str(), join(want).c_str(),
                join(got).c_str());
  }
  return true;
}

bool Harness::ExpectChars(const std::string& expected) {
  Process* target = Target();
  if (!target) return Fail("expect-chars needs start-target first");
  std::string got;
  const double start = NowMs();
  double lastChange = start;
  std::size_t lastCount = 0, total = 0;
  while (true) {
    got.clear();
    std::size_t seen = 0;
    for (const KeyLine& l : ReadLog(*target)) {
      if (!IsChar(l)) continue;
      if (seen++ >= target->charCursor) got += static_cast<char>(l.value);
    }
    total = seen;
    if (got.size() != lastCount) {
      lastCount = got.size();
      lastChange = NowMs();
    }
    const double now = NowMs();
    if (got.size() >= expected.size() && now - lastChange >= kSettleMs) break;
    if (now - start > kExpectTimeoutMs) break;
    Sleep(20);
  }
  target->charCursor = total;
  if (got != expected) {
    return Fail("characters at %s: expected \"%s\", got \"%s\"", target->name.c_str(),
                Printable(expected).c_str(), Printable(got).c_str());
  }
  return true;
}

bool Harness::ExpectNoKeys(int ms) {
  Process* target = Target();
  if (!target) return Fail("expect-no-keys needs start-target first");
  Sleep(static_cast<DWORD>(ms));
  std::size_t keys = 0;
  std::string extra;
  for (const KeyLine& l : ReadLog(*target)) {
    if (!IsKey(l)) continue;
    if (keys++ >= target->keyCursor) extra += " " + KeyEventName(l.kind, l.value);
  }
  target->keyCursor = keys;
  if (!extra.empty()) return Fail("%s received keys:%s", target->name.c_str(), extra.c_str());
  return true;
}

bool Harness::WindowArea(Process* process, RECT* area) {
  *area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (process && (!process->window || !GetWindowRect(process->window, area))) {
    return Fail("%s has no window", process->name.c_str());
  }
  return true;
}

bool Harness::Screenshot(const std::string& file, Process* process) {
  RECT area;
  if (!WindowArea(process, &area)) return false;
  const Image image =
      CaptureScreen(area.left, area.top, area.right - area.left, area.bottom - area.top);
  const std::string path = file.find(':') != std::string::npos ? file : runDir + "\\" + file;
  if (!WriteImage(path, image)) return Fail("cannot write %s", path.c_str());
  Note("screenshot %dx%d written to %s", image.width, image.height, path.c_str());
  return true;
}

bool Harness::ExpectPixel(Process* process, int x, int y, std::uint32_t colour, int tolerance) {
  auto matches = [&](std::uint32_t got) {
    for (int shift : {0, 8, 16}) {
      const int a = static_cast<int>((got >> shift) & 0xFF);
      const int b = static_cast<int>((colour >> shift) & 0xFF);
      if (std::abs(a - b) > tolerance) return false;
    }
    return true;
  };
  // Painting is asynchronous: poll until the pixel matches or the deadline passes.
  const double start = NowMs();
  std::uint32_t got = 0;
  while (true) {
    RECT area;
    if (!WindowArea(process, &area)) return false;
    got = CaptureScreen(area.left + x, area.top + y, 1, 1).Pixel(0, 0);
    if (matches(got)) return true;
    if (NowMs() - start > kExpectTimeoutMs) break;
    Sleep(50);
  }
  return Fail("pixel (%d, %d) is %06X, not %06X", x, y, got, colour);
}

bool Harness::WatchBkRemote(Process* process) {
  if (!spyLog_) {
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(SpyLog), kSpyMapping);
    if (!mapping) return Fail("cannot create the spy's shared block (error %lu)", GetLastError());
    spyLog_ = static_cast<SpyLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(SpyLog)));
    if (!spyLog_) return Fail("cannot map the spy's shared block");
  }
  HMODULE module = LoadLibraryA(spy.c_str());
  if (!module) return Fail("cannot load %s (error %lu)", spy.c_str(), GetLastError());
  auto proc =
      reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, kSpyHookProc)));
  if (!proc) return Fail("%s has no %s", spy.c_str(), kSpyHookProc);
  const long attachedBefore = spyLog_->attached;
  spyHook_ = SetWindowsHookExA(WH_GETMESSAGE, proc, module, process->info.dwThreadId);
  if (!spyHook_) return Fail("SetWindowsHookExA failed (error %lu)", GetLastError());
  // The hook's module is loaded into the program when its loop next takes a message.
  const double start = NowMs();
  while (spyLog_->attached == attachedBefore) {
    if (NowMs() - start > kExpectTimeoutMs) return Fail("the spy never loaded into BkRemote.exe");
    PostMessageA(process->window, WM_NULL, 0, 0);
    Sleep(50);
  }
  spyCursor_ = spyLog_->count;
  Note("watching BkRemote.exe's message loop after %.2f s", (NowMs() - start) / 1000);
  return true;
}

bool Harness::ExpectBkRemoteInput(const std::string& name) {
  if (!spyLog_) return Fail("expect-bkremote-input needs watch-bkremote first");
  const auto button = vremote::ParseButton(Lower(name));
  if (!button) return Fail("unknown button %s", name.c_str());
  const vremote::Collection* collection = nullptr;
  for (const auto& c : vremote::Collections()) {
    if (c.slot == button->slot) collection = &c;
  }
  const std::vector<std::uint8_t> wanted[2] = {vremote::MakeReport(*collection, button->value),
                                               vremote::MakeReport(*collection, 0)};
  const double start = NowMs();
  int found = 0;
  while (NowMs() - start < kExpectTimeoutMs) {
    while (found < 2 && spyCursor_ < spyLog_->count) {
      const SpyRecord& r = spyLog_->records[spyCursor_++ % kSpyCapacity];
      const std::vector<std::uint8_t> bytes(r.bytes, r.bytes + r.size);
      if (r.usagePage == collection->usagePage && r.usage == collection->usage &&
          bytes == wanted[found] && std::string(r.windowClass) == "Bk Input Window") {
        ++found;
      }
    }
    if (found == 2) return true;
    Sleep(10);
  }
  return Fail("the %s of %s never reached BkRemote.exe's input window as WM_INPUT",
              found == 0 ? "press" : "release", name.c_str());
}

bool Harness::ExpectWindowState(Process* process, const std::string& state) {
  if (!process->window) return Fail("%s has no window", process->name.c_str());
  if (state != "normal" && state != "minimised" && state != "maximised") {
    return Fail("expect-window: the state is normal, minimised or maximised, not %s",
                state.c_str());
  }
  auto now = [&]() -> std::string {
    if (!IsWindow(process->window)) return "gone";
    if (IsIconic(process->window)) return "minimised";
    if (IsZoomed(process->window)) return "maximised";
    return "normal";
  };
  const double start = NowMs();
  std::string got;
  while ((got = now()) != state) {
    if (NowMs() - start > kExpectTimeoutMs) {
      return Fail("%s's window is %s, not %s", process->name.c_str(), got.c_str(), state.c_str());
    }
    Sleep(50);
  }
  return true;
}

// The on-screen layout shows the buttons of one layout and hides the other's, so the count of
// visible buttons tells the layouts apart.
bool Harness::ExpectButtons(Process* process, int count) {
  if (!process->window) return Fail("%s has no window", process->name.c_str());
  auto visibleButtons = [&]() {
    int n = 0;
    for (HWND child = FindWindowExA(process->window, nullptr, "Button", nullptr); child;
         child = FindWindowExA(process->window, child, "Button", nullptr)) {
      n += (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) != 0;
    }
    return n;
  };
  const double start = NowMs();
  int got = 0;
  while ((got = visibleButtons()) != count) {
    if (NowMs() - start > kExpectTimeoutMs) {
      return Fail("%s shows %d buttons, not %d", process->name.c_str(), got, count);
    }
    Sleep(50);
  }
  return true;
}

// The stand-in viewer records its arguments in the file that BK_VIEWER_RECORD names; programs
// started afterwards inherit the variable, and BkRemote.exe passes it on to the viewer.
bool Harness::SetViewer() {
  if (viewer.empty()) return Fail("set-viewer needs --viewer");
  const std::string copy = runDir + "\\stand_in_viewer.exe";
  if (!CopyFileA(viewer.c_str(), copy.c_str(), FALSE)) {
    return Fail("cannot copy %s (error %lu)", viewer.c_str(), GetLastError());
  }
  viewerRecord_ = runDir + "\\viewer_record.txt";
  DeleteFileA(viewerRecord_.c_str());
  SetEnvironmentVariableA("BK_VIEWER_RECORD", viewerRecord_.c_str());
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Brisko", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return Fail("cannot create HKCU\\Software\\Brisko");
  }
  const LONG result = RegSetValueExA(key, "TelvarinExecutable", 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(copy.c_str()),
                                     static_cast<DWORD>(copy.size() + 1));
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return Fail("cannot set TelvarinExecutable (error %ld)", result);
  viewerSet_ = true;
  return true;
}

bool Harness::ExpectViewerLaunched(const std::string& expected) {
  if (viewerRecord_.empty()) return Fail("expect-viewer-launched needs set-viewer first");
  const double start = NowMs();
  while (GetFileAttributesA(viewerRecord_.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (NowMs() - start > kExpectTimeoutMs) return Fail("the stand-in viewer never ran");
    Sleep(50);
  }
  std::string got;
  {
    std::ifstream in(viewerRecord_);
    for (std::string line; std::getline(in, line);) got += (got.empty() ? "" : " ") + line;
  }
  DeleteFileA(viewerRecord_.c_str());
  Note("the stand-in viewer ran %.2f s after the wait began", (NowMs() - start) / 1000);
  if (got != expected) {
    return Fail("the stand-in viewer got \"%s\", not \"%s\"", Printable(got).c_str(),
                Printable(expected).c_str());
  }
  return true;
}

// Wine keeps one asynchronous key state for the whole desktop, so the harness sees keys that
// any program left down. The state must stay clear for a while, so that a key still on its way
// is seen; a key that went down for good never clears.
bool Harness::ExpectNoKeysDown() {
  const double start = NowMs();
  double clearSince = -1;
  std::string down;
  while (true) {
    down.clear();
    for (int vk = 1; vk < 256; ++vk) {
      if (GetAsyncKeyState(vk) & 0x8000) down += " " + VirtualKeyName(static_cast<unsigned>(vk));
    }
    const double now = NowMs();
    if (!down.empty()) {
      clearSince = -1;
    } else if (clearSince < 0) {
      clearSince = now;
    } else if (now - clearSince >= kSettleMs) {
      return true;
    }
    if (now - start > 3000 + kSettleMs) break;
    Sleep(20);
  }
  return Fail("keys held down in the system:%s", down.c_str());
}

bool Harness::MeasureCpu(Process* process, int ms) {
  auto cpuMs = [&](double* out) {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process->info.hProcess, &created, &ended, &kernel, &user)) return false;
    auto value = [](const FILETIME& t) {
      return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                 t.dwLowDateTime) /
             10000.0;
    };
    *out = value(kernel) + value(user);
    return true;
  };
  double before = 0, after = 0;
  if (!cpuMs(&before)) return Fail("GetProcessTimes failed (error %lu)", GetLastError());
  const double start = NowMs();
  Sleep(static_cast<DWORD>(ms));
  const double elapsed = NowMs() - start;
  if (!cpuMs(&after)) return Fail("GetProcessTimes failed (error %lu)", GetLastError());
  std::printf("MEASURE cpu %s: %.1f ms of CPU in %.1f s (%.3f %%), %.1f ms in all so far\n",
              process->name.c_str(), after - before, elapsed / 1000,
              100.0 * (after - before) / elapsed, after);
  std::fflush(stdout);
  return true;
}

bool Harness::MeasureMemory(Process* process, const std::string& label) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process->info.hProcess,
                            reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters)) {
    return Fail("GetProcessMemoryInfo failed (error %lu)", GetLastError());
  }
  // Wine 8 reads PrivateUsage of another process as 0; PagefileUsage is the same commit charge
  // on Windows, so both are printed.
  std::printf(
      "MEASURE memory %s %s: private %.1f KiB, pagefile %.1f KiB, working set %.1f KiB, peak "
      "working set %.1f KiB\n",
      process->name.c_str(), label.c_str(), counters.PrivateUsage / 1024.0,
      counters.PagefileUsage / 1024.0, counters.WorkingSetSize / 1024.0,
      counters.PeakWorkingSetSize / 1024.0);
  std::fflush(stdout);
  return true;
}

// Each press: the report goes out, the first key message at the target is timed by the
// recorder's own clock, then the release goes out and the whole chord is awaited.
bool Harness::MeasureLatency(const std::string& name, int count, int keysPerPress) {
  Process* target = Target();
  if (!target) return Fail("measure-latency needs start-target first");
  const auto button = vremote::ParseButton(Lower(name));
  if (!button) return Fail("unknown button %s", name.c_str());
  // The log is followed incrementally: a thousand presses make a long file. ReadFile on a
  // handle kept open picks up what the recorder appends.
  HANDLE log = CreateFileA(target->log.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return Fail("cannot open %s", target->log.c_str());
  std::unique_ptr<void, decltype(&CloseHandle)> closeLog(log, &CloseHandle);
  std::string pending;
  std::vector<KeyLine> keys;
  auto follow = [&]() {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(log, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      pending.append(buffer, got);
    }
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      std::istringstream words(pending.substr(0, end));
      pending.erase(0, end + 1);
      KeyLine entry;
      std::string number;
      if (!(words >> entry.kind) || !IsKey(entry)) continue;
      if (words >> number)
        entry.value = static_cast<unsigned>(std::strtoul(number.c_str(), nullptr, 0));
      for (std::string word; words >> word;) {
        if (word[0] == '@') entry.timeMs = std::strtod(word.c_str() + 1, nullptr);
      }
      keys.push_back(entry);
    }
  };
  follow();
  std::vector<double> latencies;
  std::string why;
  for (int i = 0; i < count; ++i) {
    const std::size_t before = keys.size();
    const double sentAt = NowMs();
    if (!vremote::SendValue(button->slot, button->value, &why))
      return Fail("sending: %s", why.c_str());
    while (keys.size() == before) {
      if (NowMs() - sentAt > kExpectTimeoutMs) return Fail("press %d reached no key", i + 1);
      Sleep(1);
      follow();
    }
    latencies.push_back(keys[before].timeMs - sentAt);
    if (!vremote::SendValue(button->slot, 0, &why)) return Fail("sending: %s", why.c_str());
    while (keys.size() < before + static_cast<std::size_t>(keysPerPress)) {
      if (NowMs() - sentAt > kExpectTimeoutMs) {
        return Fail("press %d gave %zu key messages, not %d", i + 1, keys.size() - before,
                    keysPerPress);
      }
      Sleep(2);
      follow();
    }
    Sleep(10);
  }
  Sleep(static_cast<DWORD>(kSettleMs));
  follow();
  const std::size_t extra = keys.size() - (keys.size() / keysPerPress) * keysPerPress;
  std::sort(latencies.begin(), latencies.end());
  auto at = [&](double q) {
    return latencies[std::min(latencies.size() - 1,
                              static_cast<std::size_t>(q * latencies.size()))];
  };
  double sum = 0;
  for (double l : latencies) sum += l;
  std::printf(
      "MEASURE latency %s, %d presses: median %.2f ms, 95th percentile %.2f ms, min %.2f, "
      "max %.2f, mean %.2f\n",
      name.c_str(), count, at(0.5), at(0.95), latencies.front(), latencies.back(),
      sum / latencies.size());
  std::fflush(stdout);
  // The measured keys are not looked at again by expect-keys.
  std::size_t allKeys = 0, allChars = 0;
  for (const KeyLine& l : ReadLog(*target)) {
    allKeys += IsKey(l);
    allChars += IsChar(l);
  }
  target->keyCursor = allKeys;
  target->charCursor = allChars;
  if (extra != 0) Note("%zu key messages beyond whole chords", extra);
  return true;
}

// BkCheck.exe sits beside BkRemote.exe, so that it reads the same binding files. Its output goes
// to a file; its input is empty, so only the end of the scenario ends it.
bool Harness::StartListen() {
  if (bkcheck.empty()) return Fail("start-listen needs --bkcheck");
  const std::string copy = runDir + "\\BkCheck.exe";
  if (!CopyFileA(bkcheck.c_str(), copy.c_str(), FALSE)) {
    return Fail("cannot copy %s (error %lu)", bkcheck.c_str(), GetLastError());
  }
  listenFile_ = runDir + "\\listen.txt";
  listenCursor_ = 0;
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE out = CreateFileA(listenFile_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE in = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                          OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = startup.hStdError = out;
  auto process = std::make_unique<Process>();
  process->name = "bkcheck";
  std::string commandLine = "\"" + copy + "\" --listen";
  const BOOL started =
      CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                     nullptr, runDir.c_str(), &startup, &process->info);
  CloseHandle(out);
  CloseHandle(in);
  if (!started) return Fail("cannot start %s (error %lu)", copy.c_str(), GetLastError());
  processes_.push_back(std::move(process));
  // The heading comes once its Raw Input registration is made.
  return ExpectListen("Binding files are read from");
}

bool Harness::ExpectListen(const std::string& text) {
  if (listenFile_.empty()) return Fail("expect-listen needs start-listen first");
  std::vector<std::string> lines;
  const double start = NowMs();
  while (NowMs() - start < kExpectTimeoutMs) {
    lines.clear();
    std::ifstream in(listenFile_);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    for (std::size_t i = listenCursor_; i < lines.size(); ++i) {
      if (lines[i].find(text) == std::string::npos) continue;
      listenCursor_ = i + 1;
      Note("BkCheck: %s", lines[i].c_str());
      return true;
    }
    Sleep(50);
  }
  std::string after;
  for (std::size_t i = listenCursor_; i < lines.size(); ++i) after += "\n        " + lines[i];
  return Fail("BkCheck --listen wrote no line with \"%s\"; after the last one matched:%s",
              text.c_str(), after.c_str());
}

void Harness::StopAll() {
  if (spyHook_) UnhookWindowsHookEx(spyHook_);
  spyHook_ = nullptr;
  if (viewerSet_) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Brisko", "TelvarinExecutable");
    viewerSet_ = false;
  }
  for (auto& p : processes_) {
    if (p->Running()) {
      TerminateProcess(p->info.hProcess, 0);
      WaitForSingleObject(p->info.hProcess, 10000);
    }
    CloseHandle(p->info.hProcess);
    CloseHandle(p->info.hThread);
  }
  processes_.clear();
}

// A scenario that was killed may have left its programs running; a BkRemote.exe among them would
// make every later start a second copy.
void Harness::KillLeftovers() {
  for (const char* windowClass :
       {"Bk Input Window", "BkKeyRecorder", "BkCheck Listener", vremote::kRemoteWindowClass}) {
    for (HWND w = FindWindowExA(nullptr, nullptr, windowClass, nullptr); w;
         w = FindWindowExA(nullptr, nullptr, windowClass, nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
      if (!process) break;
      std::printf("      ending a leftover process %lu (%s)\n", pid, windowClass);
      TerminateProcess(process, 0);
      WaitForSingleObject(process, 10000);
      CloseHandle(process);
    }
  }
}

bool Harness::Execute(const Step& step) {
  const std::vector<std::string>& w = step.words;
  const std::string& command = w[0];
  const std::size_t n = w.size();
  auto needs = [&](std::size_t min, std::size_t max) {
    if (n - 1 >= min && n - 1 <= max) return true;
    return Fail("%s takes %zu to %zu arguments", command.c_str(), min, max);
  };
  auto process = [&](const std::string& name) -> Process* {
    Process* p = Find(name);
    if (!p) Fail("no process named %s", name.c_str());
    return p;
  };
  if (command == "setup-remote") return needs(0, 0) && SetupRemote();
  if (command == "expect-remote-unchanged") {
    if (!needs(0, 0)) return false;
    if (firstSetup_.created != 0 || firstSetup_.driverInstalled) {
      return Fail("the virtual remote had to be set up again (%d created, driver %s)",
                  firstSetup_.created, firstSetup_.driverInstalled ? "installed" : "kept");
    }
    return true;
  }
  if (command == "program-folder") {
    if (!needs(1, 1)) return false;
    runDir += "\\" + w[1];
    CreateDirectoryA(runDir.c_str(), nullptr);
    return true;
  }
  if (command == "start-bkremote")
    return needs(0, 1) && StartBkRemote(n > 1 ? Lower(w[1]) : "bkremote", true);
  if (command == "run-bkremote") return needs(1, 1) && StartBkRemote(Lower(w[1]), false);
  if (command == "start-target") return needs(1, 2) && StartTarget(w[1], n > 2 ? w[2] : "");
  if (command == "start-remote-window") return needs(0, 0) && StartRemoteWindow();
  if (command == "frame-child") return needs(2, 2) && FrameChild(process(w[1]), process(w[2]));
  if (command == "expect-exit") {
    if (!needs(2, 2)) return false;
    Process* p = process(w[1]);
    if (!p) return false;
    if (WaitForSingleObject(p->info.hProcess, static_cast<DWORD>(kStartTimeoutMs)) !=
        WAIT_OBJECT_0) {
      return Fail("%s did not end", w[1].c_str());
    }
    DWORD code = 0;
    GetExitCodeProcess(p->info.hProcess, &code);
    const DWORD wanted = static_cast<DWORD>(std::strtoul(w[2].c_str(), nullptr, 0));
    if (code != wanted) return Fail("%s ended with %lu, not %lu", w[1].c_str(), code, wanted);
    return true;
  }
  if (command == "expect-running") {
    if (!needs(1, 1)) return false;
    Process* p = process(w[1]);
    return p && (p->Running() || Fail("%s is not running", w[1].c_str()));
  }
  if (command == "expect-windows") {
    if (!needs(2, 2)) return false;
    int count = 0;
    for (HWND h = FindWindowExA(nullptr, nullptr, w[1].c_str(), nullptr); h;
         h = FindWindowExA(nullptr, h, w[1].c_str(), nullptr)) {
      ++count;
    }
    const int wanted = std::atoi(w[2].c_str());
    return count == wanted ||
           Fail("%d windows of class \"%s\", not %d", count, w[1].c_str(), wanted);
  }
  if (command == "foreground") {
    if (!needs(1, 1)) return false;
    Process* p = process(w[1]);
    // Expectations follow the target brought forward.
    if (p != nullptr && !p->log.empty()) lastTarget_ = p->name;
    return p && Foreground(p);
  }
  if (command == "expect-foreground") {
    if (!needs(1, 1)) return false;
    Process* p = process(w[1]);
    if (!p) return false;
    // Activation by another program arrives a little later: poll.
    const double start = NowMs();
    while (GetForegroundWindow() != p->window) {
      if (NowMs() - start > kExpectTimeoutMs) {
        return Fail("the foreground window is not %s's", w[1].c_str());
      }
      Sleep(50);
    }
    return true;
  }
  if (command == "press") {
    if (!needs(1, 64)) return false;
    for (std::size_t i = 1; i < n; ++i) {
      if (!SendButton(w[i], 0, 0)) return false;
    }
    return true;
  }
  if (command == "down") return needs(1, 1) && SendButton(w[1], 1, 0);
  if (command == "up") return needs(1, 1) && SendButton(w[1], 2, 0);
  if (command == "hold") return needs(2, 2) && SendButton(w[1], 3, std::atoi(w[2].c_str()));
  if (command == "keys") return needs(1, 256) && SendKeys({w.begin() + 1, w.end()});
  if (command == "click-remote") return needs(1, 1) && ClickRemote(w[1]);
  if (command == "click") {
    if (!needs(3, 3)) return false;
    Process* p = process(w[1]);
    return p && ClickWindow(p, std::atoi(w[2].c_str()), std::atoi(w[3].c_str()));
  }
  if (command == "expect-visible") {
    if (!needs(2, 2)) return false;
    Process* p = process(w[1]);
    return p && ExpectVisible(p, w[2] == "yes");
  }
  if (command == "wait") {
    if (!needs(1, 1)) return false;
    Sleep(static_cast<DWORD>(std::atoi(w[1].c_str())));
    return true;
  }
  if (command == "expect-report") return needs(1, 1) && ExpectReport(w[1]);
  if (command == "watch-bkremote") {
    if (!needs(0, 1)) return false;
    Process* p = process(n > 1 ? w[1] : "bkremote");
    return p && WatchBkRemote(p);
  }
  if (command == "expect-bkremote-input") return needs(1, 1) && ExpectBkRemoteInput(w[1]);
  if (command == "expect-keys") return needs(1, 1) && ExpectKeys(w[1]);
  if (command == "expect-chars") return needs(1, 1) && ExpectChars(w[1]);
  if (command == "expect-no-keys") return needs(1, 1) && ExpectNoKeys(std::atoi(w[1].c_str()));
  if (command == "forget-keys") {
    if (!needs(0, 0)) return false;
    Process* target = Target();
    if (!target) return Fail("forget-keys needs start-target first");
    std::size_t keys = 0, chars = 0;
    for (const KeyLine& l : ReadLog(*target)) {
      keys += IsKey(l);
      chars += IsChar(l);
    }
    target->keyCursor = keys;
    target->charCursor = chars;
    return true;
  }
  if (command == "screenshot") {
    if (!needs(1, 2)) return false;
    Process* p = n > 2 ? process(w[2]) : nullptr;
    if (n > 2 && !p) return false;
    return Screenshot(w[1], p);
  }
  if (command == "expect-pixel") {
    if (!needs(4, 5)) return false;
    Process* p = w[1] == "screen" ? nullptr : process(w[1]);
    if (w[1] != "screen" && !p) return false;
    return ExpectPixel(p, std::atoi(w[2].c_str()), std::atoi(w[3].c_str()),
                       static_cast<std::uint32_t>(std::strtoul(w[4].c_str(), nullptr, 16)),
                       n > 5 ? std::atoi(w[5].c_str()) : 0);
  }
  if (command == "expect-window") {
    if (!needs(2, 2)) return false;
    Process* p = process(w[1]);
    return p && ExpectWindowState(p, Lower(w[2]));
  }
  if (command == "expect-buttons") {
    if (!needs(2, 2)) return false;
    Process* p = process(w[1]);
    return p && ExpectButtons(p, std::atoi(w[2].c_str()));
  }
  if (command == "set-viewer") return needs(0, 0) && SetViewer();
  if (command == "expect-viewer-launched") return needs(1, 1) && ExpectViewerLaunched(w[1]);
  if (command == "expect-no-keys-down") return needs(0, 0) && ExpectNoKeysDown();
  if (command == "measure-cpu") {
    if (!needs(2, 2)) return false;
    Process* p = process(w[1]);
    return p && MeasureCpu(p, std::atoi(w[2].c_str()));
  }
  if (command == "measure-memory") {
    if (!needs(2, 2)) return false;
    Process* p = process(w[1]);
    return p && MeasureMemory(p, w[2]);
  }
  if (command == "start-listen") return needs(0, 0) && StartListen();
  if (command == "expect-listen") return needs(1, 1) && ExpectListen(w[1]);
  if (command == "measure-latency") {
    return needs(3, 3) &&
           MeasureLatency(w[1], std::atoi(w[2].c_str()), std::max(1, std::atoi(w[3].c_str())));
  }
  return Fail("unknown command %s", command.c_str());
}

bool Harness::Run(const std::vector<Step>& steps) {
  CreateDirectoryA(work.c_str(), nullptr);
  CreateDirectoryA(runDir.c_str(), nullptr);
  KillLeftovers();
  std::string why;
  if (!sink_.Start(&why)) return Fail("Raw Input sink: %s", why.c_str());
  // Which modifier the window switcher uses depends on the version programs are told.
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (GetVersionExA(&version)) {
    Note("GetVersionExA reports Windows %lu.%lu build %lu", version.dwMajorVersion,
         version.dwMinorVersion, version.dwBuildNumber);
  }
#pragma GCC diagnostic pop
  if (!SetupRemote()) return false;
  for (const Step& step : steps) {
    line_ = step.line;
    std::printf("[%7.2f s] %s\n", (NowMs() - startMs_) / 1000, step.text.c_str());
    std::fflush(stdout);
    if (!Execute(step)) return false;
  }
  return true;
}

}  // namespace

}  // namespace bk::e2e

int main(int argc, char** argv) {
  bk::e2e::Harness harness;
  std::string scenarioPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto next = [&]() { return i + 1 < argc ? bk::e2e::ToWindowsPath(argv[++i]) : std::string(); };
    if (arg == "--bkremote") {
      harness.bkremote = next();
    } else if (arg == "--recorder") {
      harness.recorder = next();
    } else if (arg == "--remote-window") {
      harness.remoteWindow = next();
    } else if (arg == "--spy") {
      harness.spy = next();
    } else if (arg == "--inf") {
      harness.inf = next();
    } else if (arg == "--viewer") {
      harness.viewer = next();
    } else if (arg == "--bkcheck") {
      harness.bkcheck = next();
    } else if (arg == "--work") {
      harness.work = next();
    } else {
      scenarioPath = bk::e2e::ToWindowsPath(arg);
    }
  }
  if (scenarioPath.empty() || harness.work.empty() || harness.inf.empty()) {
    std::fprintf(
        stderr,
        "usage: bk_e2e --bkremote EXE --recorder EXE --remote-window EXE --spy DLL [--viewer EXE]"
        " [--bkcheck EXE] --inf INF --work DIR SCENARIO\n");
    return 2;
  }
  std::ifstream in(scenarioPath, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "bk_e2e: cannot read %s\n", scenarioPath.c_str());
    return 2;
  }
  std::stringstream source;
  source << in.rdbuf();
  std::string error;
  const auto steps = bk::e2e::ParseScenario(source.str(), &error);
  if (!error.empty()) {
    std::fprintf(stderr, "bk_e2e: %s: %s\n", scenarioPath.c_str(), error.c_str());
    return 2;
  }
  harness.scenarioDir = bk::e2e::DirectoryOf(scenarioPath);
  harness.runDir = harness.work + "\\" + bk::e2e::StemOf(scenarioPath);
  const bool ok = harness.Run(steps);
  std::printf("scenario %s: %s\n", bk::e2e::StemOf(scenarioPath).c_str(), ok ? "passed" : "FAILED");
  return ok ? 0 : 1;
}
