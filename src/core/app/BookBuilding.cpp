#include "core/app/BookBuilding.h"

#include "core/builder/BookBuilder.h"
#include "core/builder/EpubBuilder.h"
#include "core/text/AsciiCase.h"

namespace wisp {
namespace {

bool HasExtension(std::string_view output) {
    std::size_t slash = output.rfind('/');
    std::size_t dot = output.rfind('.');
    std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    return dot != std::string_view::npos && dot > nameStart;
}

Outcome BuildChm(const BookBuild& build, const BuildPorts& ports) {
    CBookBuilder builder(ports.files, ports.compiler,
                         BuildItem{BuildItemKind::Folder, build.label, build.folder});
    BuildResult result = builder.BuildBook(build.output);
    if (result.status != BuildStatus::Compiled && result.status != BuildStatus::Started) {
        return Outcome::Failed(result.message.empty() ? "the build failed" : result.message);
    }
    return Outcome::Done(build.output);
}

Outcome BuildEpub(const BookBuild& build, const BuildPorts& ports) {
    std::unique_ptr<IEpubArchive> archive = ports.openArchive(build.output);
    CEpubBuilder builder(ports.files, ports.converter,
                         BuildItem{BuildItemKind::Folder, build.label, build.folder});
    EpubBuildResult result = builder.BuildEpub(*archive, build.modified);
    archive.reset();
    Outcome outcome = Outcome::Done(build.output);
    if (!result.built) {
        ports.files.RemoveFile(build.output);
        outcome = Outcome::Failed(result.message.empty() ? "the build failed" : result.message);
    }
    outcome.warnings = std::move(result.warnings);
    return outcome;
}

}  // namespace

std::optional<BookFormat> ParseBookFormat(std::string_view name) {
    if (name == "chm") {
        return BookFormat::Chm;
    }
    if (name == "epub") {
        return BookFormat::Epub;
    }
    return std::nullopt;
}

BookFormat FormatOfOutput(std::string_view output) {
    return EndsWithNoCase(output, ".epub") ? BookFormat::Epub : BookFormat::Chm;
}

std::string OutputWithExtension(std::string output, BookFormat format) {
    if (!HasExtension(output)) {
        output += format == BookFormat::Epub ? ".epub" : ".chm";
    }
    return output;
}

Outcome BuildBookFile(const BookBuild& build, const BuildPorts& ports) {
    return build.format == BookFormat::Epub ? BuildEpub(build, ports) : BuildChm(build, ports);
}

}  // namespace wisp
