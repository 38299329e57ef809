#pragma once
// The name of a module resource, as the module's resource directory gives it.
#include <cstdint>
#include <string>
#include <variant>

namespace nobrelt {

// A resource name: an integer identifier, or a text (UTF-8).
using ResourceName = std::variant<std::uint16_t, std::string>;

}  // namespace nobrelt
