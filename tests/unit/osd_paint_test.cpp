#include "osd/osd_paint.h"

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "fake/osd_fixture.h"
#include "osd/text_entry.h"

namespace bk {
namespace {

using fake::CanvasOp;
using Kind = fake::CanvasOp::Kind;

class PaintTest : public fake::OsdTest {
 protected:
  // What WM_DRAWITEM for the key's button at `index` of the active layout paints.
  fake::RecordingCanvas PaintAt(int index) {
    const WindowId button = activeLayout[index].button;
    const Rect rect = fake.layoutWindow.At(button).rect;
    fake::RecordingCanvas canvas;
    PaintOsdItem(canvas, button, {0, 0, rect.right - rect.left, rect.bottom - rect.top});
    return canvas;
  }
  void SetState(int index, std::uint32_t state) {
    fake.layoutWindow.At(activeLayout[index].button).buttonState = state;
  }
};

enum class State { Rest, Hot, Pushed, Latched, Selected };

struct KeyLook {
  const char* what;
  int index;
  State state;
  int edge, face;
  Colour label, hint;
  bool smallFont;
};

void PrintTo(const KeyLook& look, std::ostream* out) {
  *out << look.what;
}

class KeyLookTest : public PaintTest, public ::testing::WithParamInterface<KeyLook> {};

TEST_P(KeyLookTest, ChoosesBitmapsColoursAndFont) {
  const KeyLook& look = GetParam();
  Start();
  switch (look.state) {
    case State::Rest:
      break;
    case State::Hot:
      SetState(look.index, kBstHot);
      break;
    case State::Pushed:
      SetState(look.index, kBstPushed);
      break;
    case State::Latched:
      SetLatch(look.index, true, true);
      break;
    case State::Selected:
      SelectSequence(keyboardLayout[look.index].sequence);
      break;
  }
  const LayoutKey& key = keyboardLayout[look.index];
  const int w = static_cast<int>(key.width);
  const int h = static_cast<int>(key.height);
  const fake::RecordingCanvas canvas = PaintAt(look.index);

  const auto stretches = canvas.Of(Kind::Stretch);
  ASSERT_EQ(stretches.size(), 2u);
  EXPECT_EQ(stretches[0]->bitmap, look.edge);
  EXPECT_EQ(stretches[0]->rect, (Rect{0, 0, w, h}));
  EXPECT_EQ(stretches[1]->bitmap, look.face);
  EXPECT_EQ(stretches[1]->rect, (Rect{1, 1, w - 1, h - 1}));

  const auto texts = canvas.Of(Kind::Text);
  ASSERT_EQ(texts.size(), key.hint.empty() ? 1u : 2u);
  EXPECT_EQ(texts[0]->text, key.label);
  EXPECT_EQ(texts[0]->colour, look.label);
  EXPECT_EQ(texts[0]->font, look.smallFont ? smallLabelFont : labelFont);
  EXPECT_EQ(texts[0]->align, TextAlign::CenterTop);
  EXPECT_EQ(texts[0]->x, w / 2);
  EXPECT_EQ(texts[0]->y, 0);
  if (texts.size() == 2) {
    EXPECT_EQ(texts[1]->text, key.hint);
    EXPECT_EQ(texts[1]->colour, look.hint);
    EXPECT_EQ(texts[1]->font, smallLabelFont);
    EXPECT_EQ(texts[1]->x, w / 2);
    EXPECT_EQ(texts[1]->y, h / 2 + 2);
  }
  ReleaseModifiers();
}

constexpr Colour kOrange = Rgb(247, 163, 37);
constexpr Colour kWhite = Rgb(238, 238, 238);
constexpr Colour kDim = Rgb(204, 204, 204);
constexpr Colour kHint = Rgb(170, 170, 170);

INSTANTIATE_TEST_SUITE_P(
    Looks, KeyLookTest,
    ::testing::Values(
        KeyLook{"normal at rest", 35, State::Rest, 102, 105, kWhite, kHint, false},
        KeyLook{"special at rest", 48, State::Rest, 102, 106, kDim, kHint, false},
        KeyLook{"small at rest, no hint", 1, State::Rest, 102, 106, kDim, kHint, true},
        KeyLook{"small with hint", 81, State::Rest, 102, 106, kDim, kHint, true},
        KeyLook{"normal hot", 35, State::Hot, 103, 101, kOrange, kDim, false},
        KeyLook{"small pushed", 1, State::Pushed, 103, 101, kOrange, kDim, true},
        KeyLook{"normal pushed", 60, State::Pushed, 103, 101, kOrange, kDim, false},
        KeyLook{"latched control", 73, State::Latched, 103, 101, kOrange, kDim, false},
        KeyLook{"selected letter", 49, State::Selected, 103, 101, kOrange, kDim, false},
        KeyLook{"selected small", 80, State::Selected, 103, 101, kOrange, kDim, true}));

TEST_F(PaintTest, ALatchedShiftShowsTheShiftedLabels) {
  Start();
  SetLatch(61, true, true);
  EXPECT_EQ(PaintAt(35).Of(Kind::Text)[0]->text, "Q");
  EXPECT_EQ(PaintAt(21).Of(Kind::Text)[0]->text, "!");
  EXPECT_EQ(PaintAt(61).Of(Kind::Stretch)[0]->bitmap, IDB_EDGE_LIT)
      << "lit while the pointer is elsewhere";
  ReleaseModifiers();
  EXPECT_EQ(PaintAt(35).Of(Kind::Text)[0]->text, "q");
}

TEST_F(PaintTest, CapsLockShiftsLettersOnlyAndShiftUndoesIt) {
  fake.keyboard.SetCapsLock(true);
  Start();
  EXPECT_EQ(PaintAt(35).Of(Kind::Text)[0]->text, "Q");
  EXPECT_EQ(PaintAt(21).Of(Kind::Text)[0]->text, "1");
  SetLatch(61, true, true);
  EXPECT_EQ(PaintAt(35).Of(Kind::Text)[0]->text, "q");
  EXPECT_EQ(PaintAt(21).Of(Kind::Text)[0]->text, "!");
  ReleaseModifiers();
}

TEST_F(PaintTest, AModifierLatchesWhenItsButtonIsLetGo) {
  Start();
  SetState(73, kBstPushed);
  PaintAt(73);
  EXPECT_EQ(keyboardLayout[73].latched, 0) << "not on the press";
  SetState(73, 0);
  const fake::RecordingCanvas released = PaintAt(73);
  EXPECT_EQ(keyboardLayout[73].latched, 1);
  EXPECT_TRUE(fake.keyboard.IsDown(vk::LControl));
  EXPECT_EQ(released.Of(Kind::Stretch)[0]->bitmap, IDB_EDGE_LIT) << "latched before painting";
  // A character key's release latches nothing.
  SetState(35, kBstPushed);
  PaintAt(35);
  SetState(35, 0);
  PaintAt(35);
  EXPECT_EQ(keyboardLayout[35].latched, 0);
  ReleaseModifiers();
}

TEST_F(PaintTest, ButtonsNotOfTheActiveLayoutPaintNothingAndTouchNothing) {
  Start();
  const WindowId foreign = phonepadLayout[5].button;
  fake.layoutWindow.At(foreign).buttonState = kBstPushed;
  fake.layoutWindow.At(phonepadLayout[90].button).buttonState = kBstPushed;
  for (const WindowId button : {foreign, phonepadLayout[90].button, WindowId{0}, WindowId{77}}) {
    fake::RecordingCanvas canvas;
    PaintKey(canvas, button, {0, 0, 10, 10});
    EXPECT_TRUE(canvas.ops.empty());
  }
  for (const LayoutKey& key : keyboardLayout) EXPECT_EQ(key.pushed, 0);
}

struct StripCase {
  const char* what;
  std::string sequence;
  bool shift;
  std::string text;
};

void PrintTo(const StripCase& c, std::ostream* out) {
  *out << c.what;
}

class StripTest : public PaintTest, public ::testing::WithParamInterface<StripCase> {};

TEST_P(StripTest, ShowsTheSelectedKeysLabel) {
  const StripCase& c = GetParam();
  Start();
  if (c.shift) SetLatch(61, true, true);
  SelectSequence(c.sequence);
  fake::RecordingCanvas canvas;
  PaintOsdItem(canvas, selectionStrip, {0, 0, 750, 25});
  ASSERT_EQ(canvas.ops.size(), 3u);
  EXPECT_EQ(canvas.ops[0].kind, Kind::Stretch);
  EXPECT_EQ(canvas.ops[0].bitmap, IDB_FACE_DARK);
  EXPECT_EQ(canvas.ops[0].rect, (Rect{0, 0, 750, 25}));
  EXPECT_EQ(canvas.ops[1].kind, Kind::Frame);
  EXPECT_EQ(canvas.ops[1].rect, (Rect{0, 0, 750, 25}));
  EXPECT_EQ(canvas.ops[1].colour, Rgb(119, 119, 119));
  const CanvasOp& text = canvas.ops[2];
  EXPECT_EQ(text.text, c.text);
  EXPECT_EQ(text.x, 375);
  EXPECT_EQ(text.y, 0);
  EXPECT_EQ(text.colour, kOrange);
  EXPECT_EQ(text.font, labelFont);
  EXPECT_EQ(text.align, TextAlign::CenterTop);
  ReleaseModifiers();
}

INSTANTIATE_TEST_SUITE_P(Strips, StripTest,
                         ::testing::Values(StripCase{"nothing selected", "", false, ""},
                                           StripCase{"a sequence of no key", "2222222", false, ""},
                                           StripCase{"a letter", "2", false, "a"},
                                           StripCase{"a shifted letter", "2", true, "A"},
                                           StripCase{"a shifted digit", "1", true, "!"},
                                           StripCase{"a named key", "X", false, "back"}));

TEST_F(PaintTest, SelectingMovesTheMarkAndRepaintsTheStrip) {
  Start();
  fake.layoutWindow.invalidations.clear();
  SelectSequence("2");
  SelectSequence("22");
  EXPECT_EQ(keyboardLayout[49].selected, 0);
  EXPECT_EQ(keyboardLayout[66].selected, 1);
  std::vector<WindowId> repainted;
  for (const auto& i : fake.layoutWindow.invalidations) repainted.push_back(i.window);
  EXPECT_EQ(repainted, (std::vector<WindowId>{keyboardLayout[49].button, selectionStrip,
                                              keyboardLayout[49].button, keyboardLayout[66].button,
                                              selectionStrip}));
  SelectSequence("");
}

TEST_F(PaintTest, TheBackgroundIsThePanelAndTheTwoBottomLines) {
  Start();
  fake::RecordingCanvas canvas;
  PaintOsdBackground(canvas);
  ASSERT_EQ(canvas.ops.size(), 3u);
  EXPECT_EQ(canvas.ops[0].kind, Kind::Blit);
  EXPECT_EQ(canvas.ops[0].bitmap, IDB_PANEL);
  EXPECT_EQ(canvas.ops[0].x, 0);
  EXPECT_EQ(canvas.ops[0].y, 0);
  const CanvasOp& left = canvas.ops[1];
  EXPECT_EQ(left.text, "Press and hold INPUT on your remote to change key layout.");
  EXPECT_EQ(left.align, TextAlign::LeftTop);
  EXPECT_EQ(left.x, 4);
  EXPECT_EQ(left.y, 286);
  const CanvasOp& right = canvas.ops[2];
  EXPECT_EQ(right.text, NoticeLine());
  EXPECT_EQ(right.align, TextAlign::RightTop);
  EXPECT_EQ(right.x, 796);
  EXPECT_EQ(right.y, 286);
  EXPECT_NE(right.text.find("BkRemote"), std::string::npos);
  EXPECT_NE(right.text.find("Brisko"), std::string::npos);
  EXPECT_LE(right.text.size(), 40u) << "the two lines share the bottom edge";
  for (const CanvasOp* line : {&left, &right}) {
    EXPECT_EQ(line->font, noticeFont);
    EXPECT_EQ(line->colour, kWhite);
  }
}

}  // namespace
}  // namespace bk
