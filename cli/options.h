#pragma once
// The command line of nobrelt-cli, parsed into what to do.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace nobrelt::cli {

struct ShowHelp {};
struct ShowVersion {};

struct ListOptions {
    std::string source;
    bool json = false;
};

struct ExtractOptions {
    std::vector<std::string> sources;
    std::string outputDirectory = ".";
    std::vector<std::int32_t> groups;  // empty: every group
    bool bitmap = false;
    bool quiet = false;
};

using Command = std::variant<ShowHelp, ShowVersion, ListOptions, ExtractOptions>;

struct UsageError {
    std::string message;
};

std::variant<Command, UsageError> ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace nobrelt::cli
