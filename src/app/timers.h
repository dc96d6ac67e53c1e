// WM_TIMER of the input window, routed by timer id. Every timer is a one-shot that its handler
// stops.
#pragma once

#include "platform/types.h"

namespace bk {

void OnInputWindowTimer(TimerId id);

}  // namespace bk
