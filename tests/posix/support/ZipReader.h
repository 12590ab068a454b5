#pragma once

#include <zip.h>

#include <string>
#include <vector>

// The entries of an EPUB book as a reader's zip library sees them.
namespace wisp::test {

struct ZipEntry {
    std::string name;
    std::string content;
    bool stored = false;
};

// Every entry of a zip file in its order; empty when it cannot be opened.
inline std::vector<ZipEntry> ReadZip(const std::string& path) {
    std::vector<ZipEntry> entries;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, nullptr);
    if (!zip) {
        return entries;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &stat);
        ZipEntry entry{stat.name, std::string(stat.size, '\0'), stat.comp_method == ZIP_CM_STORE};
        if (zip_file_t* file = zip_fopen_index(zip, static_cast<zip_uint64_t>(i), 0)) {
            zip_fread(file, entry.content.data(), stat.size);
            zip_fclose(file);
        }
        entries.push_back(std::move(entry));
    }
    zip_discard(zip);
    return entries;
}

// The book's "urn:uuid:" identifier as its package names it; empty when there is none.
inline std::string Identifier(const std::vector<ZipEntry>& entries) {
    for (const ZipEntry& entry : entries) {
        if (entry.name == "EPUB/package.opf") {
            std::size_t start = entry.content.find("urn:uuid:");
            return start == std::string::npos ? "" : entry.content.substr(start, 45);
        }
    }
    return "";
}

}  // namespace wisp::test
