#include "osd/osd_window.h"

#include "app/program_state.h"

namespace bk {

void InitOsd(WindowId window, const std::string& dir) {
  inputWindow = window;
  programDir = dir;
}

}  // namespace bk
