#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Help compiler port: turns a written help project into a compiled help file.
namespace wisp {

// A project written into its built folder, ready for the compiler.
struct HelpProject {
    std::string builtFolder;   // long path of the folder the project was written into
    std::string projectFile;   // the folder's Project.hhp
    std::string batchFile;     // the batch file that runs the compiler; empty when none was written
    std::string compiledFile;  // the help file to produce, as the reader chose it
    // Every page and companion file of the book, relative to the built folder, joined with
    // the platform's separator: what the compiled file has to hold.
    std::vector<std::string> contentFiles;
};

// A project the compiler stages in a private folder of its own, so that nothing is written
// into the library: the project files' text, and the book's files under the names the
// compiled file stores them by (`stored`, "/" between names), each taken from `source` on
// disk, a folder with all it holds, or a page from `text` where the build rewrote it.
struct StagedFile {
    std::string stored;
    std::string source;
    bool folder = false;
    std::optional<std::string> text{};
};

struct StagedHelpProject {
    std::string compiledFile;  // as the reader chose it
    std::string projectText;   // Project.hhp less its "Compiled file=" line and file list
    std::string contentsText;  // Contents.hhc
    std::string indexText;     // Index.hhk
    std::vector<StagedFile> files;
    // What the compiled file has to hold (stored names), each found by the viewers' own
    // listing of it; and what the contents open, each of which has to be held.
    std::vector<std::string> storedFiles;
    std::vector<std::string> contentsTargets;
};

enum class CompileStatus {
    Started,   // handed over to a compiler that nobody waits for
    Compiled,  // compiled and the result checked
    Failed,
};

struct CompileResult {
    CompileStatus status = CompileStatus::Failed;
    std::string message;  // why it failed, in the compiler's own words where it gave any
};

class IHelpCompiler {
public:
    virtual ~IHelpCompiler() = default;

    // Why no build can start, in words for the reader, when the compiler cannot be found;
    // nullopt when it can (or is only found when it runs).
    virtual std::optional<std::string> MissingCompilerMessage() const { return std::nullopt; }

    // The folder whose compiler a batch file is to run (where hhc.exe was found on Windows);
    // nullopt when this platform runs its compiler without a batch file.
    virtual std::optional<std::string> BatchCompilerFolder() const = 0;

    // The project files' text in the encoding the compiler reads.
    virtual std::string ToCompilerText(std::string_view utf8) const = 0;

    virtual CompileResult Compile(const HelpProject& project) = 0;

    // Compiles a staged project; a platform whose compiler reads only a project written into
    // the book's folder fails it.
    virtual CompileResult CompileStaged(const StagedHelpProject& project) {
        (void)project;
        return {CompileStatus::Failed, "this platform compiles a book only in its own folder"};
    }

    // `utf8` in the Windows code page `codePage`, as the viewers of a compiled file read its
    // names: a character the code page lacks becomes its nearest plain form, or "?", and
    // `exact` turns false. Nullopt when the platform cannot write that code page.
    virtual std::optional<std::string> ToCodePage(std::string_view utf8, unsigned codePage,
                                                  bool& exact) const {
        (void)utf8;
        (void)codePage;
        exact = false;
        return std::nullopt;
    }
};

// This platform's compiler, defined by the platform library (win32/ or posix/).
std::unique_ptr<IHelpCompiler> CreateNativeHelpCompiler();

}  // namespace wisp
