// A script run against the program, and what the user then sees: the text that the application
// received, the selection strip, the latched keys. An application is in front whose binding file
// binds Play to F5, with a second window behind it. The test lives in text_entry_test.cpp; other
// files add rows with INSTANTIATE_TEST_SUITE_P.
#pragma once

#include <gtest/gtest.h>

#include "fake/bk_test.h"

namespace bk {

struct Script {
  const char* name;
  const char* steps;
  const char* typed;
  const char* selected = "";
  const char* latched = "";
};

class EntryScriptTest : public fake::BkTest, public ::testing::WithParamInterface<Script> {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    fake.AddWindow({.name = "front", .process = 42});
    fake.AddWindow({.name = "next"});
    fake.images[42] = "\\Device\\HarddiskVolume3\\App\\app.exe";
    folder.Write("appbindings\\app.exe.cfg", "play=f5\n");
    Start(folder.Dir());
  }
  fake::TempFolder folder;
};

}  // namespace bk
