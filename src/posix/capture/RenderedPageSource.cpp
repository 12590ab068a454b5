#include "posix/capture/RenderedPageSource.h"

#include <set>
#include <string_view>

#include "generated/SerializeScript.h"
#include "posix/capture/BrowserProcess.h"
#include "posix/capture/CurlFetch.h"
#include "posix/capture/DevToolsClient.h"
#include "posix/capture/LivePage.h"
#include "posix/capture/PageTypes.h"

namespace wisp {
namespace {

using Clock = DevToolsClient::Clock;
using Json = DevToolsClient::Json;

// The browser's first answer; its start costs about a second, more on a busy machine.
constexpr std::chrono::seconds kStartTime{20};
// Any other command but the navigation.
constexpr std::chrono::seconds kCommandTime{15};
// The page's own document: as long as a transfer of it may take.
constexpr std::chrono::seconds kNavigationTime{30};

// The expression that runs the shared serialisation in the page: the whole page, or the
// elements the selector picks. The extension loads the script as a module; here its function
// is declared in a scope of its own.
std::string SerializeExpression(const std::optional<std::string>& selector) {
    std::string script = kSerializeScript;
    if (std::size_t exported = script.find("export function"); exported != std::string::npos) {
        script.erase(exported, std::string_view("export ").size());
    }
    const Json selection = selector ? Json{{"selector", *selector}} : Json(nullptr);
    return "(() => {\n" + script + "\nreturn serializeDocument(" +
           selection.dump(-1, ' ', false, Json::error_handler_t::replace) + ");\n})()";
}

// What the network of the page is doing, from the events of its session.
struct PageLoad {
    std::string session;
    std::string frameId;  // the page's main frame
    std::set<std::string> inflight;
    Clock::time_point lastChange = Clock::now();
    bool loaded = false;
    int status = 0;  // of the main document's answer; 0 before it came
    std::string mimeType;

    void Handle(const Json& event) {
        if (event.value("sessionId", std::string()) != session) {
            return;
        }
        const std::string method = event.value("method", std::string());
        static const Json kNoParams = Json::object();
        const Json& params = event.contains("params") ? event["params"] : kNoParams;
        const std::string requestId = params.value("requestId", std::string());
        if (method == "Network.requestWillBeSent") {
            inflight.insert(requestId);
            lastChange = Clock::now();
        } else if (method == "Network.loadingFinished" || method == "Network.loadingFailed") {
            inflight.erase(requestId);
            lastChange = Clock::now();
        } else if (method == "Network.responseReceived" &&
                   params.value("type", std::string()) == "Document" &&
                   params.value("frameId", std::string()) == frameId &&
                   params.contains("response")) {
            status = params["response"].value("status", 0);
            mimeType = params["response"].value("mimeType", std::string());
        } else if (method == "Page.loadEventFired") {
            loaded = true;
            lastChange = Clock::now();
        }
    }

    bool Quiet(std::chrono::milliseconds quietTime) const {
        return loaded && inflight.empty() && Clock::now() - lastChange >= quietTime;
    }
};

// The address of the page's main frame, as the browser has it.
std::string FrameAddress(DevToolsClient& client, const std::string& session) {
    Json tree =
        client.Call("Page.getFrameTree", Json::object(), session, Clock::now() + kCommandTime);
    const Json& frame = tree.at("frameTree").at("frame");
    return frame.at("url").get<std::string>() + frame.value("urlFragment", std::string());
}

}  // namespace

Result<RenderedPage, RenderFailure> ReadRenderedPage(const std::string& url,
                                                    const RenderOptions& options,
                                                    const IUrlCombiner& urlCombiner) {
    auto pageFailure = [](std::string why) { return RenderFailure{{std::move(why)}, false}; };
    auto browserFailure = [](std::string why) { return RenderFailure{{std::move(why)}, true}; };
    Result<std::unique_ptr<BrowserProcess>> started =
        BrowserProcess::Start(options.browser, options.browserSwitches);
    if (!started) {
        return browserFailure(started.Error().reason);
    }
    BrowserProcess& browser = **started;
    RenderedPage rendered;
    DevToolsClient client(browser.ToBrowser(), browser.FromBrowser());
    PageLoad load;
    client.OnEvent([&](const Json& event) { load.Handle(event); });
    Json read;
    try {
        load.session = AttachToShownPage(client, load.frameId, kStartTime, kCommandTime);
        for (const char* domain : {"Page.enable", "Network.enable"}) {
            client.Call(domain, Json::object(), load.session, Clock::now() + kCommandTime);
        }
        Json navigated;
        try {
            navigated = client.Call("Page.navigate", {{"url", RequestUrl(url)}}, load.session,
                                    Clock::now() + kNavigationTime);
        } catch (const DevToolsTimeout&) {
            return pageFailure("cannot read " + url + ": no answer in " +
                               std::to_string(kNavigationTime.count()) + " seconds");
        } catch (const DevToolsRefusal& refusal) {
            // An address the browser cannot go to at all.
            return pageFailure("cannot read " + url + ": " + refusal.what());
        }
        if (std::string failure = navigated.value("errorText", std::string()); !failure.empty()) {
            // The browser names its reasons for itself; a reader needs them in words.
            if (!load.mimeType.empty() && !IsHtmlContentType(load.mimeType)) {
                return pageFailure(NotAPageMessage(url, load.mimeType));
            }
            if (failure == "net::ERR_UNSAFE_PORT") {
                return pageFailure("cannot read " + url +
                                   ": the browser does not connect to this port, which belongs to "
                                   "another kind of service");
            }
            return pageFailure("cannot read " + url + ": " + failure);
        }
        if (load.status >= 400) {
            return pageFailure("cannot read " + url + ": the server answered HTTP " +
                               std::to_string(load.status));
        }
        if (!load.mimeType.empty() && !IsHtmlContentType(load.mimeType)) {
            return pageFailure(NotAPageMessage(url, load.mimeType));
        }

        // The page's own document is bounded above; the limit is for what follows it.
        const Clock::time_point limit = Clock::now() + options.timeLimit;
        while (!load.Quiet(options.quietTime)) {
            if (Clock::now() >= limit) {
                rendered.timeLimitReached = true;
                break;
            }
            Clock::time_point wake = limit;
            if (load.loaded && load.inflight.empty()) {
                wake = std::min(limit, load.lastChange + options.quietTime);
            }
            client.WaitForEvent(wake);
        }

        Json evaluated = client.Call(
            "Runtime.evaluate",
            {{"expression", SerializeExpression(options.selector)}, {"returnByValue", true}},
            load.session, Clock::now() + kCommandTime);
        if (evaluated.contains("exceptionDetails") || !evaluated["result"].contains("value")) {
            return pageFailure("cannot read the document of " + url);
        }
        read = std::move(evaluated["result"]["value"]);
        // The page's scripts can make the document report any address, a file's among them;
        // the address its references are read against is the one the browser loaded.
        if (read.is_object()) {
            read["url"] = FrameAddress(client, load.session);
        }
    } catch (const DevToolsError& failure) {
        std::string log = browser.LastLogLine();
        return browserFailure(std::string(failure.what()) + (log.empty() ? "" : " (" + log + ")"));
    } catch (const Json::exception&) {
        return browserFailure("the browser's answer is not what was asked for");
    }
    // The browser is done; what is still to fetch needs none.
    browser.End();

    ParsedLivePage parsed = ParseLivePage(read, urlCombiner);
    if (parsed.selectorRefused) {
        return pageFailure("cannot use the selector \"" + options.selector.value_or("") +
                           "\": " + parsed.error);
    }
    if (!parsed.page) {
        return browserFailure("the browser's answer is not what was asked for: " + parsed.error);
    }
    rendered.page = std::move(parsed.page);
    return rendered;
}

}  // namespace wisp
