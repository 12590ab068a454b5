#include "cli/PageReading.h"

#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <vector>

#include "cli/FetchLimits.h"
#include "core/text/AsciiCase.h"
#include "posix/capture/CssSelector.h"
#include "posix/capture/RenderedPageSource.h"
#include "posix/capture/WebPageSource.h"
#include "posix/platform/Interruption.h"

namespace wisp::cli {
namespace {

struct InstalledBrowser {
    const char* program;
    std::vector<std::string> switches;
};

// The headless shell first: made for reading pages without a window, it starts in half the
// time of the whole browser, and in one process it needs no renderer started per page. It
// places glyphs at fractions of a pixel where the browser on Linux rounds them to whole ones:
// a script that measures text (a maths renderer setting each formula's width) would leave
// sizes in the copy that the reader's browser does not give the same text.
const InstalledBrowser kInstalledBrowsers[] = {
    {"/usr/lib/chromium/chromium-headless-shell",
     {"--single-process", "--disable-font-subpixel-positioning"}},
    {"/usr/lib/chromium/chromium", {}},
};
constexpr double kDefaultRenderSeconds = 5;
constexpr double kLongestRenderSeconds = 600;

std::chrono::milliseconds RenderTimeLimitOf(const CommandContext& context) {
    double seconds = kDefaultRenderSeconds;
    if (std::optional<std::string> text = context.command.Value("render-timeout")) {
        auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), seconds);
        if (error != std::errc() || end != text->data() + text->size() || !(seconds > 0) ||
            seconds > kLongestRenderSeconds) {
            throw UsageFailure("--render-timeout takes a number of seconds above 0, up to 600");
        }
    }
    return std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
}

const InstalledBrowser* FindInstalledBrowser() {
    for (const InstalledBrowser& browser : kInstalledBrowsers) {
        if (::access(browser.program, X_OK) == 0) {
            return &browser;
        }
    }
    return nullptr;
}

std::string SecondsText(std::chrono::milliseconds time) {
    std::string text = std::to_string(time.count() / 1000);
    if (long long rest = time.count() % 1000; rest != 0) {
        text += "." + std::to_string(rest / 100);
    }
    return text;
}

ReadPage ReadStatically(const std::string& url, const std::optional<std::string>& selection,
                        const IUrlCombiner& urlCombiner, const FetchOptions& fetch) {
    std::optional<CssSelector> selector;
    if (selection) {
        selector = CssSelector::Parse(*selection);
        if (!selector) {
            throw CommandFailure("cannot use the selector \"" + *selection +
                                 "\": without a browser, type, #id, .class, descendant and > "
                                 "combinators and comma lists are understood");
        }
    }
    auto read = WebPageSource::Read(url, urlCombiner, selector ? &*selector : nullptr, fetch);
    if (!read) {
        throw CommandFailure(NamingTheOption(read.Error().reason, read.Error().limit));
    }
    return {std::move(*read), false, nullptr};
}

// What a typed address is tried as: as it stands when it names its scheme, else as https and
// then http, as a browser's address bar does.
std::vector<std::string> AddressesToTry(const std::string& typed) {
    for (std::string_view scheme : {"file:", "data:", "about:", "javascript:", "mailto:"}) {
        if (StartsWithNoCase(typed, scheme)) {
            return {typed};
        }
    }
    if (typed.find("://") != std::string::npos) {
        return {typed};
    }
    return {"https://" + typed, "http://" + typed};
}

}  // namespace

RenderingBrowser FindRenderingBrowser() {
    if (const char* chosen = std::getenv("WISP_BROWSER"); chosen && *chosen) {
        return {chosen, {}};
    }
    if (const InstalledBrowser* installed = FindInstalledBrowser()) {
        return {installed->program, installed->switches};
    }
    return {};
}

std::string ExpectedBrowserProgram() {
    return kInstalledBrowsers[1].program;
}

struct PageReader::Browser {
    std::chrono::milliseconds timeLimit{};
    FetchOptions fetch;
    std::unique_ptr<PageRenderer> renderer;  // null when there is none to use
    bool missing = false;                    // none is installed
    std::string startFailure;                // why it could not start
};

PageReader::PageReader(CommandContext& context)
    : context_(context), browser_(std::make_unique<Browser>()) {
    browser_->timeLimit = RenderTimeLimitOf(context);
    browser_->fetch = FetchOptionsOf(context.command);
    if (context.command.Has("static")) {
        return;
    }
    RenderingBrowser chosen = FindRenderingBrowser();
    if (chosen.program.empty()) {
        browser_->missing = true;
        return;
    }
    auto started = PageRenderer::Start(chosen.program, chosen.switches);
    if (started) {
        browser_->renderer = std::move(*started);
    } else {
        browser_->startFailure = started.Error().reason;
    }
}

PageReader::~PageReader() = default;

ReadPage PageReader::ReadOnePage(const std::string& url) {
    const std::optional<std::string> selection = context_.command.Value("selection");
    std::unique_ptr<IUrlCombiner> urlCombiner = CreateNativeUrlCombiner();
    if (context_.command.Has("static")) {
        return ReadStatically(url, selection, *urlCombiner, browser_->fetch);
    }
    if (browser_->missing) {
        context_.Note(std::string("Chromium is not installed (") + kInstalledBrowsers[1].program +
                      "; Debian's package chromium-headless-shell or chromium brings it); the "
                      "page is read from its source, without running its scripts");
        return ReadStatically(url, selection, *urlCombiner, browser_->fetch);
    }
    auto cannotRender = [&](const std::string& reason) {
        context_.Warn("the browser cannot render the page: " + reason +
                      "; the page is read from its source, without running its scripts");
        return ReadStatically(url, selection, *urlCombiner, browser_->fetch);
    };
    if (!browser_->renderer) {
        return cannotRender(browser_->startFailure);
    }
    RenderOptions options;
    options.timeLimit = browser_->timeLimit;
    options.selector = selection;
    options.fetch = browser_->fetch;
    auto read = browser_->renderer->Read(url, options, *urlCombiner);
    if (read) {
        if (read->timeLimitReached) {
            context_.Warn("the page was still loading after " + SecondsText(options.timeLimit) +
                          " seconds (--render-timeout); it is read as it stands");
        }
        return {std::move(read->page), true, std::move(read->responses)};
    }
    if (!read.Error().browserFailed || Interrupted()) {
        throw CommandFailure(read.Error().reason);
    }
    return cannotRender(read.Error().reason);
}

ReadPage PageReader::Read(const std::string& typed) {
    std::vector<std::string> addresses = AddressesToTry(typed);
    std::string tried;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        try {
            return ReadOnePage(addresses[i]);
        } catch (const CommandFailure& failure) {
            if (i + 1 == addresses.size() || Interrupted()) {
                throw CommandFailure(tried + failure.what() +
                                     (addresses.size() > 1 ? " (give the address with its scheme, "
                                                             "such as https://)"
                                                           : ""));
            }
            tried += std::string(failure.what()) + "; ";
        }
    }
    throw CommandFailure("nothing to read");
}

}  // namespace wisp::cli
