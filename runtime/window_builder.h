#pragma once
// Builds a fresh window, with its controls and components, from a layout table.
#include <memory>

#include "runtime/layout.h"
#include "runtime/runtime_window.h"

namespace nobrelt::runtime {

std::unique_ptr<RuntimeWindow> BuildWindow(const WindowDefinition& definition);

}  // namespace nobrelt::runtime
