#pragma once

#include <string>
#include <utility>
#include <vector>

#include "posix/platform/Result.h"

// The project as the compiler is to see it: Project.hhp stays as written, and a hidden copy
// beside it adds a [FILES] section, since chmcmd takes in only what the contents file and a
// few tag kinds reach (frames, style-sheet images and other resources would be left out).
// The copy may name another compiled file, so that the compiler writes where no reader looks.
// The copy is removed when the object goes.
namespace wisp {

class FullProjectCopy {
public:
    // Writes the copy into the project's folder. A `compiledFile` that is not empty replaces
    // the project's "Compiled file=" value.
    static Result<FullProjectCopy> Write(const std::string& projectFile,
                                         const std::vector<std::string>& files,
                                         const std::string& compiledFile = {});
    ~FullProjectCopy();
    FullProjectCopy(FullProjectCopy&& other) noexcept : path_(std::exchange(other.path_, {})) {}
    FullProjectCopy& operator=(FullProjectCopy&&) = delete;

    const std::string& Path() const { return path_; }

private:
    explicit FullProjectCopy(std::string path) : path_(std::move(path)) {}

    std::string path_;
};

}  // namespace wisp
