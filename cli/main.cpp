// nobrelt-cli: lists and extracts the icon groups of modules and icon files.
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/help_text.h"

namespace {

struct Dispatch {
    int operator()(const nobrelt::cli::ShowHelp&) const {
        std::cout << nobrelt::cli::kUsage << "\n" << nobrelt::cli::kHelp;
        return nobrelt::cli::kExitSuccess;
    }
    int operator()(const nobrelt::cli::ShowVersion&) const {
        std::cout << "nobrelt-cli " NOBRELT_VERSION "\n";
        return nobrelt::cli::kExitSuccess;
    }
    int operator()(const nobrelt::cli::ListOptions& options) const { return RunList(options, std::cout, std::cerr); }
    int operator()(const nobrelt::cli::ExtractOptions& options) const { return RunExtract(options, std::cout, std::cerr); }
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    auto parsed = nobrelt::cli::ParseCommandLine(arguments);
    if (auto* usage = std::get_if<nobrelt::cli::UsageError>(&parsed)) {
        std::cerr << "nobrelt-cli: " << usage->message << "\n" << nobrelt::cli::kUsage
                  << "Try 'nobrelt-cli --help' for more.\n";
        return nobrelt::cli::kExitUsage;
    }
    return std::visit(Dispatch{}, std::get<nobrelt::cli::Command>(parsed));
}
