#pragma once
// The hint window: three one-line usage hints in red on white and a large Close button.
#include "runtime/layout.h"

namespace nobrelt::app {

const runtime::WindowDefinition& HintWindow();
runtime::WindowLayout HintWindowLayout();

// The main window's Hints button: the hint window, modal, until it is closed.
void OpenHintWindow();
// The hint window's Close button.
void CloseHintWindow();

}  // namespace nobrelt::app
