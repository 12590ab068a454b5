#include "posix/capture/RenderedPageSource.h"

#include <cstdint>
#include <map>
#include <set>
#include <string_view>

#include "generated/SerializeScript.h"
#include "posix/capture/CurlFetch.h"
#include "posix/capture/LivePage.h"
#include "posix/capture/PageTypes.h"
#include "posix/capture/WebPageSource.h"

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

// Where, in the page, the time of its document's last change is kept from the moment it has
// been parsed, so that a page that has not changed since is not watched for a while again.
constexpr std::string_view kLastChangeKey = "__wispDocumentChanged";
constexpr std::string_view kObserveOptions =
    "{subtree: true, childList: true, attributes: true, characterData: true}";

// Run in every document the tab opens, before its own scripts: the browser runs it when the
// document's scripts first need their context, which for a page without scripts may be only
// when it is read. A document not parsed yet is watched from its end of parsing on; one
// parsed before any script ran is as its markup made it until then.
std::string LastChangeScript() {
    const std::string key(kLastChangeKey);
    return "(() => {"
           "  const mark = (at) => { window['" +
           key +
           "'] = at; };"
           "  const watch = () => new MutationObserver(() => mark(performance.now()))"
           "    .observe(document, " +
           std::string(kObserveOptions) +
           ");"
           "  if (document.readyState === 'loading') {"
           "    document.addEventListener('DOMContentLoaded', () => {"
           "      mark(performance.now()); watch(); });"
           "  } else {"
           "    const parsed = performance.getEntriesByType('navigation')[0];"
           "    mark(parsed ? parsed.domInteractive : 0); watch();"
           "  }"
           "})();";
}

// Run in every document before its own scripts. The headless shell is Chromium's engine
// without the browser's `window.chrome`, which is how scripts tell Chromium from Safari: a
// maths renderer took it for Safari and laid formulas out with Safari's measures, so a copy
// opened in Chromium showed them a few pixels off. The object the browser gives a page is
// given where it is missing, its timings read from the page's own.
constexpr std::string_view kChromeObjectScript = R"((() => {
  if ('chrome' in window) return;
  const timing = () => performance.getEntriesByType('navigation')[0] || {};
  const at = (ms) => (performance.timeOrigin + (ms || 0)) / 1000;
  const paint = () => performance.getEntriesByName('first-paint')[0];
  const app = {
    isInstalled: false,
    InstallState: {DISABLED: 'disabled', INSTALLED: 'installed', NOT_INSTALLED: 'not_installed'},
    RunningState: {CANNOT_RUN: 'cannot_run', READY_TO_RUN: 'ready_to_run', RUNNING: 'running'},
    getDetails: () => null,
    getIsInstalled: () => false,
    installState: (done) => done && done('not_installed'),
    runningState: () => 'cannot_run',
  };
  window.chrome = {
    app,
    csi: () => ({startE: Math.round(performance.timeOrigin),
                 onloadT: Math.round(performance.timeOrigin + (timing().loadEventStart || 0)),
                 pageT: performance.now(), tran: 15}),
    loadTimes: () => {
      const t = timing();
      const protocol = t.nextHopProtocol || 'http/1.1';
      return {requestTime: at(t.requestStart), startLoadTime: at(t.startTime),
              commitLoadTime: at(t.responseStart), finishDocumentLoadTime:
              at(t.domContentLoadedEventEnd), finishLoadTime: at(t.loadEventEnd),
              firstPaintTime: paint() ? at(paint().startTime) : 0, firstPaintAfterLoadTime: 0,
              navigationType: 'Other', wasFetchedViaSpdy: protocol.startsWith('h2'),
              wasNpnNegotiated: protocol !== 'http/1.1', npnNegotiatedProtocol: protocol,
              wasAlternateProtocolAvailable: false, connectionInfo: protocol};
    },
  };
})();
)";

// A promise, in the page, that settles once its document has gone `quiet` without a change
// (counted from its last change, when known), or after `most` in any case.
std::string DomQuietExpression(std::chrono::milliseconds quiet, std::chrono::milliseconds most) {
    const std::string wait = std::to_string(quiet.count());
    const std::string key(kLastChangeKey);
    return "new Promise((done) => {"
           "  let timer;"
           "  const watch = new MutationObserver(() => {"
           "    clearTimeout(timer); timer = setTimeout(end, " +
           wait +
           "); });"
           "  const end = () => { watch.disconnect(); done(true); };"
           "  watch.observe(document, " +
           std::string(kObserveOptions) +
           ");"
           "  const last = window['" +
           key +
           "'];"
           "  timer = setTimeout(end, typeof last === 'number'"
           "    ? Math.max(0, " +
           wait + " - (performance.now() - last)) : " + wait +
           ");"
           "  setTimeout(end, " +
           std::to_string(most.count()) +
           ");"
           "})";
}

// An answer the browser loaded for the page.
struct LoadedAnswer {
    std::vector<std::string> urls;  // as the page asked for it, then each redirect's target
    bool kept = false;               // a whole answer with a body worth keeping
    bool finished = false;
    // The body's bytes as they arrived, unpacked. The browser gives up its copy of a picture
    // it could not show and then answers with less: such an answer is fetched again.
    std::size_t received = 0;
};

// What the network of the page is doing, from the events of its session.
struct PageLoad {
    std::string session;
    std::string frameId;  // the page's main frame
    std::set<std::string> inflight;
    std::map<std::string, LoadedAnswer> answers;  // by request
    std::vector<std::string> finishedToKeep;       // requests, in the order they finished
    // What the browser's answers may take of memory and disk: one larger than a resource may
    // be, or one past what a page's resources may take together, is left to the fetch, which
    // refuses it and says which limit.
    std::size_t mostResourceBytes = SIZE_MAX;
    std::size_t bytesLeftToKeep = SIZE_MAX;
    Clock::time_point lastChange = Clock::now();
    bool loaded = false;
    int status = 0;  // of the main document's answer; 0 before it came
    std::string mimeType;

    // Requests that do not hold the page open: event streams never end, and a worker's own
    // script (the only request without a loader) ends in the worker's own target, not here, as
    // does all the worker loads after it.
    static bool LongLived(const Json& params) {
        const std::string type = params.value("type", std::string());
        return type == "EventSource" || type == "WebSocket" ||
               params.value("loaderId", std::string()).empty();
    }

    void Handle(const Json& event) {
        if (event.value("sessionId", std::string()) != session) {
            return;
        }
        const std::string method = event.value("method", std::string());
        static const Json kNoParams = Json::object();
        const Json& params = event.contains("params") ? event["params"] : kNoParams;
        const std::string requestId = params.value("requestId", std::string());
        if (method == "Network.requestWillBeSent") {
            if (LongLived(params)) {
                return;
            }
            inflight.insert(requestId);
            lastChange = Clock::now();
            if (params.contains("request") && params["request"].is_object()) {
                answers[requestId].urls.push_back(params["request"].value("url", std::string()));
            }
        } else if (method == "Network.loadingFinished" || method == "Network.loadingFailed") {
            if (inflight.erase(requestId) != 0) {
                lastChange = Clock::now();
            }
            if (auto answer = answers.find(requestId); answer != answers.end()) {
                LoadedAnswer& loaded = answer->second;
                loaded.finished = method == "Network.loadingFinished";
                if (loaded.finished && loaded.kept && loaded.received <= mostResourceBytes &&
                    loaded.received <= bytesLeftToKeep) {
                    bytesLeftToKeep -= loaded.received;
                    finishedToKeep.push_back(requestId);
                }
            }
        } else if (method == "Network.responseReceived" && params.contains("response") &&
                   params["response"].is_object()) {
            const Json& response = params["response"];
            const bool pageDocument = params.value("type", std::string()) == "Document" &&
                                      params.value("frameId", std::string()) == frameId;
            if (pageDocument) {
                status = response.value("status", 0);
                mimeType = response.value("mimeType", std::string());
            }
            if (auto answer = answers.find(requestId); answer != answers.end()) {
                const int answered = response.value("status", 0);
                // The page's own document is read from the page; a partial answer (media) is
                // not the whole resource; a file's answer has no status, and is the file.
                answer->second.kept = !pageDocument && answered != 204 && answered != 206 &&
                                      (answered == 0 || (answered >= 200 && answered < 300));
            }
        } else if (method == "Network.dataReceived") {
            if (auto answer = answers.find(requestId); answer != answers.end()) {
                answer->second.received += params.value("dataLength", std::size_t{0});
            }
        } else if (method == "Page.loadEventFired") {
            loaded = true;
            lastChange = Clock::now();
        }
    }

    bool Settled(std::chrono::milliseconds settleTime) const {
        return loaded && inflight.empty() && Clock::now() - lastChange >= settleTime;
    }
};

// The address of the page's main frame, as the browser has it.
std::string FrameAddress(DevToolsClient& client, const std::string& session) {
    Json tree =
        client.Call("Page.getFrameTree", Json::object(), session, Clock::now() + kCommandTime);
    const Json& frame = tree.at("frameTree").at("frame");
    return frame.at("url").get<std::string>() + frame.value("urlFragment", std::string());
}

bool Fetchable(const std::string& url) {
    return url.rfind("http:", 0) == 0 || url.rfind("https:", 0) == 0 ||
           url.rfind("file:", 0) == 0;
}

// Keeps the body of every whole answer the page loads, under each address that led to it:
// asked for as each answer finishes, a few at a time, while the page goes on loading. An answer
// the browser no longer holds, or holds only in part, is left to be fetched.
class AnswerKeeper {
public:
    AnswerKeeper(DevToolsClient& client, const PageLoad& load, BrowserResponses* kept)
        : client_(client), load_(load), kept_(kept) {
        client_.OnAnswer([this](int id, const Json& message) { Take(id, message); });
    }
    ~AnswerKeeper() { client_.OnAnswer({}); }
    AnswerKeeper(const AnswerKeeper&) = delete;
    AnswerKeeper& operator=(const AnswerKeeper&) = delete;

    // Asks for the bodies of the answers finished since, keeping a few requests under way:
    // enough to hide the pipe's round trips, few enough that the requests never fill the
    // browser's end while it writes its answers to ours.
    void AskMore() {
        constexpr std::size_t kUnderWay = 16;
        while (kept_ && next_ < Until() && asked_.size() < kUnderWay) {
            const std::string& requestId = load_.finishedToKeep[next_++];
            const int id = client_.Send("Network.getResponseBody", {{"requestId", requestId}},
                                        load_.session, Clock::now() + kCommandTime);
            asked_.emplace(id, requestId);
        }
    }

    // From now on only the answers finished so far are asked for: a page read at its time
    // limit goes on loading, and what it loads later is fetched.
    void Close() { closedAt_ = load_.finishedToKeep.size(); }

    // Every finished answer asked for and answered.
    bool Done() const { return !kept_ || (next_ == Until() && asked_.empty()); }

private:
    std::size_t Until() const { return closedAt_ ? *closedAt_ : load_.finishedToKeep.size(); }

    void Take(int id, const Json& message) {
        auto asked = asked_.find(id);
        if (asked == asked_.end()) {
            return;  // the late answer of a command given up on
        }
        const LoadedAnswer& answer = load_.answers.at(asked->second);
        asked_.erase(asked);
        auto result = message.find("result");
        if (result == message.end() || !result->is_object() || !(*result)["body"].is_string()) {
            return;
        }
        const std::string& text = (*result)["body"].get_ref<const std::string&>();
        const std::string body = result->value("base64Encoded", false) ? DecodeBase64(text) : text;
        if (body.size() != answer.received) {
            return;
        }
        for (const std::string& url : answer.urls) {
            if (Fetchable(url)) {
                kept_->Add(url, body);
            }
        }
    }

    DevToolsClient& client_;
    const PageLoad& load_;
    BrowserResponses* kept_;  // null: nothing is kept
    std::size_t next_ = 0;    // the first of load_.finishedToKeep not asked for
    std::optional<std::size_t> closedAt_;
    std::map<int, std::string> asked_;  // command id -> request
};

}  // namespace

PageRenderer::PageRenderer(std::unique_ptr<BrowserProcess> browser)
    : browser_(std::move(browser)), client_(browser_->ToBrowser(), browser_->FromBrowser()) {}

Result<std::unique_ptr<PageRenderer>, RenderFailure> PageRenderer::Start(
    const std::string& program, const std::vector<std::string>& switches) {
    // Off the record: the pages' cache and cookies are held in memory, so nothing of them is
    // written to the profile, which the browser's end would then have to remove.
    std::vector<std::string> offTheRecord = switches;
    offTheRecord.push_back("--incognito");
    Result<std::unique_ptr<BrowserProcess>> started = BrowserProcess::Start(program, offTheRecord);
    if (!started) {
        return RenderFailure{{started.Error().reason}, true};
    }
    return std::unique_ptr<PageRenderer>(new PageRenderer(std::move(*started)));
}

Result<RenderedPage, RenderFailure> PageRenderer::Read(const std::string& url,
                                                       const RenderOptions& options,
                                                       const IUrlCombiner& urlCombiner) {
    auto pageFailure = [](std::string why) { return RenderFailure{{std::move(why)}, false}; };
    auto browserFailure = [this](std::string why) {
        broken_ = true;
        std::string log = browser_->LastLogLine();
        return RenderFailure{{why + (log.empty() ? "" : " (" + log + ")")}, true};
    };
    if (broken_) {
        return RenderFailure{{"the browser failed on an earlier page"}, true};
    }
    RenderedPage rendered;
    PageLoad load;
    load.mostResourceBytes = options.fetch.maxResourceBytes;
    load.bytesLeftToKeep = options.fetch.maxPageBytes;
    client_.OnEvent([&](const Json& event) { load.Handle(event); });
    if (Result<std::unique_ptr<BrowserResponses>> made = BrowserResponses::Create()) {
        rendered.responses = std::move(*made);
    }  // else the resources are all fetched, as without a browser
    AnswerKeeper keeper(client_, load, rendered.responses.get());
    // The tab goes with the read, and with it whatever the page still runs.
    struct TabCloser {
        DevToolsClient& client;
        PageLoad& load;
        const bool& broken;
        ~TabCloser() {
            client.OnEvent({});
            if (load.frameId.empty() || broken) {
                return;
            }
            try {
                client.Call("Target.closeTarget", {{"targetId", load.frameId}}, "",
                            Clock::now() + kCommandTime);
            } catch (const DevToolsError&) {
                // A browser that fails here fails at its next command too, and says so there.
            }
        }
    } closer{client_, load, broken_};
    Json read;
    try {
        if (!answered_) {
            client_.Call("Target.getTargets", Json::object(), "", Clock::now() + kStartTime);
            answered_ = true;
        }
        load.frameId = client_
                           .Call("Target.createTarget", {{"url", "about:blank"}}, "",
                                 Clock::now() + kCommandTime)
                           .value("targetId", std::string());
        load.session = client_
                           .Call("Target.attachToTarget",
                                 {{"targetId", load.frameId}, {"flatten", true}}, "",
                                 Clock::now() + kCommandTime)
                           .value("sessionId", std::string());
        for (const char* domain : {"Page.enable", "Network.enable"}) {
            client_.Call(domain, Json::object(), load.session, Clock::now() + kCommandTime);
        }
        client_.Call("Page.addScriptToEvaluateOnNewDocument",
                     {{"source", std::string(kChromeObjectScript) + LastChangeScript()}},
                     load.session, Clock::now() + kCommandTime);
        Json navigated;
        try {
            navigated = client_.Call("Page.navigate", {{"url", RequestUrl(url)}}, load.session,
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
        for (bool settled = false; !settled && !rendered.timeLimitReached;) {
            while (!load.Settled(options.settleTime)) {
                if (Clock::now() >= limit) {
                    rendered.timeLimitReached = true;
                    break;
                }
                Clock::time_point wake = limit;
                if (load.loaded && load.inflight.empty()) {
                    wake = std::min(limit, load.lastChange + options.settleTime);
                }
                client_.WaitForEvent(wake);
                keeper.AskMore();
            }
            if (rendered.timeLimitReached) {
                break;
            }
            // The network is quiet; now the document. Whatever it loads meanwhile is waited
            // for in the next round.
            const Clock::time_point changed = load.lastChange;
            const auto most = std::max<Clock::duration>(
                Clock::duration::zero(),
                std::min<Clock::duration>(options.domWaitMost, limit - Clock::now()));
            client_.Call("Runtime.evaluate",
                         {{"expression", DomQuietExpression(options.domQuiet,
                                                            std::chrono::duration_cast<
                                                                std::chrono::milliseconds>(most))},
                          {"awaitPromise", true},
                          {"returnByValue", true}},
                         load.session, Clock::now() + most + kCommandTime);
            keeper.AskMore();
            settled = load.lastChange == changed && load.Settled(options.settleTime);
        }
        // What finished before the page was read is kept; what the browser does not give in
        // time is fetched instead.
        const Clock::time_point keepLimit = Clock::now() + kCommandTime;
        keeper.Close();
        for (keeper.AskMore(); !keeper.Done() && client_.WaitForEvent(keepLimit);) {
            keeper.AskMore();
        }

        Json evaluated = client_.Call(
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
            read["url"] = FrameAddress(client_, load.session);
        }
        if (rendered.responses) {
            Json cookies = client_.Call("Network.getAllCookies", Json::object(), load.session,
                                        Clock::now() + kCommandTime);
            rendered.responses->KeepCookies(cookies.value("cookies", Json::array()));
        }
    } catch (const DevToolsError& failure) {
        return browserFailure(failure.what());
    } catch (const Json::exception&) {
        return browserFailure("the browser's answer is not what was asked for");
    }

    ParsedLivePage parsed =
        ParseLivePage(read, [&](const std::string& pageUrl, const std::string& href) {
            return FetchStyleSheet(pageUrl, href, urlCombiner, options.fetch);
        });
    if (parsed.selectorRefused) {
        return pageFailure("cannot use the selector \"" + options.selector.value_or("") +
                           "\": " + parsed.error);
    }
    if (!parsed.page) {
        return RenderFailure{
            {"the browser's answer is not what was asked for: " + parsed.error}, true};
    }
    rendered.page = std::move(parsed.page);
    return rendered;
}

}  // namespace wisp
