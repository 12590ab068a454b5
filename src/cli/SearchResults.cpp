#include "cli/SearchResults.h"

#include "cli/CommandContext.h"
#include "core/app/Outcome.h"
#include "posix/search/MatchSnippet.h"

namespace wisp::cli {
namespace {

// The snippet's pieces between its marks; plain text first, so every second piece matched.
std::vector<std::string> SnippetPieces(const std::string& snippet) {
    std::vector<std::string> pieces(1);
    for (char c : snippet) {
        if (c == kMatchOpen || c == kMatchClose) {
            if ((c == kMatchOpen) == (pieces.size() % 2 == 1)) {
                pieces.emplace_back();
            }
        } else {
            pieces.back() += c;
        }
    }
    return pieces;
}

}  // namespace

std::vector<SearchHit> SearchLibrary(LibraryIndex& index, const SearchRequest& request) {
    try {
        index.Refresh();
        return index.Search(request);
    } catch (const QueryError& refused) {
        throw CommandFailure(refused.what());
    } catch (const std::runtime_error& failure) {
        throw CommandFailure("the search index " + Quoted(index.File()) + " failed: " +
                             failure.what());
    }
}

nlohmann::json HitsJson(const std::vector<SearchHit>& hits, const std::string& root) {
    nlohmann::json list = nlohmann::json::array();
    for (const SearchHit& hit : hits) {
        std::size_t slash = hit.path.find('/');
        nlohmann::json entry{{"path", hit.path},
                             {"book", hit.path.substr(0, slash)},
                             {"page", hit.path.substr(slash + 1)},
                             {"title", hit.title},
                             {"snippet", SnippetPieces(hit.snippet)},
                             {"file", root + "/" + hit.path}};
        if (!hit.sourceUrl.empty()) {
            entry["url"] = hit.sourceUrl;
        }
        if (!hit.savedDate.empty()) {
            entry["saved"] = hit.savedDate;
        }
        list.push_back(std::move(entry));
    }
    return list;
}

void WriteHitsText(std::ostream& out, const std::vector<SearchHit>& hits, bool bold) {
    for (const SearchHit& hit : hits) {
        out << hit.path << ": " << hit.title << "\n    ";
        std::vector<std::string> pieces = SnippetPieces(hit.snippet);
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            bool match = i % 2 == 1;
            out << (match && bold ? "\x1b[1m" : "") << pieces[i] << (match && bold ? "\x1b[0m" : "");
        }
        out << "\n";
    }
}

}  // namespace wisp::cli
