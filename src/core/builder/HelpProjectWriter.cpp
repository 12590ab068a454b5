#include "core/builder/HelpProjectWriter.h"

#include <algorithm>

#include "core/builder/FolderDescent.h"
#include "core/builder/SiteMapPages.h"
#include "core/builder/SiteMapText.h"
#include "core/library/LibraryNaming.h"
#include "core/library/PathLimits.h"
#include "core/platform/PathSeparator.h"

namespace wisp {
namespace {

// Labels are read back through a path buffer: at most 259 characters, cut between
// characters, never inside one.
std::string ClipLabel(std::string_view label) {
    std::size_t units = 0;
    std::size_t end = 0;
    while (end < label.size()) {
        auto lead = static_cast<unsigned char>(label[end]);
        std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::size_t width = length == 4 ? 2 : 1;
        if (units + width > kMaxPathChars - 1) {
            break;
        }
        units += width;
        end = std::min(end + length, label.size());
    }
    return std::string(label.substr(0, end));
}

}  // namespace

HelpProjectWriter::HelpProjectWriter(const IFileSystem& files, std::string baseFolder)
    : files_(files), baseFolder_(std::move(baseFolder)) {}

std::string HelpProjectWriter::FindFirstPage(std::string_view folder) const {
    return FindFirstPageIn(folder, FolderDescent{});
}

std::string HelpProjectWriter::FindFirstPageIn(std::string_view folder,
                                               FolderDescent descent) const {
    auto entries = ListBookFolder(files_, folder);
    if (!entries) {
        return {};
    }
    // Pages' companion folders come last: listed by name, a page's own folder stands before
    // it, and a frame inside would open the book instead of the page.
    for (bool companions : {false, true}) {
        for (const FolderEntry& entry : *entries) {
            if (entry.isFolder && IsCompanionFolder(entry.name) != companions) {
                continue;
            }
            std::string path = JoinPath(folder, entry.name);
            if (entry.isFolder) {
                if (!descent.Enters(entry)) {
                    continue;
                }
                std::string found = FindFirstPageIn(path, descent.Into(entry));
                if (!found.empty()) {
                    return found;
                }
            } else if (!companions && IsPageFile(entry.name)) {
                MakeProjectRelative(path);
                return path;
            }
        }
    }
    return {};
}

void HelpProjectWriter::MakeProjectRelative(std::string& path) const {
    std::string shortPath = files_.GetShortPath(path);
    std::string prefix = baseFolder_;
    if (prefix.empty() || prefix.back() != kPathSeparator) {
        prefix += kPathSeparator;
    }
    // A path outside the base folder keeps its full form rather than losing a piece of a
    // name that happens to be as long as the base folder.
    if (shortPath.size() > prefix.size() && shortPath.starts_with(prefix)) {
        shortPath.erase(0, prefix.size());
    }
    path = std::move(shortPath);
}

std::string HelpProjectWriter::BuildSiteMap(const std::optional<BuildItem>& item,
                                            std::string_view defaultTopic) const {
    if (!item) {
        return {};
    }
    std::string entries;
    ScanFolder(item->targetFolder, std::string(defaultTopic), entries);
    return MakeSiteMapText(ClipLabel(item->label), entries);
}

void HelpProjectWriter::ScanFolder(std::string_view folder, std::string pendingLocal,
                                   std::string& entries) const {
    ScanFolderIn(folder, std::move(pendingLocal), entries, FolderDescent{});
}

void HelpProjectWriter::ScanFolderIn(std::string_view folder, std::string pendingLocal,
                                     std::string& entries, FolderDescent descent) const {
    auto listing = ListBookFolder(files_, folder);
    if (!listing) {
        return;
    }
    for (const FolderEntry& entry : *listing) {
        if (entry.isFolder) {
            if (IsCompanionFolder(entry.name)) {
                continue;
            }
            if (!pendingLocal.empty()) {
                entries += MakeLocalEntry(entry.name, pendingLocal);
                pendingLocal.clear();
            } else {
                entries += MakeNameEntry(entry.name);
            }
            entries += kListStart;
            if (descent.Enters(entry)) {
                ScanFolderIn(JoinPath(folder, entry.name), pendingLocal, entries,
                             descent.Into(entry));
            }
            entries += kListEnd;
        } else if (IsSiteMapPage(entry.name)) {
            std::string local = JoinPath(files_.GetShortPath(folder), entry.name);
            MakeProjectRelative(local);
            entries += MakeLocalEntry(SiteMapPageName(entry.name), local);
        }
    }
}

}  // namespace wisp
