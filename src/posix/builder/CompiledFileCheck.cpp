#include "posix/builder/CompiledFileCheck.h"

#include <chm_lib.h>
#include <memory>
#include <unordered_set>
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

int Collect(chmFile*, chmUnitInfo* unit, void* context) {
    static_cast<std::unordered_set<std::string>*>(context)->insert(unit->path);
    return CHM_ENUMERATOR_CONTINUE;
}

// Opens the file; empty when it is there and readable, else what is wrong with it.
std::string Open(const std::string& compiledFile, UniqueChm& chm) {
    struct stat info {};
    if (::stat(compiledFile.c_str(), &info) != 0) {
        return "The compiled file " + compiledFile + " was not written.";
    }
    if (info.st_size == 0) {
        return "The compiled file " + compiledFile + " is empty.";
    }
    chm.reset(::chm_open(compiledFile.c_str()));
    if (!chm) {
        return "The compiled file " + compiledFile + " cannot be read as a compiled help file.";
    }
    return {};
}

}  // namespace

std::string CheckListedCompiledFile(const std::string& compiledFile,
                                    std::string_view contentsFile,
                                    const std::vector<std::string>& storedFiles,
                                    const std::vector<std::string>& contentsTargets) {
    UniqueChm chm;
    if (std::string problem = Open(compiledFile, chm); !problem.empty()) {
        return problem;
    }
    std::unordered_set<std::string> listed;
    ::chm_enumerate(chm.get(), CHM_ENUMERATE_ALL, Collect, &listed);
    if (!listed.contains("/" + std::string(contentsFile))) {
        return "The compiled file " + compiledFile + " lists no " + std::string(contentsFile) + ".";
    }
    for (const std::string& file : storedFiles) {
        if (!listed.contains("/" + file)) {
            return "The compiled file " + compiledFile + " does not list " + file + ".";
        }
    }
    for (const std::string& target : contentsTargets) {
        if (!Holds(chm.get(), target)) {
            return "The contents of " + compiledFile + " lead to " + target +
                   ", which it does not hold.";
        }
    }
    return {};
}

std::string CheckCompiledFile(const std::string& compiledFile, std::string_view contentsFile,
                              const std::vector<std::string>& contentFiles) {
    UniqueChm chm;
    if (std::string problem = Open(compiledFile, chm); !problem.empty()) {
        return problem;
    }
    if (!Holds(chm.get(), contentsFile)) {
        return "The compiled file " + compiledFile + " has no " + std::string(contentsFile) + ".";
    }
    for (const std::string& file : contentFiles) {
        if (!Holds(chm.get(), file)) {
            return "The compiled file " + compiledFile + " is missing " + file + ".";
        }
    }
    return {};
}

}  // namespace wisp
