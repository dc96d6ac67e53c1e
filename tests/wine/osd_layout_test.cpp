// The layout window for real: layering and styles in each state, the buttons of both layouts,
// and what the screen shows once the layout has faded in. Screenshots are left in the working
// folder as keyboard-layout.bmp and phonepad-layout.bmp.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "osd/osd_window.h"
#include "osd/text_entry.h"
#include "osd_harness.h"

namespace bk {
namespace {

using wine::Rgb8;

HWND window = nullptr;

struct Layering {
  bool layered = false;
  bool noActivate = false;
  bool haveAttributes = false;
  int alpha = -1;
};

Layering ReadLayering() {
  Layering l;
  const LONG_PTR ex = GetWindowLongPtrA(window, GWL_EXSTYLE);
  l.layered = (ex & WS_EX_LAYERED) != 0;
  l.noActivate = (ex & WS_EX_NOACTIVATE) != 0;
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  l.haveAttributes =
      GetLayeredWindowAttributes(window, &key, &alpha, &flags) != FALSE && (flags & LWA_ALPHA) != 0;
  if (l.haveAttributes) l.alpha = alpha;
  return l;
}

void ExpectHiddenAndTransparent() {
  EXPECT_FALSE(IsWindowVisible(window));
  const Layering l = ReadLayering();
  EXPECT_TRUE(l.layered);
  EXPECT_TRUE(l.noActivate);
  EXPECT_TRUE(l.haveAttributes);
  EXPECT_EQ(l.alpha, 0);
}

bool ShowAndWaitForTheFade() {
  SetLayoutVisible(true);
  return wine::PumpUntil([] { return fadeAlpha == 255; }, 3000);
}

HWND Button(const LayoutKey* layout, int index) {
  return reinterpret_cast<HWND>(layout[index].button);
}

// A key's rectangle in the window's own coordinates.
RECT KeyRect(const LayoutKey* layout, int index) {
  RECT r, w;
  GetWindowRect(Button(layout, index), &r);
  GetWindowRect(window, &w);
  return {r.left - w.left, r.top - w.top, r.right - w.left, r.bottom - w.top};
}

bool Grey(Rgb8 p, int low, int high) {
  return std::abs(p.r - p.g) <= 2 && std::abs(p.g - p.b) <= 2 && p.r >= low && p.r <= high;
}

bool Orange(Rgb8 p) {
  return p.r >= 200 && p.g >= 115 && p.g <= 160 && p.b <= 30;
}
// The highlighted text colour, RGB(247, 163, 37), as antialiased glyphs show it at their core.
bool Amber(Rgb8 p) {
  return p.r >= 200 && p.g >= 120 && p.g <= 180 && p.b <= 70;
}

std::string Describe(Rgb8 p) {
  return "rgb(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

wine::Screenshot Shoot(const char* file) {
  wine::RepaintNow(window);
  wine::PumpFor(300);  // let the display catch up with the paint
  wine::Screenshot shot = wine::CaptureWindow(window);
  EXPECT_TRUE(shot.SaveBmp(file)) << file;
  return shot;
}

TEST(OsdLayout, StartsHiddenLayeredAndTransparentWithBothLayoutsButtons) {
  ExpectHiddenAndTransparent();
  EXPECT_EQ(activeLayout, keyboardLayout.data());
  for (int i = 0; i < 83; ++i) {
    const HWND button = Button(keyboardLayout.data(), i);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(button, GWLP_USERDATA), i);
    EXPECT_NE(GetWindowLongPtrA(button, GWL_STYLE) & WS_VISIBLE, 0);
  }
  for (int i = 0; i < 91; ++i) {
    const HWND button = Button(phonepadLayout.data(), i);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(button, GWLP_USERDATA), i);
    EXPECT_EQ(GetWindowLongPtrA(button, GWL_STYLE) & WS_VISIBLE, 0);
  }
  EXPECT_EQ(reinterpret_cast<HBRUSH>(
                GetClassLongPtrA(Button(keyboardLayout.data(), 0), GCLP_HBRBACKGROUND)),
            GetStockObject(BLACK_BRUSH));
}

TEST(OsdLayout, FadesInFromLayeredStepsToAnOrdinaryWindowAtTheBottomCentre) {
  SetLayoutVisible(true);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_NE(GetForegroundWindow(), window) << "the layout is never activated";
  std::vector<int> seen;
  wine::PumpUntil(
      [&] {
        const Layering l = ReadLayering();
        if (l.layered && l.haveAttributes && (seen.empty() || seen.back() != l.alpha)) {
          seen.push_back(l.alpha);
        }
        return fadeAlpha == 255;
      },
      3000);
  ASSERT_EQ(fadeAlpha, 255);
  ASSERT_FALSE(seen.empty());
  for (int alpha : seen) EXPECT_EQ(alpha % 25, 0) << alpha;
  const Layering shown = ReadLayering();
  EXPECT_FALSE(shown.layered);
  EXPECT_TRUE(shown.noActivate);
  EXPECT_FALSE(shown.haveAttributes) << "an ordinary window has no layered attributes";

  RECT rect;
  GetWindowRect(window, &rect);
  const int cx = GetSystemMetrics(SM_CXFULLSCREEN);
  const int cy = GetSystemMetrics(SM_CYFULLSCREEN);
  EXPECT_EQ(rect.left, cx / 2 - 400);
  EXPECT_EQ(rect.top, cy - 305);
  EXPECT_EQ(rect.right - rect.left, 800);
  EXPECT_EQ(rect.bottom - rect.top, 300);
  EXPECT_NE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST(OsdLayout, TheKeyboardShowsThePanelKeysSelectionAndCloseKey) {
  ASSERT_TRUE(ShowAndWaitForTheFade());
  SelectSequence("2");  // the letter a
  const wine::Screenshot shot = Shoot("keyboard-layout.bmp");
  ASSERT_EQ(shot.width, 800);
  ASSERT_EQ(shot.height, 300);

  // The panel: lighter edge, then darker towards the bottom right.
  const Rgb8 edge = shot.At(0, 150), topLeft = shot.At(5, 60), bottomRight = shot.At(790, 260);
  EXPECT_TRUE(Grey(topLeft, 45, 66)) << Describe(topLeft);
  EXPECT_TRUE(Grey(bottomRight, 18, 40)) << Describe(bottomRight);
  EXPECT_GT(topLeft.r, bottomRight.r + 15);
  EXPECT_GT(edge.r, topLeft.r + 20) << Describe(edge);

  // q at rest: a grey edge around a dark face.
  const RECT q = KeyRect(keyboardLayout.data(), 35);
  EXPECT_EQ(q.left, 105);
  EXPECT_EQ(q.top, 111);
  const Rgb8 qEdge = shot.At(q.left, q.top + 30), qFace = shot.At(q.left + 3, q.top + 30);
  EXPECT_TRUE(Grey(qEdge, 75, 125)) << Describe(qEdge);
  EXPECT_TRUE(Grey(qFace, 24, 68)) << Describe(qFace);

  // a, selected: an orange edge around a lighter face.
  const RECT a = KeyRect(keyboardLayout.data(), 49);
  const Rgb8 aEdge = shot.At(a.left, a.top + 20), aFace = shot.At(a.left + 3, a.top + 30);
  EXPECT_TRUE(Orange(aEdge)) << Describe(aEdge);
  EXPECT_TRUE(Grey(aFace, 58, 105)) << Describe(aFace);
  EXPECT_GT(aFace.r, qFace.r + 15);

  // The strip names the selected key in orange.
  bool orangeText = false;
  for (int y = 11; y < 34; ++y) {
    for (int x = 380; x < 420; ++x) orangeText = orangeText || Amber(shot.At(x, y));
  }
  EXPECT_TRUE(orangeText) << "the strip shows \"a\"";

  // The close key at (779, 5), 16 x 20: a grey edge around a dark face.
  const RECT close = KeyRect(keyboardLayout.data(), 0);
  EXPECT_EQ(close.left, 779);
  EXPECT_EQ(close.top, 5);
  EXPECT_EQ(close.right, 795);
  EXPECT_EQ(close.bottom, 25);
  const Rgb8 closeEdge = shot.At(779, 15), closeFace = shot.At(781, 23);
  EXPECT_TRUE(Grey(closeEdge, 75, 125)) << Describe(closeEdge);
  EXPECT_TRUE(Grey(closeFace, 18, 48)) << Describe(closeFace);
  SelectSequence("");
}

TEST(OsdLayout, HidingTheShownLayoutMakesItLayeredAndTransparentAgain) {
  ASSERT_TRUE(ShowAndWaitForTheFade());
  SetLayoutVisible(false);
  ExpectHiddenAndTransparent();
  EXPECT_EQ(keyboardHook, 0u);
}

TEST(OsdLayout, HidingDuringTheFadeStopsIt) {
  SetLayoutVisible(true);
  ASSERT_TRUE(wine::PumpUntil([] { return fadeAlpha >= 25; }, 1000));
  ASSERT_LT(fadeAlpha, 255);
  SetLayoutVisible(false);
  ExpectHiddenAndTransparent();
  wine::PumpFor(200);
  ExpectHiddenAndTransparent();
  EXPECT_EQ(fadeAlpha, 0) << "the fade timer was killed";
}

TEST(OsdLayout, SwitchingShowsThePhonepadsButtonsAndHidesTheKeyboards) {
  ASSERT_TRUE(ShowAndWaitForTheFade());
  SelectLayout(phonepadLayout.data());
  EXPECT_TRUE(IsWindowVisible(window));
  int phonepad = 0, keyboard = 0;
  for (int i = 0; i < 91; ++i) phonepad += IsWindowVisible(Button(phonepadLayout.data(), i)) != 0;
  for (int i = 0; i < 83; ++i) keyboard += IsWindowVisible(Button(keyboardLayout.data(), i)) != 0;
  EXPECT_EQ(phonepad, 91);
  EXPECT_EQ(keyboard, 0);

  SelectSequence("222");  // c
  const wine::Screenshot shot = Shoot("phonepad-layout.bmp");
  const RECT c = KeyRect(phonepadLayout.data(), 13);
  EXPECT_TRUE(Orange(shot.At(c.left, c.top + 14))) << Describe(shot.At(c.left, c.top + 14));
  const RECT header = KeyRect(phonepadLayout.data(), 10);
  const Rgb8 headerFace = shot.At(header.left + 3, header.top + 20);
  EXPECT_TRUE(Grey(headerFace, 18, 48)) << "a dark header: " << Describe(headerFace);

  SelectSequence("");
  SelectLayout(keyboardLayout.data());
  SetLayoutVisible(false);
}

}  // namespace
}  // namespace bk

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  bk::window = bk::wine::StartLayoutWindow();
  if (bk::window == nullptr) return 1;
  const int result = RUN_ALL_TESTS();
  DestroyWindow(bk::window);
  return result;
}
