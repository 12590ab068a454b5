#include "core/capture/ImportMaps.h"

#include "core/capture/ModuleImports.h"

namespace wisp {

bool IsImportMapScript(std::string_view tagText) {
    return ScriptType(tagText) == "importmap";
}

std::string RewriteImportMapAddresses(
    std::string_view json,
    const std::function<std::optional<std::string>(std::string_view address)>& rewrite) {
    std::string out;
    std::size_t copied = 0;
    int depth = 0;
    bool value = false;        // the next string is a member's value, not its name
    std::string_view section;  // the name of the top object's member being read
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '"') {
            const std::size_t start = i + 1;
            bool escaped = false;
            std::size_t end = start;
            for (; end < json.size() && json[end] != '"'; ++end) {
                if (json[end] == '\\') {
                    escaped = true;
                    ++end;
                }
            }
            if (end >= json.size()) {
                break;  // a string never closed: the rest is left as it is
            }
            const std::string_view text = json.substr(start, end - start);
            if (!value && depth == 1) {
                section = text;
            } else if (value && depth >= 2 && (section == "imports" || section == "scopes") &&
                       !escaped && !text.empty() && text.back() != '/') {
                if (std::optional<std::string> written = rewrite(text)) {
                    out.append(json, copied, start - copied);
                    out += *written;
                    copied = end;
                }
            }
            value = false;
            i = end;
        } else if (c == ':') {
            value = true;
        } else if (c == '{') {
            ++depth;
            value = false;
        } else if (c == '}') {
            --depth;
        } else if (c == ',') {
            value = false;
        }
    }
    out.append(json, copied, std::string_view::npos);
    return out;
}

}  // namespace wisp
