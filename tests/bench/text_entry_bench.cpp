// One keystroke of the desktop through the layout's hook, while the layout is shown: the hook runs
// on the path of every key, and the system drops a hook that is slower than its timeout.
#include <benchmark/benchmark.h>

#include "fake/bk_test.h"
#include "fake/entry_driver.h"
#include "osd/keyboard_hook.h"

namespace bk {
namespace {

// The program started with its layout shown, on a fake machine that keeps no logs.
class ShownLayout {
 public:
  ShownLayout() {
    fake::ResetAllProgramState();
    fake_.Install();
    driver_.Start();
    driver_.Run("input 100ms");
    fake_.keyboard.keepLogs = false;
  }
  ~ShownLayout() { fake::ResetAllProgramState(); }
  ShownLayout(const ShownLayout&) = delete;
  ShownLayout& operator=(const ShownLayout&) = delete;

  // A press and a release of `vk`, as the hook receives them.
  void Tap(std::uint32_t vk, std::uintptr_t extraInfo = 0) {
    const HookEvent event{vk, 0, extraInfo};
    benchmark::DoNotOptimize(KeyboardHookProc(kHcAction, kWmKeyDown, event, 0));
    benchmark::DoNotOptimize(KeyboardHookProc(kHcAction, kWmKeyUp, event, 0));
    fake_.layoutWindow.invalidations.clear();  // the fake's record of repaints
  }

 private:
  fake::FakeOs fake_;
  fake::EntryDriver driver_{fake_};
};

// The program's own key, which passes at once.
void BM_HookOwnKey(benchmark::State& state) {
  ShownLayout layout;
  for (auto _ : state) layout.Tap('A', kOwnInputMarker);
  state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_HookOwnKey);

// A key of the user's that passes and resets the entry.
void BM_HookOtherKey(benchmark::State& state) {
  ShownLayout layout;
  for (auto _ : state) layout.Tap('K');
  state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_HookOtherKey);

// A digit that selects the next key of its cycle: swallowed, no typing.
void BM_HookTapSelects(benchmark::State& state) {
  ShownLayout layout;
  for (auto _ : state) layout.Tap('2');
  state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_HookTapSelects);

// Digits that alternate, so that every tap types the key the last one selected.
void BM_HookTapCommitsAndTypes(benchmark::State& state) {
  ShownLayout layout;
  bool two = false;
  for (auto _ : state) {
    layout.Tap((two = !two) ? '2' : '3');
  }
  state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_HookTapCommitsAndTypes);

}  // namespace
}  // namespace bk
