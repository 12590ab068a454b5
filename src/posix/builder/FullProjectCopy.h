#pragma once

#include <string>
#include <vector>

// The project as the compiler is to see it: Project.hhp stays as written, and a hidden copy
// beside it adds a [FILES] section, since chmcmd takes in only what the contents file and a
// few tag kinds reach (frames, style-sheet images and other resources would be left out).
// The copy may name another compiled file, so that the compiler writes where no reader looks.
namespace wisp {

class FullProjectCopy {
public:
    // Writes the copy into the project's folder; Path() is empty when that failed. A
    // `compiledFile` that is not empty replaces the project's "Compiled file=" value.
    FullProjectCopy(const std::string& projectFile, const std::vector<std::string>& files,
                    const std::string& compiledFile = {});
    ~FullProjectCopy();
    FullProjectCopy(const FullProjectCopy&) = delete;
    FullProjectCopy& operator=(const FullProjectCopy&) = delete;

    const std::string& Path() const { return path_; }
    const std::string& Error() const { return error_; }

private:
    std::string path_;
    std::string error_;
};

}  // namespace wisp
