#include "core/builder/BookContentFiles.h"

#include "core/builder/FolderDescent.h"
#include "core/builder/SiteMapPages.h"
#include "core/library/LibraryNaming.h"

namespace wisp {
namespace {

class ContentCollector {
public:
    ContentCollector(const IFileSystem& files, std::vector<std::string>& found)
        : files_(files), found_(found) {}

    void Collect(std::string_view folder, std::string_view relative, bool inCompanion,
                 FolderDescent descent) {
        auto entries = ListBookFolder(files_, folder);
        if (!entries) {
            return;
        }
        for (const FolderEntry& entry : *entries) {
            if (entry.name.find_first_of("\r\n") != std::string::npos) {
                continue;
            }
            std::string path = JoinPath(folder, entry.name);
            std::string relativePath =
                relative.empty() ? entry.name : JoinPath(relative, entry.name);
            if (entry.isFolder) {
                if (descent.Enters(entry)) {
                    Collect(path, relativePath, inCompanion || IsCompanionFolder(entry.name),
                            descent.Into(entry));
                }
            } else if (inCompanion || IsPageFile(entry.name) || IsSiteMapPage(entry.name)) {
                found_.push_back(std::move(relativePath));
            }
        }
    }

private:
    const IFileSystem& files_;
    std::vector<std::string>& found_;
};

}  // namespace

std::vector<std::string> ListBookContentFiles(const IFileSystem& files,
                                              std::string_view builtFolder) {
    std::vector<std::string> found;
    ContentCollector(files, found).Collect(builtFolder, "", false, FolderDescent{});
    return found;
}

}  // namespace wisp
