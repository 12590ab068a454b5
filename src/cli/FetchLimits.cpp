#include "cli/FetchLimits.h"

#include <charconv>
#include <cstdint>

#include "cli/CommandContext.h"
#include "core/text/ByteSize.h"

namespace wisp::cli {
namespace {

constexpr long kLongestStallSeconds = 3600;
constexpr std::uint64_t kGigabyte = 1024ull * 1024 * 1024;

struct SizeOption {
    std::string_view name;
    std::size_t FetchOptions::*field;
    std::uint64_t most;  // past it a value is a slip, not a wish
};
const SizeOption kSizeOptions[] = {
    {"max-markup-size", &FetchOptions::maxDocumentBytes, 4 * kGigabyte},
    {"max-resource-size", &FetchOptions::maxResourceBytes, 1024 * kGigabyte},
    {"max-total-size", &FetchOptions::maxPageBytes, 1024 * kGigabyte},
};

// Each limit with its option, and what a resource's warning says when the limit ended it.
struct LimitWords {
    FetchLimit limit;
    std::string_view option;
    std::string_view resourceReason;  // empty: the limit is not a resource's
};
const LimitWords kLimitWords[] = {
    {FetchLimit::Stall, "--stall-timeout", "stalled longer than --stall-timeout"},
    {FetchLimit::Document, "--max-markup-size", {}},
    {FetchLimit::Resource, "--max-resource-size", "larger than --max-resource-size"},
    {FetchLimit::Page, "--max-total-size", "over the page's --max-total-size"},
};

}  // namespace

const std::vector<OptionSyntax>& FetchLimitOptions() {
    static const std::vector<OptionSyntax> options = {
        {"stall-timeout", true, 0, "SECONDS", "give up a transfer stalled so long (default 30)"},
        {"max-markup-size", true, 0, "SIZE", "read a page's markup up to SIZE (default 64M)"},
        {"max-resource-size", true, 0, "SIZE", "save a resource up to SIZE (default 256M)"},
        {"max-total-size", true, 0, "SIZE",
         "fetch a page's resources up to SIZE in all (default 1G)"},
    };
    return options;
}

FetchOptions FetchOptionsOf(const ParsedCommand& command) {
    FetchOptions options;
    if (std::optional<std::string> text = command.Value("stall-timeout")) {
        long seconds = 0;
        auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), seconds);
        if (error != std::errc() || end != text->data() + text->size() || seconds < 1 ||
            seconds > kLongestStallSeconds) {
            throw UsageFailure("--stall-timeout takes a number of seconds from 1 to " +
                               std::to_string(kLongestStallSeconds));
        }
        options.stallSeconds = seconds;
    }
    for (const SizeOption& size : kSizeOptions) {
        if (std::optional<std::string> text = command.Value(size.name)) {
            std::optional<std::uint64_t> bytes = ParseByteSize(*text);
            if (!bytes || *bytes == 0 || *bytes > size.most) {
                throw UsageFailure("--" + std::string(size.name) + " takes a size from 1 byte to " +
                                   ByteSizeText(size.most) + ", such as 300K, 20M or 2G");
            }
            options.*size.field = static_cast<std::size_t>(*bytes);
        }
    }
    return options;
}

std::string NamingTheOption(std::string message, FetchLimit limit) {
    for (const LimitWords& words : kLimitWords) {
        if (words.limit == limit) {
            message += "; " + std::string(words.option) + " raises the limit";
        }
    }
    return message;
}

std::vector<std::string> NamingTheOptions(std::vector<std::string> warnings) {
    for (std::string& warning : warnings) {
        for (const LimitWords& words : kLimitWords) {
            const std::string reason = " (" + std::string(LimitReason(words.limit)) + ")";
            if (!words.resourceReason.empty() && warning.ends_with(reason)) {
                warning.replace(warning.size() - reason.size(), reason.size(),
                                " (" + std::string(words.resourceReason) + ")");
                break;
            }
        }
    }
    return warnings;
}

}  // namespace wisp::cli
