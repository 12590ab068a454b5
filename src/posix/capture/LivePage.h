#pragma once

#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "core/platform/UrlCombiner.h"
#include "posix/capture/LoadedPage.h"

// The live page (the document as a browser shows it, after its scripts ran) read back from
// what extension/serialize.js answers, the one serialisation the extension and the rendering
// reader both run: the keys are listed there. The markup is brought to the form the static
// reader writes, and the DOCTYPE is listed as a browser's "all" collection lists it, as a "!"
// element before the root.
namespace wisp {

struct ParsedLivePage {
    std::unique_ptr<LoadedPage> page;
    std::string error;             // why there is no page: a key of the wrong type
    bool selectorRefused = false;  // the error is the page's reason to refuse the selector
};

// The text of a style sheet the page could not read, fetched from `href` (relative to
// `pageUrl`); nullopt when it cannot be had.
using StyleSheetFetch =
    std::function<std::optional<std::string>(const std::string& pageUrl, const std::string& href)>;

ParsedLivePage ParseLivePage(const nlohmann::json& serialised, const StyleSheetFetch& fetch);
// The same, fetching an unreadable sheet over the network.
ParsedLivePage ParseLivePage(const nlohmann::json& serialised, const IUrlCombiner& urlCombiner);

}  // namespace wisp
