#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "posix/platform/Result.h"

// Reads a compiled help file back and tells whether it holds what it has to.
namespace wisp {

// Succeeds when the file opens as a compiled help file and holds the contents file and every
// one of `contentFiles` (relative paths); otherwise says what is wrong.
Result<> CheckCompiledFile(const std::string& compiledFile, std::string_view contentsFile,
                           const std::vector<std::string>& contentFiles);

}  // namespace wisp
