#pragma once
// The control-skinning layer: one style sheet for the whole application, so that every window
// the program has or creates later (message boxes and the file dialog included) is covered.
#include <string>

namespace nobrelt::runtime {

inline constexpr int kBlueScheme = 1;
inline constexpr int kOliveScheme = 2;
inline constexpr int kSilverScheme = 3;

// Switches the layer on with scheme 1, 2 or 3 (3 is the silver set); any other number
// switches it off.
void SetSkinScheme(int scheme);

// The style sheet of a scheme; empty for a number that is no scheme.
std::string SkinStyleSheet(int scheme);

}  // namespace nobrelt::runtime
