#include "core/capture/PageWriter.h"

#include <string>

namespace wisp {

bool WritePageFile(IFileSystem& files, const CCaptureContext& job, std::string_view pagePath) {
    std::string text;
    text.reserve(kPageMetaText.size() + job.Html().size());
    text += kPageMetaText;
    text += job.Html();
    return files.WriteWholeFile(pagePath, text);
}

}  // namespace wisp
