// Button B on a crowded desktop: the candidate walk at its bound, and the whole press.
#include <benchmark/benchmark.h>

#include "fake/fake_os.h"
#include "windows/foreground_control.h"

namespace bk {
namespace {

// A foreground window above `count` windows that all break a rule: the walk visits every one.
void Crowd(fake::FakeOs& fake, int count) {
  fake.desktop.AddWindow({});
  fake::WindowTraits hidden;
  hidden.style = fake::kOverlappedWindow;
  for (int i = 0; i < count; ++i) fake.desktop.AddWindow(hidden);
}

void BM_CandidateWalkOverEveryWindow(benchmark::State& state) {
  fake::FakeOs fake;
  fake.Install();
  Crowd(fake, static_cast<int>(state.range(0)));
  const WindowId foreground = fake.desktop.ForegroundWindow();
  for (auto _ : state) benchmark::DoNotOptimize(FindActivationCandidate(foreground));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CandidateWalkOverEveryWindow)->Arg(100)->Arg(10000);

void BM_ButtonBWithFiftyWindows(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    fake::FakeOs fake;
    fake.Install();
    for (int i = 0; i < 50; ++i) fake.desktop.AddWindow({});
    state.ResumeTiming();
    ForegroundWindowAction(false);
  }
}
BENCHMARK(BM_ButtonBWithFiftyWindows);

}  // namespace
}  // namespace bk
