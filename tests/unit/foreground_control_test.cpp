#include "windows/foreground_control.h"

#include <gtest/gtest.h>

#include <cctype>

#include "fake/bk_test.h"

namespace bk {
namespace {

using fake::Window;
using Log = std::vector<std::string>;

class ForegroundTest : public fake::BkTest {};

// ---- button B: the candidate walk from the top of the Z order ------------------------------
// (a child or disabled window is excluded by the same mask as a popup)

struct CandidateCase {
  const char* rule;
  Window other;            // a window between the foreground window and a suitable one below both
  bool above = false;      // `other` is suitable and lies above the foreground window: B chooses it
  std::size_t others = 1;  // that many such windows
};

class CandidateTest : public ForegroundTest, public ::testing::WithParamInterface<CandidateCase> {};

TEST_P(CandidateTest, BMinimisesAndBringsTheFirstSuitableWindowForward) {
  const CandidateCase& c = GetParam();
  const WindowId front = fake.AddWindow({.name = "front"});
  const WindowId other = fake.AddWindow(c.other);
  for (std::size_t i = 1; i < c.others; ++i) fake.AddWindow(c.other);
  const WindowId good = fake.AddWindow({.name = "good"});
  if (c.above) fake.zOrder = {other, front, good};
  ForegroundWindowAction(false);
  // The walk looks at kMaxCandidateWalk windows at most, the foreground one included.
  const WindowId chosen = c.above ? other : c.others + 1 < kMaxCandidateWalk ? good : front;
  EXPECT_EQ(fake.foreground, chosen) << c.rule;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CandidateTest,
    ::testing::Values(
        CandidateCase{"popup", {.style = ws::Popup | ws::Visible | ws::Minimizebox}},
        CandidateCase{"no WS_VISIBLE in its style", {.style = fake::kOverlapped}},
        CandidateCase{"not visible", {.visible = false}},
        CandidateCase{"minimised", {.minimized = true}},
        CandidateCase{"no minimise box", {.style = fake::kAppStyle & ~ws::Minimizebox}},
        CandidateCase{"non-activating", {.exStyle = ws::ExNoActivate}},
        CandidateCase{"a suitable window above the foreground one", {}, true},
        CandidateCase{
            "the last window the walk reaches", {.minimized = true}, false, kMaxCandidateWalk - 2},
        CandidateCase{"past the walk's end", {.minimized = true}, false, kMaxCandidateWalk - 1}));

// ---- buttons B and C on each kind of foreground window -------------------------------------

struct ActionCase {
  bool maximise;
  Window front;
  const char* log;  // "": nothing happens at all
  bool failWindowInfo = false;
};

class ActionTest : public ForegroundTest, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(ActionTest, MaximisesRestoresOrDoesNothing) {
  const ActionCase& c = GetParam();
  Window front = c.front;
  front.name = "front";
  fake.MakeForeground(fake.AddWindow(front));
  fake.failWindowInfo = c.failWindowInfo;
  ForegroundWindowAction(c.maximise);
  EXPECT_EQ(fake.log, *c.log ? Log{c.log} : Log{});
}

constexpr std::uint32_t kDialog = ws::Popup | ws::Visible | 0x00C80000;  // caption, system menu

// C restores a minimised window (the whole-program scenario maximises and restores a normal one);
// a dialog has neither box; GetWindowInfo fails.
INSTANTIATE_TEST_SUITE_P(
    Cases, ActionTest,
    ::testing::Values(ActionCase{true, {.minimized = true}, "ShowWindow(front, 9)"},
                      ActionCase{true, {.style = kDialog}, ""},
                      ActionCase{false, {.style = kDialog}, ""}, ActionCase{false, {}, "", true}));

// ---- ForceForeground: the escalation -------------------------------------------------------

// Each call as the capitals of its name and the last digit in it: " SW5" ShowWindow(SW_SHOW),
// " SFW1" or " SFW0" SetForegroundWindow accepted or refused, " ATI1" or " ATI0" AttachThreadInput
// attaching or detaching, " SI4" SendInput of the four Alt taps (the teardown checks that Alt is
// let go).
std::string Calls(const Log& log) {
  std::string text;
  for (const std::string& call : log) {
    text += " ";
    for (char ch : call.substr(0, call.find('(')))
      text += std::isupper(ch) ? std::string(1, ch) : "";
    const std::size_t digit = call.find_last_of("0123456789");
    if (digit != std::string::npos) text += call[digit];
  }
  return text;
}

const std::string kBurst = " SW5 SFW1 BWTT SAW SF SW5 SFW1 SF";
const std::string kRefusedBurst = " SW5 SFW0 BWTT SAW SF SW5 SFW0 SF";

struct EscalationCase {
  int failures;  // of SetForegroundWindow; -1: the target is already in front
  std::string calls;
};

class EscalationTest : public ForegroundTest,
                       public ::testing::WithParamInterface<EscalationCase> {};

TEST_P(EscalationTest, MakesTheCallsInOrder) {
  const EscalationCase& c = GetParam();
  if (c.failures >= 0) fake.AddWindow({.name = "front", .thread = 11});
  const WindowId target = fake.AddWindow({.name = "target", .thread = 22});
  fake.failSetForeground = std::max(c.failures, 0);
  ForceForeground(target);
  EXPECT_EQ(Calls(fake.log), c.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, EscalationTest,
    ::testing::Values(EscalationCase{-1, kBurst}, EscalationCase{0, kBurst + " SWP SFW1" + kBurst},
                      EscalationCase{
                          3, kRefusedBurst + " SWP SFW0 ATI1 SFW1" + kBurst + " ATI0" + kBurst},
                      EscalationCase{4, kRefusedBurst + " SWP SFW0 ATI1 SFW0 SI4 SFW1" + kBurst +
                                            " ATI0" + kBurst}));

}  // namespace
}  // namespace bk
