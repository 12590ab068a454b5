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
        {"root", true},
        {"help", false},
        {"quiet", false},
    };
    return options;
}

std::variant<ParsedCommand, UsageError> ParseCommandLine(const std::vector<CommandSyntax>& commands,
                                                         const std::vector<std::string>& args) {
    if (args.empty()) {
        return UsageError{"no command given"};
    }
    auto command = std::find_if(commands.begin(), commands.end(), [&](const CommandSyntax& syntax) {
        return syntax.name == args[0];
    });
    if (command == commands.end()) {
        return UsageError{"unknown command \"" + args[0] + "\""};
    }
    ParsedCommand parsed;
    parsed.syntax = &*command;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool shortForm = arg.size() == 2 && arg[0] == '-' && arg[1] != '-';
        if (optionsEnded || (!shortForm && (arg.size() < 2 || !arg.starts_with("--")))) {
            parsed.positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg.substr(shortForm ? 1 : 2);
        std::optional<std::string> value;
        if (std::size_t equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const OptionSyntax* option = FindOption(*command, name);
        if (!option) {
            return UsageError{"unknown option " + arg.substr(0, arg.find('=')) + " for \"" +
                              args[0] + "\""};
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
    if (parsed.Has("help")) {
        return parsed;
    }
    if (parsed.positionals.size() < command->minPositionals) {
        return UsageError{"too few arguments for \"" + args[0] + "\""};
    }
    if (parsed.positionals.size() > command->maxPositionals) {
        return UsageError{"too many arguments for \"" + args[0] + "\""};
    }
    return parsed;
}

std::string FormatUsage(const CommandSyntax& command) {
    std::string text = "usage: wisp ";
    text += command.name;
    if (!command.usage.empty()) {
        text += ' ';
        text += command.usage;
    }
    text += "\n  ";
    text += command.summary;
    text += "\n  common options: --root DIR (library root for this call), --quiet, --help\n";
    return text;
}

std::string FormatOverview(const std::vector<CommandSyntax>& commands) {
    std::string text = "usage: wisp COMMAND [ARGS] [--root DIR] [--quiet] [--help]\n\ncommands:\n";
    for (const CommandSyntax& command : commands) {
        std::string line = "  ";
        line += command.name;
        line.resize(std::max<std::size_t>(line.size() + 1, 14), ' ');
        line += command.summary;
        text += line + "\n";
    }
    text += "\n\"wisp COMMAND --help\" shows one command's arguments.\n";
    return text;
}

}  // namespace wisp::cli
