#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/CommandLine.h"
#include "posix/capture/CurlFetch.h"

// The limits of what a command fetches for a page, as options of the wisp command: the one
// place they become FetchOptions, and the words that tell the reader which option raises a
// limit a transfer met.
namespace wisp::cli {

// The options of the commands that fetch for a page.
const std::vector<OptionSyntax>& FetchLimitOptions();

// The command's limits, each its default unless given; a value out of range is a UsageFailure.
FetchOptions FetchOptionsOf(const ParsedCommand& command);

// `message` followed by the option that raises `limit`, when a limit ended the fetch.
std::string NamingTheOption(std::string message, FetchLimit limit);

// The warnings, with each resource's reason that is a limit ("could not fetch URL (too
// large)") said as the option that raises it.
std::vector<std::string> NamingTheOptions(std::vector<std::string> warnings);

}  // namespace wisp::cli
