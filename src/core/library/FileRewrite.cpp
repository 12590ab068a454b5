#include "core/library/FileRewrite.h"

namespace wisp {

bool RewriteFile(IFileSystem& files, const std::string& path,
                 const std::function<std::string(const std::string&)>& rewrite) {
    // Each try follows a write by someone else; a file written over and over by others is
    // left to them.
    constexpr int kTries = 4;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        std::optional<std::string> text = files.ReadWholeFile(path);
        if (!text) {
            return false;
        }
        std::string rewritten = rewrite(*text);
        if (rewritten == *text || files.ReplaceFileIfUnchanged(path, *text, rewritten)) {
            return true;
        }
    }
    return false;
}

}  // namespace wisp
