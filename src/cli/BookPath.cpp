#include "cli/BookPath.h"

namespace wisp::cli {

std::optional<std::vector<std::string>> SplitBookPath(std::string_view path) {
    if (path.starts_with('/')) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    while (!path.empty()) {
        std::size_t slash = path.find('/');
        std::string_view step = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (step == "..") {
            return std::nullopt;
        }
        if (!step.empty() && step != ".") {
            names.emplace_back(step);
        }
    }
    return names;
}

}  // namespace wisp::cli
