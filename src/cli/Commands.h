#pragma once

#include <vector>

#include "cli/CommandContext.h"

// The table of the wisp command's commands and the function that runs one.
namespace wisp::cli {

using CommandHandler = void (*)(CommandContext& context);

struct Command {
    CommandSyntax syntax;
    CommandHandler handler;
};

const std::vector<Command>& AllCommands();
// The commands of full-text search, among AllCommands(); the wisp program runs them itself.
const std::vector<Command>& SearchCommands();

// "wisp VERSION" and its line end.
std::string VersionLine();

// Library-wide commands.
void RunRoot(CommandContext& context);
void RunVersion(CommandContext& context);

// The books of the library and one book's tree.
void RunBooks(CommandContext& context);
void RunNewBook(CommandContext& context);
void RunUse(CommandContext& context);
void RunRenameBook(CommandContext& context);
void RunRmBook(CommandContext& context);
void RunTree(CommandContext& context);
void RunMkdir(CommandContext& context);
void RunRename(CommandContext& context);
void RunMove(CommandContext& context);
void RunRm(CommandContext& context);

// Capture and build commands.
void RunCollect(CommandContext& context);
void RunPaste(CommandContext& context);
void RunInfo(CommandContext& context);
void RunRecollect(CommandContext& context);
void RunBuild(CommandContext& context);

// Full-text search over the library and its index.
void RunSearch(CommandContext& context);
void RunIndex(CommandContext& context);

// The browser extension's side: its native host and the host's registration.
void RunNativeHost(CommandContext& context);
void RunBrowserInstall(CommandContext& context);

}  // namespace wisp::cli
