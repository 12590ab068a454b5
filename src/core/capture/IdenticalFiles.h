#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/platform/FileLinker.h"
#include "core/platform/FileSystem.h"
#include "core/platform/ForwardingFileSystem.h"

// Files of equal content under several pages' companion folders stored once: every copy after
// the first becomes a link to it, where the file system allows; each page keeps its own names.
namespace wisp {

// Links the identical files found in `folders` and below; how many became links.
std::size_t StoreIdenticalFilesOnce(IFileSystem& files, IFileLinker& linker,
                                    const std::vector<std::string>& folders);

// The writes of a long run of saves in which many files come out alike (a site's shared style
// sheets, rewritten the same for each page): a file whose content was written before becomes
// a link to a copy of the earlier one kept in `store`, so that the copies cost no new file.
class IdenticalWritesFileSystem final : public ForwardingFileSystem {
public:
    // `store` is a folder of this object's own, on the same file system as the files. The
    // files directly in `pagesFolder` are pages, each unlike any other: written as they are.
    IdenticalWritesFileSystem(IFileSystem& files, IFileLinker& linker, std::string store,
                              std::string pagesFolder = {})
        : ForwardingFileSystem(files),
          linker_(linker),
          store_(std::move(store)),
          pagesFolder_(std::move(pagesFolder)) {}

    bool WriteWholeFile(std::string_view path, std::string_view content, bool hidden) override;

    // How many writes became links.
    std::size_t Linked() const { return linked_; }

private:
    struct Kept {
        std::string path;
        std::optional<std::string> content;  // held while the budget lasts, else read back
    };

    IFileLinker& linker_;
    std::string store_;
    std::string pagesFolder_;
    std::unordered_map<std::size_t, std::vector<Kept>> keptOfHash_;
    std::size_t heldBytes_ = 0;
    std::size_t kept_ = 0;
    std::size_t linked_ = 0;
};

}  // namespace wisp
