#pragma once

#include <string>

#include "core/platform/HelpCompiler.h"

// A staged help project on disk: a private folder under the temporary folder holding the
// project files and, under their stored names, links to the book's files (a copy of a page
// the build rewrote), so that the compiler reads the book without a file being written beside
// it. The folder and all its links go with the object; what they point to is never touched.
namespace wisp {

class ProjectStaging {
public:
    // Path() is empty when the folder cannot be made whole; Error() says why.
    ProjectStaging(const StagedHelpProject& project, const std::string& compiledFile);
    ~ProjectStaging();
    ProjectStaging(const ProjectStaging&) = delete;
    ProjectStaging& operator=(const ProjectStaging&) = delete;

    // The project file.
    const std::string& Path() const { return projectFile_; }
    const std::string& Error() const { return error_; }

private:
    bool Stage(const StagedHelpProject& project, const std::string& compiledFile);

    std::string folder_;
    std::string projectFile_;
    std::string error_;
};

}  // namespace wisp
