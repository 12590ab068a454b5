#include "cli/Run.h"

#include <variant>

#include "cli/Commands.h"
#include "core/platform/NativePorts.h"
#include "posix/platform/FileSettingsStore.h"

namespace wisp::cli {

std::string VersionLine() {
    return "wisp " WISP_VERSION "\n";
}

std::vector<CommandSyntax> SyntaxesOf(const std::vector<Command>& commands) {
    std::vector<CommandSyntax> syntaxes;
    for (const Command& command : commands) {
        syntaxes.push_back(command.syntax);
    }
    return syntaxes;
}

int Run(const std::vector<Command>& commands, const std::vector<std::string>& args,
        std::ostream& out, std::ostream& err) {
    std::vector<CommandSyntax> syntaxes = SyntaxesOf(commands);
    if (args.empty() || args[0] == "help") {
        (args.empty() ? err : out) << FormatOverview(syntaxes);
        return args.empty() ? 2 : 0;
    }
    auto parsed = ParseCommandLine(syntaxes, args);
    if (auto* error = std::get_if<UsageError>(&parsed)) {
        err << "wisp: " << error->message << "\n";
        err << "Try \"wisp --help\".\n";
        return 2;
    }
    const ParsedCommand& command = std::get<ParsedCommand>(parsed);
    if (command.Has("version")) {
        out << VersionLine();
        return 0;
    }
    if (!command.syntax) {
        out << FormatOverview(syntaxes);
        return 0;
    }
    if (command.Has("help")) {
        out << FormatUsage(*command.syntax);
        return 0;
    }
    FileSettingsStore settings = FileSettingsStore::FromEnvironment();
    auto files = CreateNativeFileSystem();
    auto module = CreateNativeModuleLocation();
    CommandContext context{settings, *files, *module, out, err, command};
    if (std::optional<std::string> problem = settings.ReadProblem()) {
        context.Warn(*problem);
    }
    // Said however the command ends: the reader's file is not where it was.
    struct SetAsideNote {
        const FileSettingsStore& settings;
        const CommandContext& context;
        ~SetAsideNote() {
            if (settings.SetAside()) {
                context.Note("the settings file could not be read whole; it is kept as " +
                             *settings.SetAside());
            }
        }
    } note{settings, context};
    const Command& chosen = commands[static_cast<std::size_t>(command.syntax - syntaxes.data())];
    try {
        chosen.handler(context);
    } catch (const UsageFailure& failure) {
        out.flush();
        err << "wisp: " << failure.what() << "\n";
        err << "Try \"wisp " << command.syntax->name << " --help\".\n";
        return 2;
    } catch (const CommandFailure& failure) {
        out.flush();
        err << "wisp: " << failure.what() << "\n";
        return 1;
    } catch (const std::exception& unexpected) {
        out.flush();
        err << "wisp: " << unexpected.what() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace wisp::cli
