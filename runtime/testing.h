#pragma once
// Seams for the window tests. The program itself never calls these.
#include <optional>
#include <string>

#include "runtime/layout.h"

namespace nobrelt::runtime {

class RuntimeWindow;

// Makes GetRunDirectory answer this directory instead of the executable's; none undoes it.
void OverrideRunDirectoryForTests(std::optional<std::string> directory);

// The loaded window of a definition; null when it is not loaded.
RuntimeWindow* FindLoadedWindow(const WindowDefinition& window);

}  // namespace nobrelt::runtime
