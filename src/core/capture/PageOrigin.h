#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// Where a saved page came from and when it was saved, written at its top in the forms browsers
// and other tools already read: the "saved from url" comment browsers write into a page they
// save, and a META that holds the time.
namespace wisp {

struct PageOrigin {
    std::string url;      // empty for a page that came with no address (a paste)
    std::string savedAt;  // UTC, as "2026-12-07T04:15:38Z"
};

// The time in the form the record holds it.
std::string FormatSaveTime(std::chrono::system_clock::time_point time);

// The comment with its line end, empty without an address. The address is written with the
// characters that would end the comment or the address percent-encoded, behind its length in
// UTF-16 units, four digits at least.
std::string OriginCommentText(std::string_view url);

// The META that holds the save time.
std::string SaveTimeMetaText(std::string_view savedAt);

// The record at the top of a saved page; nullopt when the page holds neither part. A page
// saved by a browser carries the comment alone.
std::optional<PageOrigin> ReadPageOrigin(std::string_view page);

}  // namespace wisp
