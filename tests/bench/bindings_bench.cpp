// A remote press through dispatch to SendInput, the loading of a binding file, and the checker
// reading the same file.
#include <benchmark/benchmark.h>

#include <string>

#include "app/button_dispatch.h"
#include "app/program_state.h"
#include "bindings/binding_file.h"
#include "bindings/foreground_tracking.h"
#include "bindings/key_names.h"
#include "check/binding_check.h"
#include "fake/binding_folder.h"
#include "fake/fake_os.h"

namespace bk {
namespace {

constexpr ButtonCode kPlay = 0x0000000C000100B0;

// A fresh program on a fresh fake machine, with one application in front.
struct Machine {
  Machine() {
    ResetProgramState();
    ResetBindingsState();
    fake.Install();
    BuildKeyNameTable();
    programDir = folder.ProgramDir();
    fake.AddApp(0x10, 42, "\\Device\\HarddiskVolume3\\Program Files\\App\\app.exe");
    fake.desktop.MakeForeground(0x10);
  }
  ~Machine() {
    ResetProgramState();
    ResetBindingsState();
  }
  fake::FakeOs fake;
  fake::BindingFolder folder;
};

// Play with the same application in front as at the last press: no file is read, the chord
// goes out as one SendInput call per key event. Arg: keys in the chord.
void BM_PlayToSendInput(benchmark::State& state) {
  Machine machine;
  const std::string chords[] = {"", "p", "ctrl+p", "ctrl+shift+p", "ctrl+shift+alt+p"};
  machine.folder.Write("app.exe", "play=" + chords[state.range(0)] + "\n");
  DispatchButton(kPlay);  // binds the application
  for (auto _ : state) {
    DispatchButton(kPlay);
    machine.fake.keyboard.ClearCalls();
  }
  if (machine.fake.processes.openCount != 1) state.SkipWithError("the file was read again");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlayToSendInput)->Arg(2)->Arg(4);

// A binding file of 10,000 lines, every fifth a comment. Arg: 1 for CR LF line ends.
std::string TenThousandLines(bool crlf) {
  static const char* const kLines[] = {"play=ctrl+p",
                                       "pause=space",
                                       "stop=ctrl+s",
                                       "next=ctrl+right",
                                       "# previous track",
                                       "previous=ctrl+left",
                                       "fullscreen=alt+enter",
                                       "back=backspace",
                                       "channelup=pgup",
                                       "# channels",
                                       "channeldown=pgdn",
                                       "record=ctrl+shift+r",
                                       "fastforward=shift+right",
                                       "rewind=shift+left",
                                       "# menus",
                                       "info=ctrl+i",
                                       "guide=f1",
                                       "menu=context",
                                       "zoom=ctrl+plus",
                                       "# end"};
  std::string text;
  for (int i = 0; i < 10000; ++i) {
    text += kLines[i % std::size(kLines)];
    text += crlf ? "\r\n" : "\n";
  }
  return text;
}

void BM_LoadBindingFile(benchmark::State& state) {
  Machine machine;
  const std::string text = TenThousandLines(state.range(0) != 0);
  const std::string path = machine.folder.WriteFile("big.cfg", text);
  for (auto _ : state) {
    AppBindings.clear();
    if (!LoadBindingFile(path)) state.SkipWithError("could not open the file");
  }
  if (AppBindings.size() != 16) state.SkipWithError("wrong bindings");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["lines"] = 10000;
}
BENCHMARK(BM_LoadBindingFile)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The checker over the same file: the loader with its observer, and every line's diagnosis.
void BM_CheckBindingFile(benchmark::State& state) {
  Machine machine;
  const std::string text = TenThousandLines(false);
  const std::string path = machine.folder.WriteFile("big.exe.cfg", text);
  for (auto _ : state) {
    const check::FileCheck result = check::CheckBindingFile(path);
    if (result.bindings.size() != 16) state.SkipWithError("wrong bindings");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CheckBindingFile)->Unit(benchmark::kMicrosecond);

// One line of 1 MiB: a chord of 200,000 keys.
void BM_LoadOneMebibyteLine(benchmark::State& state) {
  Machine machine;
  std::string text = "play=";
  while (text.size() < (1u << 20)) text += "ctrl+";
  text += "p\n";
  const std::string path = machine.folder.WriteFile("long.cfg", text);
  for (auto _ : state) {
    AppBindings.clear();
    LoadBindingFile(path);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LoadOneMebibyteLine)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace bk
