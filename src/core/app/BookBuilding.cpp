#include "core/app/BookBuilding.h"

#include "core/builder/EpubBuilder.h"
#include "core/builder/PrintedBookPlan.h"
#include "core/builder/StagedChmBuild.h"
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
    ChmBuildResult result =
        BuildStagedChm(ports.files, ports.compiler,
                       {build.folder, build.title.empty() ? build.label : build.title,
                        build.language, build.output, build.book});
    Outcome outcome = result.built ? Outcome::Done(build.output)
                                   : Outcome::Failed(result.message.empty() ? "the build failed"
                                                                            : result.message);
    outcome.warnings = std::move(result.warnings);
    return outcome;
}

Outcome BuildPdf(const BookBuild& build, const BuildPorts& ports) {
    if (!ports.printer) {
        return Outcome::Failed("this system prints no PDF book");
    }
    if (std::optional<std::string> missing = ports.printer->MissingPrinterMessage()) {
        return Outcome::Failed(std::move(*missing));
    }
    PrintedBook book = PlanPrintedBook(ports.files, build.folder,
                                       build.title.empty() ? build.label : build.title,
                                       build.language.tag, build.output, build.book);
    if (book.pages.empty()) {
        return Outcome::Failed("the folder " + build.folder + " holds no page");
    }
    PrintResult printed = ports.printer->Print(book);
    Outcome outcome = printed.printed ? Outcome::Done(build.output)
                                      : Outcome::Failed(printed.message.empty() ? "the build failed"
                                                                                : printed.message);
    outcome.warnings = std::move(printed.warnings);
    return outcome;
}

Outcome BuildEpub(const BookBuild& build, const BuildPorts& ports) {
    std::unique_ptr<IEpubArchive> archive = ports.openArchive(build.output);
    CEpubBuilder builder(ports.files, ports.converter,
                         BuildItem{BuildItemKind::Folder, build.label, build.folder, build.book});
    EpubBuildResult result = builder.BuildEpub(*archive, build.modified, build.language.tag);
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
    if (name == "pdf") {
        return BookFormat::Pdf;
    }
    return std::nullopt;
}

std::optional<BookFormat> FormatOfOutput(std::string_view output) {
    if (!HasExtension(output)) {
        return BookFormat::Chm;
    }
    return ParseBookFormat(ToLowerAscii(output.substr(output.rfind('.') + 1)));
}

std::string OutputWithExtension(std::string output, BookFormat format) {
    if (!HasExtension(output)) {
        output += format == BookFormat::Epub  ? ".epub"
                  : format == BookFormat::Pdf ? ".pdf"
                                              : ".chm";
    }
    return output;
}

Outcome BuildBookFile(const BookBuild& build, const BuildPorts& ports) {
    switch (build.format) {
        case BookFormat::Epub:
            return BuildEpub(build, ports);
        case BookFormat::Pdf:
            return BuildPdf(build, ports);
        case BookFormat::Chm:
            break;
    }
    return BuildChm(build, ports);
}

}  // namespace wisp
