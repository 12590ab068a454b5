#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "posix/platform/Result.h"

// What the browser loaded for a page, kept for the saving of its resources: each answer's body
// in a file of a temporary folder (a page of thousands of resources is not held in memory), and
// the cookies the browser holds in a cookie file libcurl reads, for what is fetched
// beside them. The folder goes with the object.
namespace wisp {

class BrowserResponses {
public:
    // A folder under TMPDIR (else /tmp).
    static Result<std::unique_ptr<BrowserResponses>> Create();
    ~BrowserResponses();
    BrowserResponses(const BrowserResponses&) = delete;
    BrowserResponses& operator=(const BrowserResponses&) = delete;

    // Keeps `body` as what `url` answered; the first answer of an address stays. False when it
    // cannot be written (the address is then fetched again, as if the browser had not loaded it).
    bool Add(const std::string& url, std::string_view body);

    // The file holding what `url` answered, its fragment aside; nullopt when the browser did
    // not load it.
    std::optional<std::string> FileOf(std::string_view url) const;

    // Writes the cookies as the protocol lists them (Network.getAllCookies) to the cookie file.
    void KeepCookies(const nlohmann::json& cookies);
    // The cookie file; empty when the browser holds no cookies.
    const std::string& CookieFile() const { return cookieFile_; }

    std::size_t Count() const { return files_.size(); }

private:
    explicit BrowserResponses(std::string folder) : folder_(std::move(folder)) {}

    std::string folder_;
    std::map<std::string, std::string, std::less<>> files_;  // address -> file
    std::string cookieFile_;
};

}  // namespace wisp
