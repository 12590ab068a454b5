#pragma once

#include <string_view>

#include "core/capture/CaptureContext.h"
#include "core/capture/PageOrigin.h"
#include "core/platform/FileSystem.h"

// The last step of every capture: the saved page file.
namespace wisp {

// The meta line that follows the origin comment in every saved page, with no line break after
// it.
inline constexpr std::string_view kPageMetaText =
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">";

// Writes the origin comment, the meta line, the save time's META and the job's HTML, byte for
// byte, to `pagePath`, replacing any file there. A DOCTYPE that opens the HTML stays first,
// before them. True when the whole text was written; `written`, when given, then holds it.
bool WritePageFile(IFileSystem& files, const CCaptureContext& job, std::string_view pagePath,
                   const PageOrigin& origin, std::string* written = nullptr);

}  // namespace wisp
