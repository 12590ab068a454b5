#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// A page's import map (a SCRIPT of type "importmap"): the addresses its bare module names
// ("vue", "lodash") stand for. Saved with the page, those addresses lead to the page's own
// copies, so its modules load offline under the names they import.
namespace wisp {

// The tag (a SCRIPT's start tag) holds an import map: its type is "importmap".
bool IsImportMapScript(std::string_view tagText);

// The map's JSON text with each address of its "imports" and "scopes" replaced by what
// `rewrite` gives for it. Kept: the names mapped, an address that stands for a folder (ending
// in "/"), one written with escapes, the "integrity" list, and a nullopt answer.
std::string RewriteImportMapAddresses(
    std::string_view json,
    const std::function<std::optional<std::string>(std::string_view address)>& rewrite);

}  // namespace wisp
