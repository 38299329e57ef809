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

// One argument after the command word: an operand, or an option with the value it carries
// in the "--name=value" or "-oVALUE" form.
struct Argument {
    std::string text;
    bool operand = false;
    std::optional<std::string> inlineValue;
};

// Walks the arguments after the command word, telling operands from options; "--" ends the
// options, and "-" alone is an operand.
class ArgumentWalker {
public:
    ArgumentWalker(const std::vector<std::string>& arguments, std::size_t start) : arguments_(arguments), next_(start) {}

    // The next argument; none after the last.
    std::optional<Argument> Next() {
        if (!optionsEnded_ && next_ < arguments_.size() && arguments_[next_] == "--") {
            optionsEnded_ = true;
            ++next_;
        }
        if (next_ >= arguments_.size()) return std::nullopt;
        Argument argument;
        argument.text = arguments_[next_++];
        const std::string& text = argument.text;
        argument.operand = optionsEnded_ || text.empty() || text[0] != '-' || text == "-";
        if (argument.operand) return argument;
        if (auto equals = text.find('='); text.rfind("--", 0) == 0 && equals != std::string::npos) {
            argument.inlineValue = text.substr(equals + 1);
            argument.text.resize(equals);
        } else if (text.size() > 2 && (text[1] == 'o' || text[1] == 'g')) {
            argument.inlineValue = text.substr(2);
            argument.text.resize(2);
        }
        return argument;
    }

    // The option's value: the one it carries, or the next argument.
    std::optional<std::string> ValueOf(const Argument& option) {
        if (option.inlineValue) return option.inlineValue;
        if (next_ >= arguments_.size()) return std::nullopt;
        return arguments_[next_++];
    }

private:
    const std::vector<std::string>& arguments_;
    std::size_t next_;
    bool optionsEnded_ = false;
};

std::variant<Command, UsageError> ParseList(ArgumentWalker walker) {
    ListOptions options;
    std::vector<std::string> operands;
    while (const auto argument = walker.Next()) {
        if (argument->operand) {
            operands.push_back(argument->text);
        } else if (argument->text == "--json" && !argument->inlineValue) {
            options.json = true;
        } else if (argument->text == "-h" || argument->text == "--help") {
            return ShowHelp{};
        } else {
            return UsageError{"list: unknown option '" + argument->text + "'"};
        }
    }
    if (operands.size() != 1) return UsageError{"list takes exactly one SOURCE"};
    options.source = operands.front();
    return options;
}

std::variant<Command, UsageError> ParseExtract(ArgumentWalker walker) {
    ExtractOptions options;
    while (const auto next = walker.Next()) {
        const Argument& argument = *next;
        const std::string& name = argument.text;
        if (argument.operand) {
            options.sources.push_back(name);
        } else if (name == "-o" || name == "--output-dir") {
            auto directory = walker.ValueOf(argument);
            if (!directory || directory->empty()) return UsageError{"extract: " + name + " needs a directory"};
            options.outputDirectory = *directory;
        } else if (name == "-g" || name == "--group") {
            auto text = walker.ValueOf(argument);
            if (!text) return UsageError{"extract: " + name + " needs a group number"};
            auto group = ParseGroupNumber(*text);
            if (!group) return UsageError{"extract: '" + *text + "' is not a group number (1, 2, ...)"};
            options.groups.push_back(*group);
        } else if (name == "--bmp" && !argument.inlineValue) {
            options.bitmap = true;
        } else if ((name == "-q" || name == "--quiet") && !argument.inlineValue) {
            options.quiet = true;
        } else if (name == "-h" || name == "--help") {
            return ShowHelp{};
        } else {
            return UsageError{"extract: unknown option '" + name + "'"};
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
