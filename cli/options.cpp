#include "cli/options.h"

#include <charconv>

namespace nobrelt::cli {
namespace {

std::optional<std::int32_t> ParseGroupNumber(const std::string& text) {
    std::int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
    return value;
}

// Walks the arguments after the command word, splitting options (with "--name=value" and
// "-o value" forms) from operands; "--" ends the options.
class ArgumentWalker {
public:
    ArgumentWalker(const std::vector<std::string>& arguments, std::size_t start) : arguments_(arguments), next_(start) {}

    bool Done() const { return next_ >= arguments_.size(); }
    const std::string& Take() { return arguments_[next_++]; }
    std::optional<std::string> TakeValue() {
        if (Done()) return std::nullopt;
        return Take();
    }

private:
    const std::vector<std::string>& arguments_;
    std::size_t next_;
};

std::variant<Command, UsageError> ParseList(ArgumentWalker walker) {
    ListOptions options;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    while (!walker.Done()) {
        const std::string& argument = walker.Take();
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            operands.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "-h" || argument == "--help") {
            return ShowHelp{};
        } else {
            return UsageError{"list: unknown option '" + argument + "'"};
        }
    }
    if (operands.size() != 1) return UsageError{"list takes exactly one SOURCE"};
    options.source = operands.front();
    return options;
}

std::variant<Command, UsageError> ParseExtract(ArgumentWalker walker) {
    ExtractOptions options;
    bool optionsEnded = false;
    while (!walker.Done()) {
        std::string argument = walker.Take();
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            options.sources.push_back(argument);
            continue;
        }
        std::optional<std::string> inlineValue;
        if (auto equals = argument.find('='); argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            inlineValue = argument.substr(equals + 1);
            argument.resize(equals);
        } else if (argument.size() > 2 && argument[1] != '-' && (argument[1] == 'o' || argument[1] == 'g')) {
            inlineValue = argument.substr(2);
            argument.resize(2);
        }
        auto value = [&]() -> std::optional<std::string> { return inlineValue ? inlineValue : walker.TakeValue(); };

        if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-o" || argument == "--output-dir") {
            auto directory = value();
            if (!directory || directory->empty()) return UsageError{"extract: " + argument + " needs a directory"};
            options.outputDirectory = *directory;
        } else if (argument == "-g" || argument == "--group") {
            auto text = value();
            if (!text) return UsageError{"extract: " + argument + " needs a group number"};
            auto group = ParseGroupNumber(*text);
            if (!group) return UsageError{"extract: '" + *text + "' is not a group number (1, 2, ...)"};
            options.groups.push_back(*group);
        } else if (argument == "--bmp" && !inlineValue) {
            options.bitmap = true;
        } else if ((argument == "-q" || argument == "--quiet") && !inlineValue) {
            options.quiet = true;
        } else if (argument == "-h" || argument == "--help") {
            return ShowHelp{};
        } else {
            return UsageError{"extract: unknown option '" + argument + "'"};
        }
    }
    if (options.sources.empty()) return UsageError{"extract needs at least one SOURCE"};
    return options;
}

}  // namespace

std::variant<Command, UsageError> ParseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return UsageError{"no command given"};
    const std::string& command = arguments.front();
    if (command == "-h" || command == "--help" || command == "help") return ShowHelp{};
    if (command == "-V" || command == "--version") return ShowVersion{};
    if (command == "list") return ParseList(ArgumentWalker(arguments, 1));
    if (command == "extract") return ParseExtract(ArgumentWalker(arguments, 1));
    return UsageError{"unknown command '" + command + "'"};
}

}  // namespace nobrelt::cli
