#pragma once
#include <string_view>

namespace nobrelt::runtime {

// The runtime cannot go on (a window that cannot be built, a control that is not loaded):
// shows an error box and ends the process.
[[noreturn]] void FatalError(std::string_view message);

}  // namespace nobrelt::runtime
