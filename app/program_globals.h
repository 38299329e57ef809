#pragma once
// The program's globals: 0 at start-up, nothing else is kept between events.
#include <cstdint>

namespace nobrelt::app {

// The group count of the most recent Extract; Delete removes that many numbered files.
extern std::int32_t ExtractedCount;
// The pass number of DeleteExtracted.
extern std::int32_t DeletePass;

void ResetProgramGlobals();

}  // namespace nobrelt::app
