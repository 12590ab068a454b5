#include "core/capture/RobotsRules.h"

#include <algorithm>
#include <optional>

#include "core/capture/SiteScope.h"
#include "core/text/AsciiCase.h"

namespace wisp {
namespace {

std::string_view Trimmed(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string_view::npos) {
        return {};
    }
    return text.substr(start, text.find_last_not_of(" \t\r") + 1 - start);
}

// Whether a User-agent line's value names the program: its product token, in any case, as
// "Wisp" or "Wisp/1.0".
bool NamesAgent(std::string_view value, std::string_view agent) {
    return StartsWithNoCase(value, agent) &&
           (value.size() == agent.size() || value[agent.size()] == '/');
}

// How specific a pattern is: its length without the "*" and "$" it holds.
std::size_t Specificity(std::string_view pattern) {
    std::size_t length = 0;
    for (char c : pattern) {
        length += c != '*' && c != '$';
    }
    return length;
}

bool Matches(std::string_view pattern, std::string_view path) {
    if (!pattern.empty() && pattern.back() == '$') {
        return MatchesGlob(pattern.substr(0, pattern.size() - 1), path, true);
    }
    return MatchesGlob(std::string(pattern) + "*", path, true);
}

bool AllDigits(std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "Crawl-delay: 2.5" in milliseconds, at most a minute; nullopt for a value that is no number.
std::optional<std::chrono::milliseconds> ParseDelay(std::string_view value) {
    const std::size_t point = value.find('.');
    const std::string_view whole = value.substr(0, point);
    const std::string_view part = point == std::string_view::npos ? "" : value.substr(point + 1);
    if ((whole.empty() && part.empty()) || !AllDigits(whole) || !AllDigits(part)) {
        return std::nullopt;
    }
    long long seconds = 0;
    for (char c : whole) {
        seconds = std::min(seconds * 10 + (c - '0'), 60LL);
    }
    long long thousandths = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        thousandths = thousandths * 10 + (i < part.size() ? part[i] - '0' : 0);
    }
    return std::chrono::milliseconds(std::min(seconds * 1000 + thousandths, 60'000LL));
}

}  // namespace

RobotsRules RobotsRules::Parse(std::string_view text, std::string_view agent) {
    // Rules of the groups that name the program, and of those for every program.
    std::vector<Rule> named;
    std::vector<Rule> anyone;
    std::optional<std::chrono::milliseconds> namedDelay;
    std::optional<std::chrono::milliseconds> anyoneDelay;
    bool groupNamesAgent = false;
    bool groupIsAnyone = false;
    bool inAgentLines = false;
    bool agentNamed = false;  // a group names the program: the groups for anyone do not apply
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        line = Trimmed(line.substr(0, line.find('#')));
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const std::string_view field = Trimmed(line.substr(0, colon));
        const std::string_view value = Trimmed(line.substr(colon + 1));
        if (EqualsNoCase(field, "user-agent")) {
            if (!inAgentLines) {
                groupNamesAgent = groupIsAnyone = false;
            }
            inAgentLines = true;
            groupNamesAgent = groupNamesAgent || NamesAgent(value, agent);
            agentNamed = agentNamed || groupNamesAgent;
            groupIsAnyone = groupIsAnyone || value == "*";
            continue;
        }
        inAgentLines = false;
        if (EqualsNoCase(field, "crawl-delay")) {
            if (std::optional<std::chrono::milliseconds> delay = ParseDelay(value)) {
                if (groupNamesAgent) {
                    namedDelay = delay;
                }
                if (groupIsAnyone) {
                    anyoneDelay = delay;
                }
            }
            continue;
        }
        const bool allow = EqualsNoCase(field, "allow");
        if (!allow && !EqualsNoCase(field, "disallow")) {
            continue;  // Sitemap and the like ask nothing of the rules
        }
        if (value.empty()) {
            continue;  // "Disallow:" with nothing forbids nothing
        }
        if (groupNamesAgent) {
            named.push_back({std::string(value), allow});
        }
        if (groupIsAnyone) {
            anyone.push_back({std::string(value), allow});
        }
    }
    RobotsRules rules;
    rules.rules_ = agentNamed ? std::move(named) : std::move(anyone);
    rules.crawlDelay_ =
        (agentNamed ? namedDelay : anyoneDelay).value_or(std::chrono::milliseconds(0));
    return rules;
}

bool RobotsRules::Allows(std::string_view pathAndQuery) const {
    const Rule* decisive = nullptr;
    for (const Rule& rule : rules_) {
        if (!Matches(rule.pattern, pathAndQuery)) {
            continue;
        }
        if (!decisive || Specificity(rule.pattern) > Specificity(decisive->pattern) ||
            (Specificity(rule.pattern) == Specificity(decisive->pattern) && rule.allow)) {
            decisive = &rule;
        }
    }
    return !decisive || decisive->allow;
}

}  // namespace wisp
