#pragma once
#include <iosfwd>

#include "cli/options.h"

namespace nobrelt::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

int RunList(const ListOptions& options, std::ostream& out, std::ostream& err);
int RunExtract(const ExtractOptions& options, std::ostream& out, std::ostream& err);

}  // namespace nobrelt::cli
