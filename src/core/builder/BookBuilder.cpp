#include "core/builder/BookBuilder.h"

#include "core/builder/BookContentFiles.h"
#include "core/builder/BuildFile.h"
#include "core/builder/HelpProjectWriter.h"
#include "core/builder/ProjectFileText.h"
#include "core/library/LibraryNaming.h"

namespace wisp {

CBookBuilder::CBookBuilder(IFileSystem& files, IHelpCompiler& compiler,
                           std::optional<BuildItem> item)
    : files_(files), compiler_(compiler), item_(std::move(item)) {}

bool CBookBuilder::WriteText(std::string_view path, std::string_view utf8Text) {
    if (WriteBuildFile(files_, path, compiler_.ToCompilerText(utf8Text))) {
        return true;
    }
    if (failedWrite_.empty()) {
        failedWrite_ = path;
    }
    return false;
}

BuildResult CBookBuilder::BuildBook(std::string_view chmPath) {
    if (!item_ || item_->kind == BuildItemKind::Page) {
        return {BuildStatus::NothingToBuild, {}};
    }
    // Without a compiler the build would leave an empty compiled file that looks like a book.
    if (std::optional<std::string> missing = compiler_.MissingCompilerMessage()) {
        return {BuildStatus::Failed, std::move(*missing)};
    }
    const std::string& builtFolder = item_->targetFolder;
    baseFolder_ = files_.GetShortPath(builtFolder);
    HelpProjectWriter writer(files_, baseFolder_);
    std::string defaultTopic = writer.FindFirstPage(builtFolder);

    // The compiled file exists (empty) before its short form is taken.
    failedWrite_.clear();
    WriteText(chmPath, "");
    std::string compiledShort = files_.GetShortPath(chmPath);

    HelpProject project;
    project.builtFolder = builtFolder;
    project.projectFile = JoinPath(builtFolder, kProjectFileName);
    project.compiledFile = std::string(chmPath);
    if (std::optional<std::string> compilerFolder = compiler_.BatchCompilerFolder()) {
        project.batchFile = JoinPath(builtFolder, kBatchFileName);
        WriteText(project.batchFile, MakeBatchFileText(files_.GetShortPath(*compilerFolder),
                                                       baseFolder_, compiledShort));
    }
    WriteText(project.projectFile, MakeProjectFileText(compiledShort, defaultTopic));
    // Contents and index are the same text, built once so that they cannot differ.
    std::string siteMap = writer.BuildSiteMap(item_, defaultTopic);
    WriteText(JoinPath(builtFolder, kContentsFileName), siteMap);
    WriteText(JoinPath(builtFolder, kIndexFileName), siteMap);

    // A project that is not wholly on disk would compile into a wrong book, or run an old
    // batch file: the build stops here and says why.
    if (!failedWrite_.empty()) {
        return {BuildStatus::Failed, "Could not write " + failedWrite_};
    }

    project.contentFiles = ListBookContentFiles(files_, builtFolder);
    CompileResult compiled = compiler_.Compile(project);
    switch (compiled.status) {
        case CompileStatus::Started:
            return {BuildStatus::Started, {}};
        case CompileStatus::Compiled:
            return {BuildStatus::Compiled, {}};
        case CompileStatus::Failed:
            break;
    }
    return {BuildStatus::Failed, std::move(compiled.message)};
}

}  // namespace wisp
