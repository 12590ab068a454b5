#include "posix/builder/ProjectStaging.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/builder/ProjectFileText.h"
#include "posix/platform/PosixFiles.h"

namespace wisp {
namespace {

bool WriteText(const std::string& path, std::string_view text) {
    return ReplaceFileAtomically(path, text, 0600);
}

}  // namespace

ProjectStaging::ProjectStaging(const StagedHelpProject& project, const std::string& compiledFile) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/wisp-chm-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        error_ = "Cannot make a folder to stage the project in: " + std::string(std::strerror(errno));
        return;
    }
    folder_ = pattern;
    if (Stage(project, compiledFile)) {
        projectFile_ = folder_ + "/" + std::string(kProjectFileName);
    }
}

ProjectStaging::~ProjectStaging() {
    if (!folder_.empty()) {
        // Links are removed as links: the book they point into stays as it is.
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

bool ProjectStaging::Stage(const StagedHelpProject& project, const std::string& compiledFile) {
    std::string projectText = project.projectText;
    projectText += "Compiled file=" + compiledFile + "\r\n[FILES]\r\n";
    for (const std::string& file : project.storedFiles) {
        projectText += file + "\r\n";
    }
    for (const auto& [name, text] :
         {std::pair{kProjectFileName, std::string_view(projectText)},
          std::pair{kContentsFileName, std::string_view(project.contentsText)},
          std::pair{kIndexFileName, std::string_view(project.indexText)}}) {
        if (!WriteText(folder_ + "/" + std::string(name), text)) {
            error_ = "Cannot write " + std::string(name) + " in " + folder_ + ".";
            return false;
        }
    }
    for (const StagedFile& file : project.files) {
        std::filesystem::path link = std::filesystem::path(folder_) / file.stored;
        std::error_code error;
        std::filesystem::create_directories(link.parent_path(), error);
        if (!error && file.text) {
            if (!WriteText(link.string(), *file.text)) {
                error_ = "Cannot write " + link.string() + ".";
                return false;
            }
            continue;
        }
        if (!error) {
            std::filesystem::create_symlink(std::filesystem::absolute(file.source), link, error);
        }
        if (error) {
            error_ = "Cannot stage " + file.source + ": " + error.message() + ".";
            return false;
        }
    }
    return true;
}

}  // namespace wisp
