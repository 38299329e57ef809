#pragma once
// The icon file format: a 6-byte header, one 16-byte directory entry per image, the images.
#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "engine/file_io.h"
#include "engine/icon_set.h"
#include "engine/result.h"

namespace nobrelt {

inline constexpr std::size_t kIconFileHeaderSize = 6;
inline constexpr std::size_t kIconDirectoryEntrySize = 16;

// Reads an icon file under an exclusive lock; none when it cannot be read in full.
std::optional<IconSet> ReadIconFile(const std::string& path);
// The same, keeping the reason for a refusal.
Result<IconSet> ReadIconFileDetailed(const std::string& path);
// Reads an icon file's bytes from any source; the set's iconFileName is left to the caller.
Result<IconSet> ReadIconSet(ByteSource& source);

// Writes the set as a normalised icon file, replacing any file of that name atomically.
// The outcome is not reported; WriteIconFileDetailed reports it.
void WriteIconFile(const IconSet& set, const std::string& path);
Status WriteIconFileDetailed(const IconSet& set, const std::string& path);

// The directory entry the writer stores for an image placed at imageOffset.
std::array<std::byte, kIconDirectoryEntrySize> IconDirectoryEntry(const IconImage& image, std::uint32_t imageOffset);

}  // namespace nobrelt
