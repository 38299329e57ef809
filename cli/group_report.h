#pragma once
// How nobrelt-cli names groups and describes their images, in text and in JSON.
#include <nlohmann/json.hpp>
#include <string>

#include "engine/icon_set.h"
#include "engine/resource_name.h"

namespace nobrelt::cli {

// "16x16 4-bit, 32x32 32-bit, 256x256 PNG"; "no images" for an empty group.
std::string ImagesText(const IconSet& set);

nlohmann::ordered_json NameJson(const ResourceName& name);
nlohmann::ordered_json ImagesJson(const IconSet& set);

}  // namespace nobrelt::cli
