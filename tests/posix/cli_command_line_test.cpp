#include <gtest/gtest.h>

#include <map>

#include "cli/CommandLine.h"
#include "cli/Commands.h"

namespace wisp::cli {
namespace {

const std::vector<CommandSyntax>& Specs() {
    static const std::vector<CommandSyntax> syntaxes = {
        {"collect", 1, 1, {{"book", true}, {"title", true}}, "URL", "collect"},
        {"root", 0, 1, {}, "[PATH]", "root"},
    };
    return syntaxes;
}

TEST(CommandLine, ParsesPositionalsAndOptions) {
    auto parsed = ParseCommandLine(
        Specs(), {"collect", "--book", "Travel", "http://h/", "--title=A = B", "--quiet"});
    ASSERT_TRUE(std::holds_alternative<ParsedCommand>(parsed));
    const auto& command = std::get<ParsedCommand>(parsed);
    EXPECT_EQ(command.syntax->name, "collect");
    EXPECT_EQ(command.positionals, std::vector<std::string>{"http://h/"});
    EXPECT_EQ(command.Value("book"), "Travel");
    EXPECT_EQ(command.Value("title"), "A = B");
    EXPECT_TRUE(command.Has("quiet"));
    EXPECT_FALSE(command.Value("root"));

    // After "--" everything is positional, so a name may begin with dashes.
    auto dashed = ParseCommandLine(Specs(), {"root", "--", "--odd"});
    ASSERT_TRUE(std::holds_alternative<ParsedCommand>(dashed));
    EXPECT_EQ(std::get<ParsedCommand>(dashed).positionals, std::vector<std::string>{"--odd"});
}

TEST(CommandLine, OptionsMayStandBeforeTheCommand) {
    const std::vector<std::string> orders[] = {
        {"collect", "http://h/", "--book", "T", "--root", "/r", "--quiet"},
        {"--root", "/r", "--book", "T", "--quiet", "collect", "http://h/"},
        {"--root=/r", "-h", "collect", "--book=T", "--quiet", "http://h/"},
    };
    for (const auto& args : orders) {
        auto parsed = ParseCommandLine(Specs(), args);
        ASSERT_TRUE(std::holds_alternative<ParsedCommand>(parsed)) << args[0];
        const auto& command = std::get<ParsedCommand>(parsed);
        EXPECT_EQ(command.syntax->name, "collect");
        EXPECT_EQ(command.positionals, std::vector<std::string>{"http://h/"}) << args[0];
        EXPECT_EQ(command.Value("book"), "T");
        EXPECT_EQ(command.Value("root"), "/r");
    }
    // --help and --version stand without a command; other options do not.
    for (const char* alone : {"--version", "--help", "-h"}) {
        auto parsed = ParseCommandLine(Specs(), {"--quiet", alone});
        ASSERT_TRUE(std::holds_alternative<ParsedCommand>(parsed)) << alone;
        EXPECT_EQ(std::get<ParsedCommand>(parsed).syntax, nullptr);
    }
    auto onlyRoot = ParseCommandLine(Specs(), {"--root", "collect"});
    ASSERT_TRUE(std::holds_alternative<UsageError>(onlyRoot));
    EXPECT_EQ(std::get<UsageError>(onlyRoot).message, "no command given");
}

TEST(CommandLine, AnOptionNameTakesAValueInEveryCommandOrInNone) {
    // What lets an option stand before the command name.
    std::map<std::string_view, bool> takesValue;
    for (const Command& command : AllCommands()) {
        for (const OptionSyntax& option : command.syntax.options) {
            auto [known, added] = takesValue.emplace(option.name, option.takesValue);
            EXPECT_EQ(known->second, option.takesValue) << option.name;
        }
    }
}

TEST(CommandLine, ReportsWhatIsWrong) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{}, "no command given"},
        {{"fly"}, "unknown command \"fly\""},
        {{"collect"}, "too few arguments for \"collect\""},
        {{"collect", "a", "b"}, "too many arguments for \"collect\""},
        {{"collect", "a", "--book"}, "option --book needs a value"},
        {{"collect", "a", "--quiet=yes"}, "option --quiet takes no value"},
        {{"root", "--title", "x"}, "unknown option --title for \"root\""},
        {{"--title", "x", "root"}, "unknown option --title for \"root\""},
        {{"--fly", "root"}, "unknown option --fly for \"root\""},
    };
    for (const Case& c : cases) {
        auto parsed = ParseCommandLine(Specs(), c.args);
        ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << c.message;
        EXPECT_EQ(std::get<UsageError>(parsed).message, c.message);
    }
    // --help needs no other argument.
    EXPECT_TRUE(
        std::holds_alternative<ParsedCommand>(ParseCommandLine(Specs(), {"collect", "--help"})));
}

TEST(CommandLine, OverviewAndUsageKeepEverySummaryInOneColumn) {
    std::string text =
        FormatOverview({{"root", 0, 1, {}, "", "shows"}, {"a-long-command", 0, 0, {}, "", "runs"}});
    EXPECT_NE(text.find("\n  root            shows\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n  a-long-command  runs\n"), std::string::npos) << text;
    std::string usage = FormatUsage({"collect", 1, 1,
                                     {{"title", true, 0, "T", "the title"},
                                      {"output", true, 'o', "FILE", "the file"},
                                      {"a-very-long-option-name", true, 0, "VALUE", "long"}},
                                     "URL [--title T] [-o FILE]", "saves"});
    EXPECT_NE(usage.find("\n  --title T                 the title\n"), std::string::npos) << usage;
    EXPECT_NE(usage.find("\n  -o, --output FILE         the file\n"), std::string::npos) << usage;
    EXPECT_NE(usage.find("\n  --a-very-long-option-name VALUE  long\n"), std::string::npos) << usage;
}

}  // namespace
}  // namespace wisp::cli
