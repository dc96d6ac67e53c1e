#include "state/program_state.h"

namespace bk {

ProgramState programState;

void ResetProgramState() {
  programState = {};
}

}  // namespace bk
