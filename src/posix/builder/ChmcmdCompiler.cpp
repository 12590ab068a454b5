#include "posix/builder/ChmcmdCompiler.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "core/builder/ProjectFileText.h"
#include "posix/builder/CompiledFileCheck.h"
#include "posix/builder/FullProjectCopy.h"
#include "posix/builder/ProcessRun.h"
#include "posix/platform/FileDescriptor.h"

namespace wisp {
namespace {

std::string Describe(const Result<ProcessOutcome>& run, const std::string& program) {
    if (!run) {
        return "Cannot run " + program + ": " + run.Error().reason + ".";
    }
    if (!run->exited) {
        return program + (run->signal ? " was stopped by signal " + std::to_string(run->signal) +
                                            " (" + strsignal(run->signal) + ")."
                                      : " ended in an unknown way.");
    }
    return program + " failed with exit status " + std::to_string(run->exitCode) + ".";
}

// A temporary file in the compiled file's folder, removed unless it was moved into place.
class TemporaryOutput {
public:
    explicit TemporaryOutput(const std::string& compiledFile) {
        std::string pattern =
            compiledFile.substr(0, compiledFile.rfind('/') + 1) + ".wisp-output-XXXXXX.chm";
        FileDescriptor fd(::mkstemps(pattern.data(), 4));
        if (!fd.IsOpen()) {
            return;
        }
        // As a file the compiler made itself would be, not private as mkstemps makes it.
        bool usable = ::fchmod(fd.get(), 0644) == 0;
        usable = fd.Close() && usable;
        if (!usable) {
            ::unlink(pattern.c_str());
            return;
        }
        path_ = pattern;
    }
    ~TemporaryOutput() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryOutput(const TemporaryOutput&) = delete;
    TemporaryOutput& operator=(const TemporaryOutput&) = delete;

    const std::string& Path() const { return path_; }
    bool MoveTo(const std::string& destination) {
        if (::rename(path_.c_str(), destination.c_str()) != 0) {
            return false;
        }
        path_.clear();
        return true;
    }

private:
    std::string path_;
};

CompileResult CompileFailure(std::string message, const std::string& output = {}) {
    if (!output.empty()) {
        message += "\n" + output;
    }
    return {CompileStatus::Failed, std::move(message)};
}

}  // namespace

ChmcmdCompiler::ChmcmdCompiler(std::string program) : program_(std::move(program)) {}

std::optional<std::string> ChmcmdCompiler::BatchCompilerFolder() const {
    return std::nullopt;
}

std::string ChmcmdCompiler::ToCompilerText(std::string_view utf8) const {
    return std::string(utf8);
}

CompileResult ChmcmdCompiler::Compile(const HelpProject& project) {
    // chmcmd writes the compiled file as it goes: it writes a temporary file beside the chosen
    // one, which is checked and then renamed into place, so no reader sees half a file.
    TemporaryOutput output(project.compiledFile);
    if (output.Path().empty()) {
        return CompileFailure("Cannot write a file beside " + project.compiledFile + ".");
    }
    Result<FullProjectCopy> copy =
        FullProjectCopy::Write(project.projectFile, project.contentFiles, output.Path());
    if (!copy) {
        return CompileFailure(copy.Error().reason);
    }
    Result<ProcessOutcome> run = RunProcess({program_, copy->Path()});
    if (!run || !run->exited || run->exitCode != 0) {
        return CompileFailure(Describe(run, program_), run ? run->output : std::string());
    }
    Result<> checked = CheckCompiledFile(output.Path(), kContentsFileName, project.contentFiles);
    if (!checked) {
        std::string problem = checked.Error().reason;
        // The reader knows the file by the name it chose.
        for (std::size_t at = problem.find(output.Path()); at != std::string::npos;
             at = problem.find(output.Path(), at + project.compiledFile.size())) {
            problem.replace(at, output.Path().size(), project.compiledFile);
        }
        return CompileFailure(problem, run->output);
    }
    if (!output.MoveTo(project.compiledFile)) {
        return CompileFailure("Cannot put the compiled file in place as " + project.compiledFile +
                              ".");
    }
    return {CompileStatus::Compiled, {}};
}

std::unique_ptr<IHelpCompiler> CreateNativeHelpCompiler() {
    return std::make_unique<ChmcmdCompiler>();
}

}  // namespace wisp
