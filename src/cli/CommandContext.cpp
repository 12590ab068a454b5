#include "cli/CommandContext.h"

#include <nlohmann/json.hpp>

#include "core/library/LibraryStore.h"

namespace wisp::cli {

std::string CommandContext::LibraryRoot() const {
    if (std::optional<std::string> root = command.Value("root")) {
        if (root->empty()) {
            throw UsageFailure("--root needs a folder");
        }
        return *root;
    }
    std::string root = GetLibraryRoot(settings, module);
    if (root.empty()) {
        throw CommandFailure("no library root is set and no home folder is known");
    }
    return root;
}

void CommandContext::Warn(std::string_view text) const {
    if (!Quiet()) {
        err << "wisp: warning: " << text << "\n";
    }
}

void CommandContext::WriteJson(const nlohmann::json& document) const {
    // Names read from disk may not be UTF-8; they are written with replacement characters.
    out << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

void CommandContext::Note(std::string_view text) const {
    if (!Quiet()) {
        err << "wisp: note: " << text << "\n";
    }
}

bool CommandContext::OnDefaultRoot() const {
    return !command.Has("root") && !ReadLibraryRoot(settings);
}

}  // namespace wisp::cli
