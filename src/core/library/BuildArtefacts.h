#pragma once

#include <string_view>

// The files a book build leaves in the folder it builds.
namespace wisp {

inline constexpr std::string_view kBuildArtefactNames[] = {"ExportASCHM.bat", "Project.hhp",
                                                           "Contents.hhc", "Index.hhk"};

// Exactly one of those names, with case.
bool IsBuildArtefactName(std::string_view name);

}  // namespace wisp
