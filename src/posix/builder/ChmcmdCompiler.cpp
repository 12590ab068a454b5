#include "posix/builder/ChmcmdCompiler.h"

#include <cstring>

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
    FullProjectCopy copy(project.projectFile, project.contentFiles);
    if (copy.Path().empty()) {
        return Failure(copy.Error());
    }
    ProcessOutcome run = RunProcess({program_, copy.Path()});
    if (!run.started || !run.exited || run.exitCode != 0) {
        return Failure(Describe(run, program_), run.output);
    }
    std::string problem =
        CheckCompiledFile(project.compiledFile, kContentsFileName, project.contentFiles);
    if (!problem.empty()) {
        return Failure(problem, run.output);
    }
    return {CompileStatus::Compiled, {}};
}

std::unique_ptr<IHelpCompiler> CreateNativeHelpCompiler() {
    return std::make_unique<ChmcmdCompiler>();
}

}  // namespace wisp
