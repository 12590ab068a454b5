#include "posix/builder/ChmcmdCompiler.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "core/builder/ProjectFileText.h"
#include "posix/builder/CompiledFileCheck.h"
#include "posix/builder/FullProjectCopy.h"
#include "posix/builder/ProcessRun.h"

namespace wisp {
namespace {

std::string Describe(const ProcessOutcome& run, const std::string& program) {
    if (!run.started) {
        return "Cannot run " + program + ": " + run.startError + ".";
    }
    if (!run.exited) {
        return program + (run.signal ? " was stopped by signal " + std::to_string(run.signal) +
                                           " (" + strsignal(run.signal) + ")."
                                     : " ended in an unknown way.");
    }
    return program + " failed with exit status " + std::to_string(run.exitCode) + ".";
}

// A temporary file in the compiled file's folder, removed unless it was moved into place.
class TemporaryOutput {
public:
    explicit TemporaryOutput(const std::string& compiledFile) {
        std::string pattern =
            compiledFile.substr(0, compiledFile.rfind('/') + 1) + ".wisp-output-XXXXXX.chm";
        int fd = ::mkstemps(pattern.data(), 4);
        if (fd < 0) {
            return;
        }
        // As a file the compiler made itself would be, not private as mkstemps makes it.
        bool usable = ::fchmod(fd, 0644) == 0;
        usable = ::close(fd) == 0 && usable;
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

CompileResult Failure(std::string message, const std::string& output = {}) {
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
        return Failure("Cannot write a file beside " + project.compiledFile + ".");
    }
    FullProjectCopy copy(project.projectFile, project.contentFiles, output.Path());
    if (copy.Path().empty()) {
        return Failure(copy.Error());
    }
    ProcessOutcome run = RunProcess({program_, copy.Path()});
    if (!run.started || !run.exited || run.exitCode != 0) {
        return Failure(Describe(run, program_), run.output);
    }
    std::string problem = CheckCompiledFile(output.Path(), kContentsFileName, project.contentFiles);
    if (!problem.empty()) {
        // The reader knows the file by the name it chose.
        for (std::size_t at = problem.find(output.Path()); at != std::string::npos;
             at = problem.find(output.Path(), at + project.compiledFile.size())) {
            problem.replace(at, output.Path().size(), project.compiledFile);
        }
        return Failure(problem, run.output);
    }
    if (!output.MoveTo(project.compiledFile)) {
        return Failure("Cannot put the compiled file in place as " + project.compiledFile + ".");
    }
    return {CompileStatus::Compiled, {}};
}

std::unique_ptr<IHelpCompiler> CreateNativeHelpCompiler() {
    return std::make_unique<ChmcmdCompiler>();
}

}  // namespace wisp
