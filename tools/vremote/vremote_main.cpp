// vremote.exe: sets up the virtual remote in the current Wine prefix and presses its buttons.
//
//   vremote setup [INF] [--probe]  create the devices, install the driver, wait for Raw Input;
//                               with --probe, then time a report to a Raw Input sink
//   vremote status              what the driver and Raw Input see
//   vremote press NAME...       press and release buttons (play, back, input, a, vendor:3, ...)
//   vremote down NAME | up NAME the press report or the release report alone
//   vremote hold NAME MS        press, wait MS milliseconds, release
//   vremote buttons             list the button names
//   vremote listen MS           print the reports a Raw Input sink of our own receives
//   vremote probe               press play and time its arrival at a Raw Input sink
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "raw_input_sink.h"
#include "virtual_remote.h"

namespace {

using namespace bk::vremote;

std::wstring DefaultInf() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  dir.erase(dir.find_last_of(L'\\') + 1);
  return dir + L"bkvremote.inf";
}

std::wstring Widen(const char* text) {
  std::wstring out;
  for (; *text; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
  return out;
}

int Usage() {
  std::fprintf(stderr,
               "usage: vremote setup [INF] [--probe] | listen MS | probe | status | buttons | "
               "press NAME... | down NAME |"
               " up NAME | hold NAME MS\n");
  return 2;
}

std::optional<Button> ButtonOrComplain(const char* name) {
  auto button = ParseButton(name);
  if (!button) std::fprintf(stderr, "vremote: unknown button '%s'\n", name);
  return button;
}

void PrintReport(const ReceivedReport& r) {
  std::printf("%04X/%04X", r.usagePage, r.usage);
  for (std::uint8_t b : r.bytes) std::printf(" %02X", b);
  std::printf("\n");
}

int Listen(int ms) {
  RawInputSink sink;
  std::string why;
  if (!sink.Start(&why)) {
    std::fprintf(stderr, "vremote: %s\n", why.c_str());
    return 1;
  }
  Sleep(static_cast<DWORD>(ms));
  for (const ReceivedReport& r : sink.Reports()) PrintReport(r);
  return 0;
}

// Sends Play and waits for its press report at a sink of our own; prints the latency.
int Probe(double since = -1) {
  RawInputSink sink;
  std::string why;
  if (!sink.Start(&why)) {
    std::fprintf(stderr, "vremote: %s\n", why.c_str());
    return 1;
  }
  const double sent = NowMs();
  if (!Press(*ParseButton("play"), &why)) {
    std::fprintf(stderr, "vremote: %s\n", why.c_str());
    return 1;
  }
  const double deadline = sent + 20000;
  while (sink.Count() < 2 && NowMs() < deadline) Sleep(1);
  const auto reports = sink.Reports();
  if (reports.empty()) {
    std::fprintf(stderr, "vremote: no report arrived\n");
    return 1;
  }
  std::printf("first report after %.1f ms\n", reports.front().timeMs - sent);
  if (since >= 0) {
    std::printf("first report delivered %.2f s after setup began\n",
                (reports.front().timeMs - since) / 1000);
  }
  for (const ReceivedReport& r : reports) PrintReport(r);
  return reports.size() == 2 ? 0 : 1;
}

int Status() {
  std::string why;
  const auto slots = DriverStatus(&why);
  if (!slots) {
    std::printf("driver: %s\n", why.c_str());
  } else {
    for (const SlotStatus& s : *slots) {
      std::printf("slot %u: started %d, reads waiting %u, queued %u, delivered %u\n", s.slot,
                  s.started ? 1 : 0, s.readsWaiting, s.queued, s.delivered);
    }
  }
  for (const RawDevice& d : RawHidDevices()) {
    std::printf("raw input %#llx: %04X/%04X %s\n", static_cast<unsigned long long>(d.handle),
                d.usagePage, d.usage, d.name.c_str());
  }
  const bool ready = Ready(&why);
  std::printf("ready: %s\n", ready ? "yes" : why.c_str());
  return ready ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  std::string why;
  if (command == "setup") {
    const double began = NowMs();
    const bool probe = argc > 2 && std::string(argv[argc - 1]) == "--probe";
    const std::wstring inf = argc > (probe ? 3 : 2) ? Widen(argv[2]) : DefaultInf();
    const SetupResult result = Setup(inf, 90000);
    std::printf("setup: %s, %d device(s) created, driver %s, %.2f s\n",
                result.ok ? "ready" : "FAILED", result.created,
                result.driverInstalled ? "installed" : "already installed", result.seconds);
    if (!result.ok) std::fprintf(stderr, "vremote: %s\n", result.message.c_str());
    if (result.ok && probe) return Probe(began);
    return result.ok ? 0 : 1;
  }
  if (command == "status") return Status();
  if (command == "listen" && argc == 3) return Listen(std::atoi(argv[2]));
  if (command == "probe") return Probe();
  if (command == "buttons") {
    for (const Button& b : Buttons())
      std::printf("%.*s\n", static_cast<int>(b.name.size()), b.name.data());
    std::printf("<collection>:<value> with collection consumer, vendor, ffbc or selection\n");
    return 0;
  }
  if (command == "press" && argc > 2) {
    for (int i = 2; i < argc; ++i) {
      const auto button = ButtonOrComplain(argv[i]);
      if (!button) return 2;
      if (!Press(*button, &why)) {
        std::fprintf(stderr, "vremote: %s\n", why.c_str());
        return 1;
      }
    }
    return 0;
  }
  if ((command == "down" || command == "up") && argc == 3) {
    const auto button = ButtonOrComplain(argv[2]);
    if (!button) return 2;
    if (!SendValue(button->slot, command == "down" ? button->value : 0, &why)) {
      std::fprintf(stderr, "vremote: %s\n", why.c_str());
      return 1;
    }
    return 0;
  }
  if (command == "hold" && argc == 4) {
    const auto button = ButtonOrComplain(argv[2]);
    if (!button) return 2;
    const bool ok =
        SendValue(button->slot, button->value, &why) &&
        (Sleep(static_cast<DWORD>(std::atoi(argv[3]))), SendValue(button->slot, 0, &why));
    if (!ok) std::fprintf(stderr, "vremote: %s\n", why.c_str());
    return ok ? 0 : 1;
  }
  return Usage();
}
