#include "core/builder/BuildFile.h"

namespace wisp {

bool WriteBuildFile(IFileSystem& files, std::string_view path, std::string_view text) {
    std::size_t chm = path.find(".chm");
    bool compiledFile = chm != std::string_view::npos && chm > 0;
    return files.WriteWholeFile(path, text, /*hidden=*/!compiledFile);
}

}  // namespace wisp
