#pragma once
// The kind of a source or output path: its last three bytes in lower case. No dot is looked
// for, so "myexe" is an "exe"; a path shorter than three bytes is its own kind.
#include <string>
#include <string_view>

namespace nobrelt {

inline std::string PathKind(std::string_view path) {
    std::string kind(path.size() < 3 ? path : path.substr(path.size() - 3));
    for (char& c : kind) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return kind;
}

enum class SourceKind { IconFile, Module, Unsupported };

// "ico" is an icon file; "exe", "dll" and "icl" are modules; every other kind is refused.
inline SourceKind SourceKindOf(std::string_view path) {
    const std::string kind = PathKind(path);
    if (kind == "ico") return SourceKind::IconFile;
    if (kind == "exe" || kind == "dll" || kind == "icl") return SourceKind::Module;
    return SourceKind::Unsupported;
}

}  // namespace nobrelt
