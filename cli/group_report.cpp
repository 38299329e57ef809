#include "cli/group_report.h"

namespace nobrelt::cli {

std::string ImagesText(const IconSet& set) {
    if (set.images.empty()) return "no images";
    std::string text;
    for (const IconImage& image : set.images) {
        if (!text.empty()) text += ", ";
        text += std::to_string(image.width) + "x" + std::to_string(image.height) + " ";
        text += image.isPng() ? std::string("PNG") : std::to_string(image.bitDepth) + "-bit";
    }
    return text;
}

nlohmann::ordered_json NameJson(const ResourceName& name) {
    if (const auto* id = std::get_if<std::uint16_t>(&name)) return *id;
    return std::get<std::string>(name);
}

nlohmann::ordered_json ImagesJson(const IconSet& set) {
    nlohmann::ordered_json images = nlohmann::ordered_json::array();
    for (const IconImage& image : set.images) {
        images.push_back({{"width", image.width},
                          {"height", image.height},
                          {"bitDepth", image.bitDepth},
                          {"png", image.isPng()},
                          {"bytes", image.byteCount()}});
    }
    return images;
}

}  // namespace nobrelt::cli
