#pragma once

#include "cli/CommandContext.h"

// The wisp command as the native host of the browser extension: each framed JSON request
// runs the same library, tree, capture and build operations as the commands, and one framed
// JSON reply answers it.
namespace wisp::cli {

// Answers requests read from `inFd` on `outFd` until the stream ends; false when it broke off
// inside a message or a reply could not be written.
bool ServeNativeMessages(CommandContext& context, int inFd, int outFd);

}  // namespace wisp::cli
