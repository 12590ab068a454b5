#include "posix/capture/BrowserResponses.h"

#include <fcntl.h>
#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "posix/capture/CurlFetch.h"
#include "posix/platform/FileDescriptor.h"
#include "posix/platform/PosixFiles.h"

namespace wisp {
namespace {

// The address as libcurl would send it, without its fragment: how the browser names it too.
std::string KeyOf(std::string_view url) {
    return RequestUrl(std::string(url.substr(0, url.find('#'))));
}

// One line of the cookie-file format libcurl reads (the Netscape format): domain, whether
// subdomains share it, path, secure, expiry, name, value; HttpOnly ones marked as libcurl
// marks them. A cookie whose fields would break the line is left out.
std::optional<std::string> CookieLine(const nlohmann::json& cookie) {
    if (!cookie.is_object()) {
        return std::nullopt;
    }
    const std::string domain = cookie.value("domain", std::string());
    const std::string path = cookie.value("path", std::string("/"));
    const std::string name = cookie.value("name", std::string());
    const std::string value = cookie.value("value", std::string());
    for (const std::string& field : {domain, path, name, value}) {
        if (field.find_first_of("\t\r\n") != std::string::npos) {
            return std::nullopt;
        }
    }
    if (domain.empty() || name.empty()) {
        return std::nullopt;
    }
    const double expires = cookie.value("expires", -1.0);
    // A domain cookie is named with its leading dot; a host's own has none.
    const bool shared = domain.front() == '.';
    return std::string(cookie.value("httpOnly", false) ? "#HttpOnly_" : "") + domain + '\t' +
           (shared ? "TRUE" : "FALSE") + '\t' + path + '\t' +
           (cookie.value("secure", false) ? "TRUE" : "FALSE") + '\t' +
           std::to_string(expires > 0 ? static_cast<long long>(expires) : 0) + '\t' + name +
           '\t' + value + '\n';
}

// A file of the temporary folder, written once; not flushed to disk, as it lives no longer
// than the command.
bool WriteNewFile(const std::string& path, std::string_view content) {
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    return file.get() >= 0 && WriteAll(file.get(), content) && file.Close();
}

}  // namespace

Result<std::unique_ptr<BrowserResponses>> BrowserResponses::Create() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/wisp-loaded-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        return Failure{std::string("cannot make a folder for what the browser loaded: ") +
                       std::strerror(errno)};
    }
    return std::unique_ptr<BrowserResponses>(new BrowserResponses(pattern));
}

BrowserResponses::~BrowserResponses() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool BrowserResponses::Add(const std::string& url, std::string_view body) {
    std::string key = KeyOf(url);
    if (files_.count(key) != 0) {
        return true;
    }
    std::string file = folder_ + "/" + std::to_string(files_.size());
    if (!WriteNewFile(file, body)) {
        return false;
    }
    files_.emplace(std::move(key), std::move(file));
    return true;
}

std::optional<std::string> BrowserResponses::FileOf(std::string_view url) const {
    auto found = files_.find(KeyOf(url));
    return found == files_.end() ? std::nullopt : std::optional<std::string>(found->second);
}

void BrowserResponses::KeepCookies(const nlohmann::json& cookies) {
    std::string lines = "# Netscape HTTP Cookie File\n";
    bool any = false;
    for (const nlohmann::json& cookie : cookies) {
        if (std::optional<std::string> line = CookieLine(cookie)) {
            lines += *line;
            any = true;
        }
    }
    const std::string file = folder_ + "/cookies.txt";
    // Without its cookie file a fetch still runs, only without the browser's cookies.
    if (any && WriteNewFile(file, lines)) {
        cookieFile_ = file;
    }
}

}  // namespace wisp
