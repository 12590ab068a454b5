#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The other modules a JavaScript module loads: the specifiers of its `import ... from`,
// `import "..."` and `export ... from` statements and of its `import("...")` calls with a
// plain string. Comments, strings, template literals and regular expressions are read as
// such, so an import written inside one is not taken.
namespace wisp {

// The type of a SCRIPT's start tag, as a browser compares it: without the spaces around it,
// in lower case; empty when it has none.
std::string ScriptType(std::string_view tagText);

// The tag (a SCRIPT's start tag) loads a module: its type is "module".
bool IsModuleScript(std::string_view tagText);

// The module's text with each specifier that names a file (starting "/", "./" or "../",
// or a web address) replaced by what `rewrite` gives for it; a bare name ("lodash"), which
// only an import map resolves, and a nullopt answer keep theirs.
std::string RewriteModuleSpecifiers(
    std::string_view source,
    const std::function<std::optional<std::string>(std::string_view specifier)>& rewrite);

}  // namespace wisp
