#include "posix/builder/ChmcmdCompiler.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <iconv.h>
#include <locale.h>

#include "core/builder/ProjectFileText.h"
#include "posix/builder/ChmDirectory.h"
#include "posix/builder/CompiledFileCheck.h"
#include "posix/builder/FullProjectCopy.h"
#include "posix/builder/ProcessRun.h"
#include "posix/builder/ProjectStaging.h"
#include "posix/platform/FileDescriptor.h"

namespace wisp {
namespace {

std::string Describe(const Result<ProcessOutcome>& run, const std::string& program) {
    if (!run) {
        return "Cannot run " + program + ": " + run.Error().reason +
               " (Debian's package fp-utils brings chmcmd).";
    }
    if (!run->exited) {
        return program + (run->signal ? " was stopped by signal " + std::to_string(run->signal) +
                                            " (" + strsignal(run->signal) + ")."
                                      : " ended in an unknown way.");
    }
    return program + " failed with exit status " + std::to_string(run->exitCode) + ".";
}

// The first of `sources` (files, or folders with all they hold) that cannot be read; empty
// when every one can. The compiler stops at such a file with no more than a number.
std::string FirstUnreadableFile(const std::vector<std::string>& sources) {
    auto unreadable = [](const std::string& path) {
        FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        return !fd.IsOpen();
    };
    for (const std::string& source : sources) {
        std::error_code error;
        if (!std::filesystem::is_directory(source, error)) {
            if (unreadable(source)) {
                return source;
            }
            continue;
        }
        std::filesystem::recursive_directory_iterator walk(source, error), end;
        if (error) {
            return source;
        }
        for (; walk != end; walk.increment(error)) {
            if (error) {
                return walk->path().string();
            }
            // A link that leads nowhere is no directory either, and the compiler cannot read it.
            if (!walk->is_directory(error) && unreadable(walk->path().string())) {
                return walk->path().string();
            }
        }
        if (error) {
            return source;
        }
    }
    return {};
}

// A temporary file in the compiled file's folder, removed unless it was moved into place.
class TemporaryOutput {
public:
    explicit TemporaryOutput(const std::string& compiledFile) {
        std::string pattern =
            compiledFile.substr(0, compiledFile.rfind('/') + 1) + ".wisp-output-XXXXXX.chm";
        FileDescriptor fd(::mkstemps(pattern.data(), 4));
        if (!fd.IsOpen()) {
            error_ = std::strerror(errno);
            return;
        }
        // As a file the compiler made itself would be, not private as mkstemps makes it.
        bool usable = ::fchmod(fd.get(), 0644) == 0;
        usable = fd.Close() && usable;
        if (!usable) {
            error_ = std::strerror(errno);
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
    // Why there is no temporary file, when there is none.
    const std::string& Error() const { return error_; }
    bool MoveTo(const std::string& destination) {
        if (::rename(path_.c_str(), destination.c_str()) != 0) {
            return false;
        }
        path_.clear();
        return true;
    }

private:
    std::string path_;
    std::string error_;
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

template <typename Check>
CompileResult ChmcmdCompiler::Run(const std::string& projectFile, const std::string& output,
                                  const std::string& compiledFile,
                                  const std::vector<std::string>& sources, Check check) {
    // chmcmd reads the project's text in the code page of its locale: in UTF-8 whatever the
    // reader's locale is, so that the index keeps every name.
    Result<ProcessOutcome> run =
        RunProcess({program_, projectFile}, {"LC_ALL=C.UTF-8", "LANG=C.UTF-8"});
    if (!run || !run->exited || run->exitCode != 0) {
        std::string message = Describe(run, program_);
        if (run) {
            if (std::string file = FirstUnreadableFile(sources); !file.empty()) {
                message = "Cannot read " + file + ": " + message;
            }
        }
        return CompileFailure(message, run ? run->output : std::string());
    }
    std::string problem = check();
    if (!problem.empty()) {
        // The reader knows the file by the name it chose.
        for (std::size_t at = problem.find(output); at != std::string::npos;
             at = problem.find(output, at + compiledFile.size())) {
            problem.replace(at, output.size(), compiledFile);
        }
        return CompileFailure(problem, run->output);
    }
    return {CompileStatus::Compiled, {}};
}

CompileResult ChmcmdCompiler::Compile(const HelpProject& project) {
    // chmcmd writes the compiled file as it goes: it writes a temporary file beside the chosen
    // one, which is checked and then renamed into place, so no reader sees half a file.
    TemporaryOutput output(project.compiledFile);
    if (output.Path().empty()) {
        return CompileFailure("Cannot write " + project.compiledFile + ": " + output.Error() + ".");
    }
    Result<FullProjectCopy> copy =
        FullProjectCopy::Write(project.projectFile, project.contentFiles, output.Path());
    if (!copy) {
        return CompileFailure(copy.Error().reason);
    }
    std::vector<std::string> sources;
    for (const std::string& file : project.contentFiles) {
        sources.push_back(project.builtFolder + "/" + file);
    }
    CompileResult result = Run(copy->Path(), output.Path(), project.compiledFile, sources, [&] {
        return CheckCompiledFile(output.Path(), kContentsFileName, project.contentFiles);
    });
    if (result.status == CompileStatus::Compiled && !output.MoveTo(project.compiledFile)) {
        return CompileFailure("Cannot put the compiled file in place as " + project.compiledFile + ".");
    }
    return result;
}

CompileResult ChmcmdCompiler::CompileStaged(const StagedHelpProject& project) {
    TemporaryOutput output(project.compiledFile);
    if (output.Path().empty()) {
        return CompileFailure("Cannot write " + project.compiledFile + ": " + output.Error() + ".");
    }
    ProjectStaging staging(project, output.Path());
    if (staging.Path().empty()) {
        return CompileFailure(staging.Error());
    }
    std::vector<std::string> sources;
    for (const StagedFile& file : project.files) {
        sources.push_back(file.source);
    }
    CompileResult result = Run(staging.Path(), output.Path(), project.compiledFile, sources, [&] {
        std::string problem = MendListingChain(output.Path());
        if (!problem.empty()) {
            // An unreadable file is said as such by the check below.
            std::string unreadable = CheckCompiledFile(output.Path(), kContentsFileName, {});
            return unreadable.empty() ? "The compiled file " + output.Path() +
                                            " cannot be listed: " + problem + "."
                                      : unreadable;
        }
        return CheckListedCompiledFile(output.Path(), kContentsFileName, project.storedFiles,
                                       project.contentsTargets);
    });
    if (result.status == CompileStatus::Compiled && !output.MoveTo(project.compiledFile)) {
        return CompileFailure("Cannot put the compiled file in place as " + project.compiledFile + ".");
    }
    return result;
}

std::optional<std::string> ChmcmdCompiler::ToCodePage(std::string_view utf8, unsigned codePage,
                                                      bool& exact) const {
    exact = true;
    auto convert = [&](bool transliterate) -> std::optional<std::string> {
        std::string target = "CP" + std::to_string(codePage) + (transliterate ? "//TRANSLIT" : "");
        iconv_t converter = ::iconv_open(target.c_str(), "UTF-8");
        if (converter == reinterpret_cast<iconv_t>(-1)) {
            return std::nullopt;
        }
        std::string out(utf8.size() * 4 + 16, '\0');
        char* in = const_cast<char*>(utf8.data());
        std::size_t inLeft = utf8.size();
        char* at = out.data();
        std::size_t outLeft = out.size();
        std::size_t done = ::iconv(converter, &in, &inLeft, &at, &outLeft);
        ::iconv_close(converter);
        if (done == static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        out.resize(out.size() - outLeft);
        return out;
    };
    if (std::optional<std::string> whole = convert(false)) {
        return whole;
    }
    exact = false;
    // The C.UTF-8 locale brings the transliteration tables ("ø" to "o", "—" to "-"); it is
    // used by this thread only, for this conversion.
    locale_t plain = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    locale_t previous = plain ? ::uselocale(plain) : static_cast<locale_t>(0);
    std::optional<std::string> near = convert(true);
    if (plain) {
        ::uselocale(previous);
        ::freelocale(plain);
    }
    return near;
}

std::unique_ptr<IHelpCompiler> CreateNativeHelpCompiler() {
    return std::make_unique<ChmcmdCompiler>();
}

}  // namespace wisp
