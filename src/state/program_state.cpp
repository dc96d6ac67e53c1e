#include "state/program_state.h"

namespace bk {

WindowId inputWindow = 0;
std::string programDir;
bool layoutShown = false;
HookHandle keyboardHook = 0;
FontHandle labelFont = 0;
FontHandle smallLabelFont = 0;
FontHandle noticeFont = 0;

void ResetProgramState() {
  inputWindow = 0;
  programDir.clear();
  layoutShown = false;
  keyboardHook = 0;
  labelFont = smallLabelFont = noticeFont = 0;
}

}  // namespace bk
