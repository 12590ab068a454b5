#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

// What a site's robots.txt lets a program of a given name fetch: the group of rules that names
// the program (else the group for every program), Allow and Disallow by path prefix with "*"
// and a closing "$", the longest matching rule deciding and Allow winning a tie; and the
// pause that group asks between requests (Crawl-delay).
namespace wisp {

class RobotsRules {
public:
    // Rules for the program whose product token is `agent` ("Wisp"); a text that is not a
    // robots.txt (or none at all) forbids nothing.
    static RobotsRules Parse(std::string_view text, std::string_view agent);

    // Whether the path (with its query) may be fetched.
    bool Allows(std::string_view pathAndQuery) const;

    // The pause asked between two requests, at most a minute; zero when none is asked.
    std::chrono::milliseconds CrawlDelay() const { return crawlDelay_; }

private:
    struct Rule {
        std::string pattern;
        bool allow = false;
    };
    std::vector<Rule> rules_;
    std::chrono::milliseconds crawlDelay_{0};
};

}  // namespace wisp
