#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <utility>

#include "core/capture/IdenticalFiles.h"
#include "core/platform/NativePorts.h"
#include "support/TempFolder.h"

// Files of a crawl's companion folders with equal bytes stored once, and only those.
namespace wisp {
namespace {

// Links kept in memory: each path is a file of its own until linked to another's.
class MemoryLinker final : public IFileLinker {
public:
    explicit MemoryLinker(const IFileSystem& files) : files_(files) {}
    bool LinkFile(std::string_view existing, std::string_view link) override {
        node_[std::string(link)] = NodeOf(existing);
        links.emplace_back(existing, link);
        return true;
    }
    std::optional<LinkedFile> Identify(std::string_view path) const override {
        std::optional<std::string> content = files_.ReadWholeFile(path);
        if (!content) {
            return std::nullopt;
        }
        return LinkedFile{1, NodeOf(path), content->size()};
    }
    std::vector<std::pair<std::string, std::string>> links;

private:
    std::uint64_t NodeOf(std::string_view path) const {
        auto found = node_.find(std::string(path));
        return found != node_.end() ? found->second : std::hash<std::string_view>{}(path);
    }
    const IFileSystem& files_;
    std::map<std::string, std::uint64_t> node_;
};

TEST(IdenticalFiles, OnlyEqualBytesAreLinkedAndFilesLinkedAlreadyAreLeft) {
    test::TempFolder temp;
    const std::string a = temp.MakeFile("a.files/x.css", "p { color: red }");
    const std::string b = temp.MakeFile("b.files/x.css", "p { color: red }");
    temp.MakeFile("b.files/y.css", "P { COLOR: RED }");  // as long, other bytes
    const std::string c = temp.MakeFile("c.files/deep/z.css", "p { color: red }");
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    MemoryLinker linker(*files);
    linker.LinkFile(a, c);  // linked by the crawl as it saved them
    linker.links.clear();

    EXPECT_EQ(
        StoreIdenticalFilesOnce(*files, linker,
                                {temp.Path("a.files"), temp.Path("b.files"), temp.Path("c.files")}),
        1u);
    EXPECT_EQ(linker.links, (std::vector<std::pair<std::string, std::string>>{{a, b}}));
}

}  // namespace
}  // namespace wisp
