#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/builder/OutsideLinks.h"
#include "core/capture/PageOrigin.h"
#include "core/platform/NativePorts.h"
#include "support/TempFolder.h"

namespace wisp {
namespace {

// A page of the book "Lib/Book" in its chapter "Chapter", built alone, links to its book's
// other pages and beyond.
TEST(OutsideLinks, APageOfTheBookOutsideTheFolderIsReachedAtItsSourceAddress) {
    test::TempFolder temp;
    auto page = [](const std::string& url) {
        return "<!DOCTYPE html>" + OriginCommentText(url) + "<p>page</p>";
    };
    temp.MakeFile("Lib/Book/Chapter/From.htm", page("https://example.org/from"));
    temp.MakeFile("Lib/Book/Chapter/Sub/In.htm", page("https://example.org/in"));
    temp.MakeFile("Lib/Book/Other.htm", page("https://example.org/other"));
    temp.MakeFile("Lib/Book/Pasted.htm", "<p>pasted, no address</p>");
    temp.MakeFile("Lib/Book/Script.htm", page("javascript:alert(1)"));
    temp.MakeFile("Lib/Book/Notes.txt", page("https://example.org/notes"));
    temp.MakeFile("Lib/Secret.htm", page("https://example.org/secret"));
    std::string root = temp.Path("Lib");
    for (char& c : root) {
        c = c == '\\' ? '/' : c;
    }
    const std::string fileUrl = "file://" + std::string(root.starts_with('/') ? "" : "/") + root;

    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"../Other.htm", "https://example.org/other"},
        {" ..\\Other%2Ehtm?v=1#part ", "https://example.org/other#part"},
        {fileUrl + "/Book/Other.htm#part", "https://example.org/other#part"},
        // Inside the built folder the build's own rule holds.
        {"Sub/In.htm", std::nullopt},
        {"Sub/../From.htm#top", std::nullopt},
        // No web address recorded, no such page, no page at all.
        {"../Pasted.htm", std::nullopt},
        {"../Script.htm", std::nullopt},
        {"../Missing.htm", std::nullopt},
        {"../Notes.txt", std::nullopt},
        // Out of the book, however the link gets there.
        {"../../Secret.htm", std::nullopt},
        {"../../../../../../../../../../Secret.htm", std::nullopt},
        {fileUrl + "/Secret.htm", std::nullopt},
        {"file://host" + fileUrl.substr(7) + "/Book/Other.htm", std::nullopt},
        {"https://example.org/other", std::nullopt},
    };
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    OutsideLinks outside(*files, temp.Path("Lib/Book"), temp.Path("Lib/Book/Chapter"));
    for (const auto& [reference, address] : cases) {
        EXPECT_EQ(outside.SourceAddress(temp.Path("Lib/Book/Chapter/From.htm"), reference), address)
            << reference;
    }
    // A whole book's build sends no link out of it.
    OutsideLinks whole(*files, temp.Path("Lib/Book"), temp.Path("Lib/Book"));
    EXPECT_EQ(whole.SourceAddress(temp.Path("Lib/Book/Chapter/From.htm"), "../Other.htm"),
              std::nullopt);
}

}  // namespace
}  // namespace wisp
