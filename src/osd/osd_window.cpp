#include "osd/osd_window.h"

#include "app/program_state.h"
#include "bindings/key_names.h"

namespace bk {

void InitOsd(WindowId window, const std::string& dir) {
  inputWindow = window;
  programDir = dir;
  // The binding files' vocabulary; made here, before the loop, as the layout's key buttons
  // finish (they read the same VkKeyScanA values).
  BuildKeyNameTable();
}

}  // namespace bk
