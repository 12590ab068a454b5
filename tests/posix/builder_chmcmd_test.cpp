#include <gtest/gtest.h>

#include <chm_lib.h>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "core/builder/BookBuilder.h"
#include "core/platform/NativePorts.h"
#include "posix/builder/ChmcmdCompiler.h"
#include "posix/builder/FullProjectCopy.h"
#include "posix/support/ChmReader.h"
#include "support/TempFolder.h"

// Real builds with chmcmd, read back with chmlib; and compilers that fail in the ways chmcmd
// can, none of which may pass for a success.
namespace wisp {
namespace {

using test::ReadObject;
using test::TempFolder;
using test::UniqueChm;

class ChmcmdBuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        temp.MakeFile("Lib/My Book/Welcome.htm",
                      "<HTML><HEAD><LINK rel=\"stylesheet\" href=\"Welcome.files/style.css\">"
                      "</HEAD><BODY><IMG src=\"Welcome.files/pic.png\">Hello</BODY></HTML>");
        temp.MakeFile("Lib/My Book/Welcome.files/pic.png", "\x89PNG picture");
        // Reached only through the style sheet: chmcmd alone would leave it out.
        temp.MakeFile("Lib/My Book/Welcome.files/style.css", "body{background:url(bg.gif)}");
        temp.MakeFile("Lib/My Book/Welcome.files/bg.gif", "GIF89a background");
        temp.MakeFile("Lib/My Book/Frames.htm",
                      "<HTML><FRAMESET><FRAME src=\"Frames.files/left.htm\"></FRAMESET></HTML>");
        temp.MakeFile("Lib/My Book/Frames.files/left.htm", "<HTML><BODY>left</BODY></HTML>");
        temp.MakeFile("Lib/My Book/Tom & Jerry.htm", "<HTML><BODY>cartoon</BODY></HTML>");
        temp.MakeFile("Lib/My Book/Caf\xC3\xA9.htm", "<HTML><BODY>caf\xC3\xA9</BODY></HTML>");
        temp.MakeFile("Lib/My Book/Chapter/Deep.htm", "<HTML><BODY>deep</BODY></HTML>");
        temp.MakeFile("Lib/My Book/Chapter/Deep.files/data.zip", std::string("PK\0\0zip", 7));
        temp.MakeFolder("Lib/My Book/Empty Chapter");
    }

    BuildResult Build(IHelpCompiler& compiler) {
        CBookBuilder builder(*files, compiler,
                             BuildItem{BuildItemKind::Folder, "My Book", temp.Path("Lib/My Book")});
        return builder.BuildBook(chmPath);
    }

    // A stand-in compiler: a shell script with the given body, $1 being the project.
    std::string Script(const std::string& name, const std::string& body) {
        std::string path = temp.MakeFile(name, "#!/bin/sh\n" + body + "\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }

    // Whether a name in `folder` begins with `prefix`: the compiler's temporary output beside
    // the compiled file, or the copy of the project it read.
    bool Left(const std::string& folder, std::string_view prefix) const {
        for (const auto& entry : std::filesystem::directory_iterator(temp.Path(folder))) {
            if (entry.path().filename().string().starts_with(prefix)) {
                return true;
            }
        }
        return false;
    }
    bool OutputTemporariesLeft() const { return Left("Out", ".wisp-output-"); }
    bool ProjectCopiesLeft() const { return Left("Lib/My Book", ".wisp-build-"); }

    TempFolder temp;
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    std::string chmPath = temp.MakeFolder("Out") + "/My Book.chm";
};

TEST_F(ChmcmdBuildTest, CompiledFileHoldsEveryPageAndCompanionFileAndTheContents) {
    ChmcmdCompiler compiler;
    BuildResult result = Build(compiler);
    ASSERT_EQ(result.status, BuildStatus::Compiled) << result.message;
    EXPECT_FALSE(OutputTemporariesLeft());

    UniqueChm chm(::chm_open(chmPath.c_str()));
    ASSERT_TRUE(chm);
    for (const char* file :
         {"Welcome.htm", "Welcome.files/pic.png", "Welcome.files/style.css", "Welcome.files/bg.gif",
          "Frames.htm", "Frames.files/left.htm", "Tom & Jerry.htm", "Caf\xC3\xA9.htm",
          "Chapter/Deep.htm", "Chapter/Deep.files/data.zip"}) {
        EXPECT_EQ(ReadObject(chm.get(), std::string("/") + file),
                  temp.Read("Lib/My Book/" + std::string(file)))
            << file;
    }
    std::string contents = temp.Read("Lib/My Book/Contents.hhc");
    EXPECT_NE(contents.find("value=\"Tom & Jerry\""), std::string::npos);
    EXPECT_EQ(ReadObject(chm.get(), "/Contents.hhc"), contents);
    EXPECT_EQ(ReadObject(chm.get(), "/Index.hhk"), contents);

    // The project stays as written; the copy the compiler read is gone.
    EXPECT_EQ(temp.Read("Lib/My Book/Project.hhp").find("[FILES]"), std::string::npos);
    EXPECT_TRUE(temp.Read("Lib/My Book/Project.hhp").ends_with("[INFOTYPES]"));
    EXPECT_FALSE(ProjectCopiesLeft());
}

TEST_F(ChmcmdBuildTest, NoCompiledFileOrAnUnreadableOneIsAFailure) {
    struct Case {
        const char* name;
        std::string body;
        const char* says;
    };
    const std::string compiledFile = "out=$(sed -n 's/^Compiled file=//p' \"$1\" | tr -d '\\r')";
    const Case cases[] = {
        // chmcmd itself ends with status 0 when it cannot read the project.
        {"silent", "echo \"Can't find project file\"; exit 0", "is empty"},
        {"garbage", compiledFile + "; echo garbage > \"$out\"", "cannot be read"},
        {"removes", compiledFile + "; rm \"$out\"", "was not written"},
        {"failing", "echo 'Error: no disk space' >&2; exit 3", "exit status 3"},
        {"crashing", "kill -SEGV $$", "signal 11"},
    };
    for (const Case& c : cases) {
        ChmcmdCompiler compiler(Script(c.name, c.body));
        BuildResult result = Build(compiler);
        EXPECT_EQ(result.status, BuildStatus::Failed) << c.name;
        EXPECT_NE(result.message.find(c.says), std::string::npos)
            << c.name << ": " << result.message;
        // Named as the reader chose it, never by the temporary it was compiled to.
        EXPECT_EQ(result.message.find(".wisp-output-"), std::string::npos) << c.name;
        EXPECT_FALSE(ProjectCopiesLeft()) << c.name;
        EXPECT_FALSE(OutputTemporariesLeft()) << c.name;
    }
    ChmcmdCompiler failing(Script("stderr", "echo 'Error: no disk space' >&2; exit 3"));
    EXPECT_NE(Build(failing).message.find("Error: no disk space"), std::string::npos);

    // A page the compiler could not read is named, the compiler saying no more than a number.
    std::filesystem::create_symlink(temp.Path("nowhere"), temp.Path("Lib/My Book/Gone.htm"));
    ChmcmdCompiler stopping(Script("stopping", "exit 217"));
    std::string stopped = Build(stopping).message;
    EXPECT_NE(stopped.find("Cannot read " + temp.Path("Lib/My Book/Gone.htm") + ": "),
              std::string::npos)
        << stopped;
    std::filesystem::remove(temp.Path("Lib/My Book/Gone.htm"));

    // The compiler writes beside the chosen file, never into it while a reader may look.
    ChmcmdCompiler recording(
        Script("recording", compiledFile + "; echo \"$out\" > \"" + temp.Path("written") + "\""));
    Build(recording);
    EXPECT_TRUE(temp.Read("written").starts_with(temp.Path("Out/.wisp-output-")))
        << temp.Read("written");
}

TEST_F(ChmcmdBuildTest, CompiledFileWithoutAllPagesIsAFailure) {
    // The real compiler on the project as written, without the list of files: it takes in
    // only what the contents reach, and the check finds what is missing.
    ChmcmdCompiler compiler(
        Script("partial",
               "dir=$(dirname \"$1\"); out=$(sed -n 's/^Compiled file=//p' \"$1\" | tr -d '\\r')\n"
               "sed \"s|^Compiled file=.*|Compiled file=$out|\" \"$dir/Project.hhp\" > "
               "\"$dir/partial.hhp\"\n"
               "chmcmd \"$dir/partial.hhp\""));
    BuildResult result = Build(compiler);
    EXPECT_EQ(result.status, BuildStatus::Failed);
    EXPECT_NE(result.message.find("is missing"), std::string::npos) << result.message;
}

TEST_F(ChmcmdBuildTest, MissingCompilerIsAFailure) {
    ChmcmdCompiler compiler(temp.Path("no-such-compiler"));
    BuildResult result = Build(compiler);
    EXPECT_EQ(result.status, BuildStatus::Failed);
    EXPECT_NE(result.message.find("Cannot run"), std::string::npos) << result.message;
}

// The copy the compiler reads: the project's own text with the list of every file, the compiled
// file named anew only where the project names one and a new name is given.
TEST(FullProjectCopy, AddsTheFilesAndRenamesTheCompiledFileWhereThereIsOne) {
    struct Case {
        const char* project;
        const char* compiledFile;
        const char* copy;
    };
    const Case cases[] = {
        {"Compiled file=a.chm\r\nTitle=T", "b.chm", "Compiled file=b.chm\r\nTitle=T"},
        {"Compiled file=a.chm", "", "Compiled file=a.chm"},
        {"Title=T", "b.chm", "Title=T"},
    };
    TempFolder temp;
    for (const Case& c : cases) {
        const std::string project = temp.MakeFile("Project.hhp", c.project);
        Result<FullProjectCopy> copy = FullProjectCopy::Write(project, {"a.htm"}, c.compiledFile);
        ASSERT_TRUE(copy) << copy.Error().reason;
        EXPECT_EQ(temp.Read(copy->Path().substr(temp.Path().size() + 1)),
                  std::string(c.copy) + "\r\n[FILES]\r\na.htm\r\n")
            << c.project;
    }
}

}  // namespace
}  // namespace wisp
