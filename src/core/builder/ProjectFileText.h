#pragma once

#include <string>
#include <string_view>

// The texts of Project.hhp and of the batch file that runs the compiler.
namespace wisp {

inline constexpr std::string_view kProjectFileName = "Project.hhp";
inline constexpr std::string_view kContentsFileName = "Contents.hhc";
inline constexpr std::string_view kIndexFileName = "Index.hhk";
inline constexpr std::string_view kBatchFileName = "ExportASCHM.bat";
inline constexpr std::string_view kProjectTitle = "Knowledge Base";
// The compiler reads its project and contents files with Windows line breaks.
inline constexpr std::string_view kProjectLineBreak = "\r\n";

// Eleven lines joined by CR LF, no line break after the last one.
std::string MakeProjectFileText(std::string_view compiledFileShortPath,
                                std::string_view defaultTopic);

// Two lines joined by CR LF: the compiler on the project, then the viewer on the result.
// All paths are expected in short form; one that still holds a character the command
// interpreter would act on (a space, "&", "|" ...) is quoted, so it stays one argument.
std::string MakeBatchFileText(std::string_view compilerFolderShortPath,
                              std::string_view builtFolderShortPath,
                              std::string_view compiledFileShortPath);

}  // namespace wisp
