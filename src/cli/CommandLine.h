#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The wisp command's arguments: a command name, its positional arguments and its options
// ("--name VALUE", "--name=VALUE" or a bare "--flag"), checked against what the command takes.
namespace wisp::cli {

struct OptionSyntax {
    std::string_view name;  // without the leading "--"
    bool takesValue = false;
    char shortName = 0;       // "-o" for "--output", when not 0
    std::string_view value{};  // what the value is, for the help: "N", "PATH"...
    std::string_view help{};   // what the option does, one line
};

struct CommandSyntax {
    std::string_view name;
    std::size_t minPositionals = 0;
    std::size_t maxPositionals = 0;
    std::vector<OptionSyntax> options;
    std::string_view usage;    // the arguments after the command name
    std::string_view summary;  // one line for the overview
};

struct ParsedCommand {
    const CommandSyntax* syntax = nullptr;
    std::vector<std::string> positionals;
    std::map<std::string, std::string, std::less<>> options;

    bool Has(std::string_view option) const { return options.find(option) != options.end(); }
    std::optional<std::string> Value(std::string_view option) const;
};

struct UsageError {
    std::string message;
};

// "--json", which most commands take.
inline constexpr OptionSyntax kJsonOption{"json", false, 0, {}, "print JSON for scripts"};

// The options every command takes.
const std::vector<OptionSyntax>& CommonOptions();

// Finds the command and checks its arguments; a UsageError says what is wrong. Options may
// stand before or after the command name. "--help" and "--version" are accepted anywhere and
// leave the positional count unchecked; with either, the command may be missing (then
// `syntax` is nullptr).
std::variant<ParsedCommand, UsageError> ParseCommandLine(const std::vector<CommandSyntax>& commands,
                                                         const std::vector<std::string>& args);

std::string FormatUsage(const CommandSyntax& command);
std::string FormatOverview(const std::vector<CommandSyntax>& commands);

}  // namespace wisp::cli
