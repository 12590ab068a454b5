#pragma once

#include "posix/support/LoopbackServer.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>

// An HTTP server on 127.0.0.1 (port chosen by the system) for the tests: serves a folder of
// files and pages added in the test, and counts requests.
namespace wisp::test {

class LoopbackSite {
public:
    explicit LoopbackSite(std::filesystem::path folder = {}) : folder_(std::move(folder)) {
        server_.Routes().Get(".*",
                             [this](const httplib::Request& request, httplib::Response& response) {
                                 Answer(request, response);
                             });
        started_ = server_.Start();
    }
    LoopbackSite(const LoopbackSite&) = delete;
    LoopbackSite& operator=(const LoopbackSite&) = delete;

    bool Started() const { return started_; }
    std::string Url(const std::string& path = "/") const { return server_.Url(path); }

    // A page or file served at `path` (before the folder is looked at).
    void Add(const std::string& path, std::string body, std::string contentType = "text/html",
             int status = 200) {
        std::lock_guard<std::mutex> lock(mutex_);
        routes_[path] = Route{std::move(body), std::move(contentType), status};
    }

    // A file served only to a request that carries the cookie `cookie` ("name=value"); others
    // are answered 403.
    void AddForCookie(const std::string& path, const std::string& cookie, std::string body,
                      std::string contentType) {
        Add(path, std::move(body), std::move(contentType));
        std::lock_guard<std::mutex> lock(mutex_);
        cookieOf_[path] = cookie;
    }

    // An address whose answer never comes while the site lives (a stalled server).
    void AddStalled(const std::string& path) {
        std::lock_guard<std::mutex> lock(mutex_);
        stalled_.insert(path);
    }
    int StalledRequests() const { return stalledRequests_; }

    ~LoopbackSite() { closing_ = true; }

    int Requests() const { return requests_; }
    // Every answer waits this long first, so that requests made together overlap.
    void SetLatency(std::chrono::milliseconds latency) { latency_ = latency; }
    // The most requests answered at once so far.
    int MostAtOnce() const { return mostAtOnce_; }
    int RequestsFor(const std::string& path) {
        std::lock_guard<std::mutex> lock(mutex_);
        return requestsFor_[path];
    }

private:
    struct Route {
        std::string body;
        std::string contentType;
        int status = 200;
    };

    static std::string ContentTypeOf(const std::filesystem::path& file) {
        static const std::map<std::string, std::string> types = {
            {".html", "text/html; charset=utf-8"}, {".htm", "text/html"}, {".css", "text/css"},
            {".js", "application/javascript"},     {".png", "image/png"}, {".gif", "image/gif"},
            {".zip", "application/zip"},
        };
        auto found = types.find(file.extension().string());
        return found == types.end() ? "application/octet-stream" : found->second;
    }

    static bool CarriesCookie(const httplib::Request& request, const std::string& cookie) {
        const std::string sent = "; " + request.get_header_value("Cookie") + ";";
        return sent.find("; " + cookie + ";") != std::string::npos;
    }

    void Answer(const httplib::Request& request, httplib::Response& response) {
        ++requests_;
        const int atOnce = ++atOnce_;
        for (int most = mostAtOnce_;
             atOnce > most && !mostAtOnce_.compare_exchange_weak(most, atOnce);) {
        }
        struct Leaving {
            std::atomic<int>& atOnce;
            ~Leaving() { --atOnce; }
        } leaving{atOnce_};
        std::this_thread::sleep_for(latency_.load());
        bool stall = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++requestsFor_[request.path];
            stall = stalled_.count(request.path) > 0;
            auto guarded = cookieOf_.find(request.path);
            if (guarded != cookieOf_.end() && !CarriesCookie(request, guarded->second)) {
                response.status = 403;
                response.set_content("not signed in", "text/plain");
                return;
            }
        }
        if (stall) {
            ++stalledRequests_;
            for (int waited = 0; !closing_ && waited < 600; ++waited) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            response.status = 504;
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto found = routes_.find(request.path);
            if (found != routes_.end()) {
                response.status = found->second.status;
                response.set_content(found->second.body, found->second.contentType.c_str());
                return;
            }
        }
        std::filesystem::path file = folder_ / request.path.substr(1);
        if (folder_.empty() || request.path.find("..") != std::string::npos ||
            !std::filesystem::is_regular_file(file)) {
            response.status = 404;
            response.set_content("not found", "text/plain");
            return;
        }
        std::ifstream in(file, std::ios::binary);
        std::ostringstream body;
        body << in.rdbuf();
        response.set_content(body.str(), ContentTypeOf(file).c_str());
    }

    std::filesystem::path folder_;
    std::mutex mutex_;
    std::map<std::string, Route> routes_;
    std::set<std::string> stalled_;
    std::map<std::string, std::string> cookieOf_;
    std::map<std::string, int> requestsFor_;
    std::atomic<int> requests_{0};
    std::atomic<int> atOnce_{0};
    std::atomic<int> mostAtOnce_{0};
    std::atomic<std::chrono::milliseconds> latency_{std::chrono::milliseconds(0)};
    std::atomic<int> stalledRequests_{0};
    std::atomic<bool> closing_{false};
    // Last, so that the server stops answering before the rest goes.
    LoopbackServer server_;
    bool started_ = false;
};

}  // namespace wisp::test
