#include "osd/osd_paint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "fake/bk_test.h"
#include "osd/osd_window.h"
#include "osd/text_entry.h"
#include "state/program_state.h"

namespace bk {
namespace {

class PaintTest : public fake::BkTest {};

// A key of the keyboard after some taps, painted with its button in some state: bitmaps,
// label, hint, fonts (by height) and colours. A change of look is repainted.
TEST_F(PaintTest, KeysChooseBitmapsLabelsColoursAndFonts) {
  const std::tuple<int, const char*, std::uint32_t, const char*> kLooks[] = {
      {35, "", 0,
       "S102 0 0 50 40; S105 1 1 49 39; T'q' 25 0 f24 #eeeeee c; T'77' 25 22 f18 #aaaaaa c"},
      {80, "", 0,
       "S102 0 0 22 40; S106 1 1 21 39; T'@' 11 0 f18 #cccccc c; T'***' 11 22 f18 #aaaaaa c"},
      {1, "", kBstPushed, "S103 0 0 50 24; S101 1 1 49 23; T'Esc' 25 0 f18 #f7a325 c"},
      {73, "B", 0,
       "S103 0 0 65 40; S101 1 1 64 39; T'ctrl' 32 0 f24 #f7a325 c; T'B' 32 22 f18 #cccccc c"},
      {49, "2", 0,
       "S103 0 0 50 40; S101 1 1 49 39; T'a' 25 0 f24 #f7a325 c; T'2' 25 22 f18 #cccccc c"},
      {35, "#", 0,
       "S102 0 0 50 40; S105 1 1 49 39; T'Q' 25 0 f24 #eeeeee c; T'77' 25 22 f18 #aaaaaa c"},
  };
  Start();
  for (const auto& [index, taps, state, ops] : kLooks) {
    fake.invalidated.clear();
    for (const char* tap = taps; *tap != 0; ++tap) PressSymbol(*tap);
    EXPECT_TRUE(*taps == 0 || std::ranges::count(fake.invalidated, keyboardLayout[index].button))
        << ops;
    EXPECT_EQ(Paint(index, state), ops);
    fake.Stop(TIMER_COMMIT);
    ResetEntry();
  }
}

}  // namespace
}  // namespace bk
