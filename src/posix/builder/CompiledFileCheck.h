#pragma once

#include <string>
#include <string_view>
#include <vector>

// Reads a compiled help file back and tells whether it holds what it has to.
namespace wisp {

// Empty when the file opens as a compiled help file and holds the contents file and every
// one of `contentFiles` (relative paths); otherwise what is wrong.
std::string CheckCompiledFile(const std::string& compiledFile, std::string_view contentsFile,
                              const std::vector<std::string>& contentFiles);

// The same check as the viewers read the file: every one of `storedFiles` is found by
// listing the file through chmlib (not only by its name), and every one of
// `contentsTargets` is held.
std::string CheckListedCompiledFile(const std::string& compiledFile,
                                    std::string_view contentsFile,
                                    const std::vector<std::string>& storedFiles,
                                    const std::vector<std::string>& contentsTargets);

}  // namespace wisp
