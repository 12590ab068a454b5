#include "posix/builder/CompiledFileCheck.h"

#include <chm_lib.h>
#include <memory>
#include <sys/stat.h>

namespace wisp {
namespace {

struct ChmCloser {
    void operator()(chmFile* file) const { ::chm_close(file); }
};
using UniqueChm = std::unique_ptr<chmFile, ChmCloser>;

bool Holds(chmFile* chm, std::string_view relativePath) {
    std::string objectPath = "/" + std::string(relativePath);
    chmUnitInfo unit{};
    return ::chm_resolve_object(chm, objectPath.c_str(), &unit) == CHM_RESOLVE_SUCCESS;
}

}  // namespace

Result<> CheckCompiledFile(const std::string& compiledFile, std::string_view contentsFile,
                           const std::vector<std::string>& contentFiles) {
    struct stat info {};
    if (::stat(compiledFile.c_str(), &info) != 0) {
        return Failure{"The compiled file " + compiledFile + " was not written."};
    }
    if (info.st_size == 0) {
        return Failure{"The compiled file " + compiledFile + " is empty."};
    }
    UniqueChm chm(::chm_open(compiledFile.c_str()));
    if (!chm) {
        return Failure{"The compiled file " + compiledFile +
                       " cannot be read as a compiled help file."};
    }
    if (!Holds(chm.get(), contentsFile)) {
        return Failure{"The compiled file " + compiledFile + " has no " +
                       std::string(contentsFile) + "."};
    }
    for (const std::string& file : contentFiles) {
        if (!Holds(chm.get(), file)) {
            return Failure{"The compiled file " + compiledFile + " is missing " + file + "."};
        }
    }
    return {};
}

}  // namespace wisp
