#include "cli/CommandLine.h"

#include <algorithm>

namespace wisp::cli {
namespace {

const OptionSyntax* FindOption(const CommandSyntax& command, std::string_view name) {
    for (const std::vector<OptionSyntax>* list : {&command.options, &CommonOptions()}) {
        auto found = std::find_if(list->begin(), list->end(), [&](const OptionSyntax& option) {
            return option.name == name ||
                   (name.size() == 1 && option.shortName != 0 && name[0] == option.shortName);
        });
        if (found != list->end()) {
            return &*found;
        }
    }
    return nullptr;
}

}  // namespace

std::optional<std::string> ParsedCommand::Value(std::string_view option) const {
    auto found = options.find(option);
    if (found == options.end()) {
        return std::nullopt;
    }
    return found->second;
}

const std::vector<OptionSyntax>& CommonOptions() {
    static const std::vector<OptionSyntax> options = {
        {"root", true, 0, "DIR", "work on the library at DIR for this call"},
        {"quiet", false, 0, {}, "print errors only"},
        {"help", false, 'h', {}, "show what a command does and takes"},
        {"version", false, 0, {}, "show the program's version"},
    };
    return options;
}

namespace {

bool LooksLikeOption(const std::string& arg) {
    bool shortForm = arg.size() == 2 && arg[0] == '-' && arg[1] != '-';
    return shortForm || (arg.size() > 2 && arg.starts_with("--"));
}

// Option names mean the same in every command, so an option standing before the command name
// can be read before the command is known: it takes a value when it does anywhere.
bool TakesValueAnywhere(const std::vector<CommandSyntax>& commands, const std::string& arg) {
    std::string_view name = std::string_view(arg).substr(arg[1] == '-' ? 2 : 1);
    if (name.find('=') != std::string_view::npos) {
        return false;
    }
    for (const CommandSyntax& command : commands) {
        if (const OptionSyntax* option = FindOption(command, name); option && option->takesValue) {
            return true;
        }
    }
    return false;
}

// Reads the options and positionals of `args` into `parsed`; `command` is the command whose
// options are allowed, nullptr for only the common ones.
std::optional<UsageError> ParseArguments(const CommandSyntax* command,
                                         const std::vector<std::string>& args,
                                         std::string_view commandName, ParsedCommand& parsed) {
    static const CommandSyntax kNoCommand;
    const CommandSyntax& syntax = command ? *command : kNoCommand;
    std::string forCommand = commandName.empty() ? "" : " for \"" + std::string(commandName) + "\"";
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !(LooksLikeOption(arg) || arg == "--")) {
            parsed.positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg.substr(arg[1] == '-' ? 2 : 1);
        std::optional<std::string> value;
        if (std::size_t equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const OptionSyntax* option = FindOption(syntax, name);
        if (!option) {
            return UsageError{"unknown option " + arg.substr(0, arg.find('=')) + forCommand};
        }
        name = option->name;
        if (option->takesValue && !value) {
            if (i + 1 == args.size()) {
                return UsageError{"option --" + name + " needs a value"};
            }
            value = args[++i];
        }
        if (!option->takesValue && value) {
            return UsageError{"option --" + name + " takes no value"};
        }
        parsed.options[name] = value.value_or("");
    }
    return std::nullopt;
}

}  // namespace

std::variant<ParsedCommand, UsageError> ParseCommandLine(const std::vector<CommandSyntax>& commands,
                                                         const std::vector<std::string>& args) {
    // The command is the first argument that is neither an option nor an option's value.
    std::size_t position = 0;
    while (position < args.size() && LooksLikeOption(args[position])) {
        position += TakesValueAnywhere(commands, args[position]) ? 2 : 1;
    }
    ParsedCommand parsed;
    if (position >= args.size()) {
        if (std::optional<UsageError> error = ParseArguments(nullptr, args, {}, parsed)) {
            return *error;
        }
        if (parsed.Has("help") || parsed.Has("version")) {
            return parsed;
        }
        return UsageError{"no command given"};
    }
    const std::string& name = args[position];
    auto command = std::find_if(commands.begin(), commands.end(),
                                [&](const CommandSyntax& syntax) { return syntax.name == name; });
    if (command == commands.end()) {
        return UsageError{"unknown command \"" + name + "\""};
    }
    parsed.syntax = &*command;
    std::vector<std::string> rest(args.begin(),
                                  args.begin() + static_cast<std::ptrdiff_t>(position));
    rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(position) + 1, args.end());
    if (std::optional<UsageError> error = ParseArguments(&*command, rest, name, parsed)) {
        return *error;
    }
    if (parsed.Has("help") || parsed.Has("version")) {
        return parsed;
    }
    if (parsed.positionals.size() < command->minPositionals) {
        return UsageError{"too few arguments for \"" + name + "\""};
    }
    if (parsed.positionals.size() > command->maxPositionals) {
        return UsageError{"too many arguments for \"" + name + "\""};
    }
    return parsed;
}

namespace {

// One line an option: its forms and value, then what it does, in one column.
void AppendOptions(std::string& text, const std::vector<OptionSyntax>& options) {
    constexpr std::size_t kHelpColumn = 28;
    for (const OptionSyntax& option : options) {
        std::string line = "  ";
        if (option.shortName != 0) {
            line += std::string("-") + option.shortName + ", ";
        }
        line += "--" + std::string(option.name);
        if (option.takesValue) {
            line += " " + std::string(option.value.empty() ? "VALUE" : option.value);
        }
        line.resize(std::max(line.size() + 2, kHelpColumn), ' ');
        text += line + std::string(option.help) + "\n";
    }
}

}  // namespace

std::string FormatUsage(const CommandSyntax& command) {
    std::string text = "usage: wisp ";
    text += command.name;
    // The arguments wrap before an option that would pass 80 columns, under the first one.
    const std::size_t indent = text.size() + 1;
    std::size_t lineStart = 0;
    std::string_view usage = command.usage;
    while (!usage.empty()) {
        std::size_t next = usage.find(" [", 1);
        std::string_view word = usage.substr(0, next);
        usage = next == std::string_view::npos ? std::string_view() : usage.substr(next + 1);
        if (text.size() - lineStart + 1 + word.size() > 80 && text.size() - lineStart > indent) {
            lineStart = text.size() + 1;
            text += "\n" + std::string(indent - 1, ' ');
        }
        text += ' ';
        text += word;
    }
    text += "\n\n";
    text += command.summary;
    text += "\n";
    if (!command.options.empty()) {
        text += "\noptions:\n";
        AppendOptions(text, command.options);
    }
    text += "\ncommon options:\n";
    AppendOptions(text, CommonOptions());
    return text;
}

std::string FormatOverview(const std::vector<CommandSyntax>& commands) {
    std::string text =
        "usage: wisp [--root DIR] [--quiet] COMMAND [ARGS] [OPTIONS]\n"
        "       wisp --help | --version\n\ncommands:\n";
    std::size_t column = 0;
    for (const CommandSyntax& command : commands) {
        column = std::max(column, command.name.size() + 4);
    }
    for (const CommandSyntax& command : commands) {
        std::string line = "  ";
        line += command.name;
        line.resize(column, ' ');
        line += command.summary;
        text += line + "\n";
    }
    text +=
        "\nOptions may stand before or after the command. \"wisp COMMAND --help\" shows one\n"
        "command's arguments and options; \"man wisp\" tells more.\n";
    return text;
}

}  // namespace wisp::cli
