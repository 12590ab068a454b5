#include "posix/platform/RegFile.h"

#include <algorithm>

#include "core/text/AsciiCase.h"

namespace wisp {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";

std::string_view TrimLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    return line;
}

// Reads a quoted string at the start of `text`; on success `text` continues after it.
std::optional<std::string> ReadQuoted(std::string_view& text) {
    if (text.empty() || text.front() != '"') {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == text.size()) {
            return std::nullopt;
        }
        switch (text[i]) {
            case '\\':
                out += '\\';
                break;
            case '"':
                out += '"';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case '0':
                out += '\0';
                break;
            default:
                return std::nullopt;
        }
    }
    return std::nullopt;
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\0':
                out += "\\0";
                break;
            default:
                out += c;
        }
    }
    out += '"';
}

}  // namespace

const RegValue* RegFile::Find(std::string_view keyPath, std::string_view valueName) const {
    for (const RegKey& key : keys) {
        if (!EqualsNoCase(key.path, keyPath)) {
            continue;
        }
        for (const RegValue& value : key.values) {
            if (EqualsNoCase(value.name, valueName)) {
                return &value;
            }
        }
    }
    return nullptr;
}

void RegFile::Set(std::string_view keyPath, std::string_view valueName, std::string_view data) {
    auto key = std::find_if(keys.begin(), keys.end(),
                            [&](const RegKey& k) { return EqualsNoCase(k.path, keyPath); });
    if (key == keys.end()) {
        keys.push_back(RegKey{std::string(keyPath), {}});
        key = keys.end() - 1;
    }
    for (RegValue& value : key->values) {
        if (EqualsNoCase(value.name, valueName)) {
            value.data = data;
            return;
        }
    }
    key->values.push_back(RegValue{std::string(valueName), std::string(data)});
}

ParsedRegFile ParseRegFile(std::string_view text) {
    ParsedRegFile parsed;
    RegFile& file = parsed.file;
    bool sawHeader = false;
    // A value outside any key that could be read has nowhere to go, as a line after a key
    // that could not be read.
    bool inKey = false;
    std::size_t number = 0;
    auto bad = [&] {
        if (!parsed.badLine) {
            parsed.badLine = number;
        }
    };
    while (!text.empty()) {
        ++number;
        std::size_t end = text.find('\n');
        std::string_view line = TrimLineEnd(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (!sawHeader) {
            if (line != kHeader) {
                bad();
                return parsed;
            }
            sawHeader = true;
            continue;
        }
        if (line.front() == '[') {
            inKey = line.back() == ']' && line.size() >= 3;
            if (!inKey) {
                bad();
                continue;
            }
            std::string_view path = line.substr(1, line.size() - 2);
            auto existing = std::find_if(file.keys.begin(), file.keys.end(), [&](const RegKey& k) {
                return EqualsNoCase(k.path, path);
            });
            if (existing == file.keys.end()) {
                file.keys.push_back(RegKey{std::string(path), {}});
            } else {
                // A key written twice continues where it stands, so Set finds one copy.
                std::rotate(existing, existing + 1, file.keys.end());
            }
            continue;
        }
        if (!inKey) {
            bad();
            continue;
        }
        std::string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else {
            std::optional<std::string> quotedName = ReadQuoted(line);
            if (!quotedName) {
                bad();
                continue;
            }
            name = std::move(*quotedName);
        }
        if (line.empty() || line.front() != '=') {
            bad();
            continue;
        }
        line.remove_prefix(1);
        std::optional<std::string> data = ReadQuoted(line);
        if (!data || !line.empty()) {
            bad();
            continue;
        }
        file.Set(file.keys.back().path, name, *data);
    }
    if (!sawHeader && number > 0) {
        bad();
    }
    return parsed;
}

std::string FormatRegFile(const RegFile& file) {
    std::string out(kHeader);
    out += "\n";
    for (const RegKey& key : file.keys) {
        out += "\n[";
        out += key.path;
        out += "]\n";
        for (const RegValue& value : key.values) {
            if (value.name.empty()) {
                out += '@';
            } else {
                AppendQuoted(out, value.name);
            }
            out += '=';
            AppendQuoted(out, value.data);
            out += '\n';
        }
    }
    return out;
}

}  // namespace wisp
