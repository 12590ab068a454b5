#include "posix/builder/ChromiumBookPrinter.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <map>

#include "core/capture/ReferenceText.h"
#include "posix/builder/PdfSheets.h"
#include "posix/capture/BrowserProcess.h"
#include "posix/capture/DevToolsClient.h"

namespace wisp {
namespace {

using Clock = DevToolsClient::Clock;
using Json = DevToolsClient::Json;

constexpr std::chrono::seconds kStartTime{20};
constexpr std::chrono::seconds kCommandTime{15};
constexpr std::chrono::seconds kNavigationTime{30};
// A saved page has all it shows beside it; what still loads after this is left out.
constexpr std::chrono::seconds kLoadTime{10};
constexpr std::chrono::seconds kPrintTime{60};

std::string FileUrl(const std::string& path) {
    std::string url = "file://";
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t slash = path.find('/', start);
        slash = slash == std::string::npos ? path.size() : slash;
        if (slash > start) {
            url += "/" + EscapeReferenceSegment(path.substr(start, slash - start));
        }
        start = slash + 1;
    }
    return url;
}

std::string EscapeHtml(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

// Letter paper where it is the custom (the United States, Canada, Mexico), else A4; in inches.
std::pair<double, double> PaperFor(std::string_view language) {
    for (std::string_view letter : {"en", "en-US", "en-CA", "fr-CA", "es-MX"}) {
        if (language == letter) {
            return {8.5, 11};
        }
    }
    return {8.27, 11.69};
}

// One page printed: its sheets as a PDF document of their own.
std::string PrintPage(DevToolsClient& client, const std::string& session, const PrintedPage& page,
                      std::pair<double, double> paper, bool& loaded) {
    loaded = false;
    client.OnEvent([&](const Json& event) {
        if (event.value("sessionId", std::string()) == session &&
            event.value("method", std::string()) == "Page.loadEventFired") {
            loaded = true;
        }
    });
    client.Call("Page.navigate", {{"url", FileUrl(page.path)}}, session,
                Clock::now() + kNavigationTime);
    const Clock::time_point limit = Clock::now() + kLoadTime;
    while (!loaded && client.WaitForEvent(limit)) {
    }
    const std::string header =
        "<div style=\"font-family:sans-serif;font-size:8px;width:100%;margin:0 12mm;"
        "text-align:center;color:#555;white-space:nowrap;overflow:hidden;"
        "text-overflow:ellipsis\">" +
        EscapeHtml(page.title) + "</div>";
    const std::string footer =
        "<div style=\"font-family:sans-serif;font-size:8px;width:100%;margin:0 12mm;"
        "text-align:center;color:#555\"><span class=\"pageNumber\"></span></div>";
    Json printed = client.Call("Page.printToPDF",
                               {{"printBackground", true},
                                {"displayHeaderFooter", true},
                                {"headerTemplate", header},
                                {"footerTemplate", footer},
                                {"paperWidth", paper.first},
                                {"paperHeight", paper.second},
                                {"marginTop", 0.6},
                                {"marginBottom", 0.6},
                                {"marginLeft", 0.5},
                                {"marginRight", 0.5}},
                               session, Clock::now() + kPrintTime);
    return DecodeBase64(printed.value("data", std::string()));
}

}  // namespace

ChromiumBookPrinter::ChromiumBookPrinter(std::string program, std::vector<std::string> switches,
                                         std::string expected)
    : program_(std::move(program)), switches_(std::move(switches)), expected_(std::move(expected)) {}

std::optional<std::string> ChromiumBookPrinter::MissingPrinterMessage() const {
    if (program_.empty() || ::access(program_.c_str(), X_OK) != 0) {
        return "a PDF book is printed by Chromium, which is not installed (" +
               (program_.empty() ? expected_ : program_) +
               "); install the chromium package, or set WISP_BROWSER to a Chromium program";
    }
    return std::nullopt;
}

PrintResult ChromiumBookPrinter::Print(const PrintedBook& book) {
    PrintResult result;
    Result<std::unique_ptr<BrowserProcess>> started = BrowserProcess::Start(program_, switches_);
    if (!started) {
        result.message = "cannot start the browser to print: " + started.Error().reason;
        return result;
    }
    BrowserProcess& browser = **started;
    DevToolsClient client(browser.ToBrowser(), browser.FromBrowser());
    std::vector<std::string> prints;
    prints.reserve(book.pages.size());
    try {
        std::string targetId;
        std::string session = AttachToShownPage(client, targetId, kStartTime, kCommandTime);
        for (const char* domain : {"Page.enable", "Network.enable"}) {
            client.Call(domain, Json::object(), session, Clock::now() + kCommandTime);
        }
        // A saved book is read from disk; what its pages still name on the web stays there.
        client.Call("Network.setBlockedURLs", {{"urls", {"http://*", "https://*"}}}, session,
                    Clock::now() + kCommandTime);
        for (const PrintedPage& page : book.pages) {
            bool loaded = false;
            prints.push_back(PrintPage(client, session, page, PaperFor(book.language), loaded));
            if (!loaded) {
                result.warnings.push_back(page.path + " was still loading after " +
                                          std::to_string(kLoadTime.count()) +
                                          " seconds; it is printed as it stood");
            }
        }
    } catch (const DevToolsError& failure) {
        std::string log = browser.LastLogLine();
        result.message = "the browser could not print the book: " + std::string(failure.what()) +
                         (log.empty() ? "" : " (" + log + ")");
        return result;
    } catch (const Json::exception&) {
        result.message = "the browser's answer is not what was asked for";
        return result;
    }
    browser.End();
    std::string problem = WritePdfBook(book, prints);
    if (!problem.empty()) {
        result.message = std::move(problem);
        return result;
    }
    result.printed = true;
    return result;
}

}  // namespace wisp
