// A script run on the shown layout, and what the user then sees: the text that the application
// received, the selection strip, the latched keys. The test itself lives in text_entry_test.cpp;
// other files add rows with INSTANTIATE_TEST_SUITE_P.
#pragma once

#include <gtest/gtest.h>

#include <ostream>

#include "fake/bk_test.h"
#include "fake/entry_driver.h"

namespace bk {

struct Script {
  const char* name;
  const char* steps;
  const char* typed;
  const char* selected = "";
  const char* latched = "";
  bool phonepad = false;
};

inline void PrintTo(const Script& s, std::ostream* out) {
  *out << s.name;
}

class EntryScriptTest : public fake::BkTest, public ::testing::WithParamInterface<Script> {
 protected:
  fake::EntryDriver driver{fake};
};

}  // namespace bk
