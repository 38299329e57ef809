#include "app/program_globals.h"

namespace nobrelt::app {

std::int32_t ExtractedCount = 0;
std::int32_t DeletePass = 0;

void ResetProgramGlobals() {
    ExtractedCount = 0;
    DeletePass = 0;
}

}  // namespace nobrelt::app
