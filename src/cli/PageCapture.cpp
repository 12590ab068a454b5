#include <nlohmann/json.hpp>

#include "cli/PageCapture.h"

#include <charconv>

#include "cli/FetchLimits.h"
#include "cli/OpenedLibrary.h"

namespace wisp::cli {
namespace {

constexpr unsigned kMostTransfers = 64;

unsigned TransfersOf(const CommandContext& context) {
    std::optional<std::string> text = context.command.Value("transfers");
    if (!text) {
        return CurlDownloader::kDefaultTransfers;
    }
    unsigned transfers = 0;
    auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), transfers);
    if (error != std::errc() || end != text->data() + text->size() || transfers == 0 ||
        transfers > kMostTransfers) {
        throw UsageFailure("--transfers takes a number from 1 to " +
                             std::to_string(kMostTransfers));
    }
    return transfers;
}

}  // namespace

CommandCapture::CommandCapture(CommandContext& context)
    : context_(context),
      urlCombiner_(CreateNativeUrlCombiner()),
      downloader_(TransfersOf(context), FetchOptionsOf(context.command)),
      progress_(stderr, TerminalDownloadProgress::ShouldShow(stderr, context.Quiet())),
      shell_(CreateNativeShellFileOperations()),
      changes_(context.LibraryRoot()) {}

CapturePorts CommandCapture::Ports(const BrowserResponses* loaded) {
    browserFirst_.reset();
    if (!loaded) {
        downloader_.UseCookieFile({});
        return {context_.files, *urlCombiner_, downloader_, progress_, *shell_, &changes_};
    }
    downloader_.UseCookieFile(loaded->CookieFile());
    browserFirst_.emplace(*loaded, downloader_);
    return {context_.files, *urlCombiner_, *browserFirst_, progress_, *shell_, &changes_};
}

PageScripts ScriptsOf(const ParsedCommand& command, bool rendered) {
    return rendered && !command.Has("keep-scripts") ? PageScripts::Remove : PageScripts::Keep;
}

void ReportSavedPage(CommandContext& context, const CaptureOutcome& saved,
                     std::string_view reader) {
    Outcome shown = saved.outcome;
    shown.warnings = NamingTheOptions(std::move(shown.warnings));
    PrintWarnings(context, shown);
    Require(shown);
    if (context.Json()) {
        context.WriteJson({{"saved", shown.path},
                           {"resources", saved.resources},
                           {"failed", saved.failedUrls},
                           {"warnings", shown.warnings}});
    } else if (!context.Quiet()) {
        std::size_t failed = saved.failedUrls.size();
        context.out << "Saved " << saved.outcome.path << ": " << (saved.resources - failed)
                    << " resources fetched, " << failed << " failed"
                    << (reader.empty() ? "" : " (" + std::string(reader) + ")") << "\n";
    }
}

}  // namespace wisp::cli
