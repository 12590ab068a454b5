#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The pages of a library as its books' trees show them, with what tells a changed file: its
// size and modification time, read without opening it.
namespace wisp {

struct ScannedPage {
    std::string path;  // below the root, "/" between names: "Book/Folder/Page.htm"
    std::int64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since the epoch
};

// Every page of every book (each folder of the root is a book), or only those at or below
// `under` (a path below the root as above); companion folders are not entered. Folder links
// are followed, but never back into a folder of their own way down.
std::vector<ScannedPage> ScanPages(const std::string& root, std::string_view under = {});

}  // namespace wisp
