#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text form of a settings file: keys in file order, each with its string values.
namespace wisp {

struct RegValue {
    std::string name;  // empty for the key's default value ("@")
    std::string data;
};

struct RegKey {
    std::string path;  // hive name, a backslash and the key path
    std::vector<RegValue> values;
};

struct RegFile {
    std::vector<RegKey> keys;

    const RegValue* Find(std::string_view keyPath, std::string_view valueName) const;
    void Set(std::string_view keyPath, std::string_view valueName, std::string_view data);
};

// What a REGEDIT4 file of keys and string values holds: everything that could be read, and
// the number of its first line that could not, if any (lines count from 1; a file that does
// not start as such a file yields nothing).
struct ParsedRegFile {
    RegFile file;
    std::optional<std::size_t> badLine;
};
ParsedRegFile ParseRegFile(std::string_view text);
std::string FormatRegFile(const RegFile& file);

}  // namespace wisp
