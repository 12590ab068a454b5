#include "cli/Commands.h"

#include "cli/FetchLimits.h"
#include "cli/Run.h"

namespace wisp::cli {

void RunVersion(CommandContext& context) {
    context.out << VersionLine();
}

namespace {
// Enough for any list typed or pasted on a command line.
constexpr std::size_t kMostCollectedUrls = 1000;

// The options of a command that fetches for a page: its own, then the fetch limits.
std::vector<OptionSyntax> WithFetchLimits(std::vector<OptionSyntax> options) {
    options.insert(options.end(), FetchLimitOptions().begin(), FetchLimitOptions().end());
    return options;
}

// The fetch limits in a command's usage line.
#define WISP_FETCH_LIMITS_USAGE                                                      \
    "[--stall-timeout SECONDS] [--max-markup-size SIZE] [--max-resource-size SIZE] " \
    "[--max-total-size SIZE]"

std::vector<Command> MakeCommands() {
    // Options several commands share, said once.
    const OptionSyntax book{"book", true, 0, "BOOK", "work on BOOK instead of the current book"};
    const OptionSyntax json = kJsonOption;
    const OptionSyntax folder{"folder", true, 0, "PATH",
                              "the folder inside the book (default: the book's top folder)"};
    const OptionSyntax parents{"parents", false, 0, {},
                               "make the folder first, with the missing folders of the way"};
    const OptionSyntax transfers{"transfers", true, 0, "N",
                                 "fetch N resources at once (1 to 64, default 8)"};
    const OptionSyntax replace{"replace", false, 0, {},
                               "replace a page of the same name and its files as a whole"};
    const OptionSyntax keepScripts{"keep-scripts", false, 0, {},
                                   "keep a rendered page's scripts (it is saved as it shows)"};
    const OptionSyntax permanent{"permanent", false, 0, {}, "remove for good, not to the Trash"};
    std::vector<Command> commands = {
        {{"root",
          0,
          1,
          {{"default", false, 0, {}, "go back to the default library"}},
          "[PATH | --default]",
          "show the library root, or set it to PATH or back to the default library"},
         RunRoot},
        {{"books",
          0,
          0,
          {json},
          "[--json]",
          "list the books of the library, the current one marked *"},
         RunBooks},
        {{"new-book", 1, 1, {}, "NAME", "make a new book and make it the current one"}, RunNewBook},
        {{"use", 1, 1, {}, "BOOK", "make BOOK the current book"}, RunUse},
        {{"rename-book", 2, 2, {}, "BOOK NEWNAME", "rename a book"}, RunRenameBook},
        {{"rm-book", 1, 1, {permanent}, "BOOK [--permanent]", "move a book to the Trash"},
         RunRmBook},
        {{"tree",
          0,
          1,
          {book, json},
          "[BOOK] [--book BOOK] [--json]",
          "show a book's folders and pages (the current book by default)"},
         RunTree},
        {{"mkdir",
          1,
          1,
          {book, {"parents", false, 'p', {}, "make the missing folders of the way too"}},
          "PATH [--book BOOK] [-p|--parents]",
          "make a folder at PATH inside the book"},
         RunMkdir},
        {{"rename",
          2,
          2,
          {book},
          "PATH NEWNAME [--book BOOK]",
          "rename the folder or page at PATH (a page keeps its .htm ending)"},
         RunRename},
        {{"move",
          2,
          2,
          {book, {"to-book", true, 0, "BOOK", "move into a folder of BOOK"}},
          "PATH FOLDER [--book BOOK] [--to-book BOOK]",
          "move the folder or page at PATH (a page with its .files folder) into FOLDER"},
         RunMove},
        {{"rm",
          1,
          1,
          {book, permanent, json},
          "PATH [--book BOOK] [--permanent] [--json]",
          "move the folder or page at PATH (a page with its .files folder) to the Trash"},
         RunRm},
        {{"collect", 1, kMostCollectedUrls,
          WithFetchLimits(
              {book,
               folder,
               parents,
               {"title", true, 0, "T", "the page's title, which names its file"},
               {"keywords", true, 0, "K", "keywords kept in the page's head"},
               {"description", true, 0, "D", "a description kept in the page's head"},
               {"selection", true, 0, "SELECTOR", "save only the elements the CSS selector picks"},
               transfers,
               {"static", false, 0, {}, "read the page's source, without running its scripts"},
               {"render-timeout", true, 0, "SECONDS",
                "the longest wait for the page to load in the browser (default 5)"},
               keepScripts,
               replace,
               json,
               {"follow", false, 0, {}, "save the pages the page links to within the scope, too"},
               {"depth", true, 0, "N", "with --follow: pages at most N links away (default 5)"},
               {"scope", true, 0, "PREFIX",
                "with --follow: addresses that begin so (default: the page's folder)"},
               {"max-pages", true, 0, "N", "with --follow: at most N pages (default 1000)"},
               {"include", true, 0, "GLOB[,GLOB]", "with --follow: only paths that match one"},
               {"exclude", true, 0, "GLOB[,GLOB]", "with --follow: no path that matches one"},
               {"flat", false, 0, {}, "with --follow: every page in one folder"},
               {"ignore-robots", false, 0, {}, "with --follow: read what robots.txt forbids"},
               {"delay", true, 0, "MS", "with --follow: wait MS milliseconds between requests"},
               {"resume", false, 0, {}, "with --follow: go on from a stopped run's pages"}}),
          "URL... [--book B] [--folder PATH [--parents]] [--title T] [--keywords K] "
          "[--description D] [--selection SELECTOR] [--transfers N] [--static] "
          "[--render-timeout SECONDS] [--keep-scripts] [--replace] "
          "[--json] " WISP_FETCH_LIMITS_USAGE " "
          "[--follow [--depth N] [--scope PREFIX] [--max-pages N] [--include GLOB] "
          "[--exclude GLOB] [--flat] [--ignore-robots] [--delay MS] [--resume]]",
          "save web pages (or the elements a CSS selector picks, or a site) into a book"},
         RunCollect},
        {{"paste", 0, 1,
          WithFetchLimits(
              {book,
               folder,
               parents,
               {"title", true, 0, "T", "the page's name (default: its title, else \"New File\")"},
               {"source-url", true, 0, "URL",
                "the address its relative references are read against"},
               transfers,
               replace,
               json}),
          "[FILE|-] [--book B] [--folder PATH [--parents]] [--title T] [--source-url URL] "
          "[--transfers N] [--replace] [--json] " WISP_FETCH_LIMITS_USAGE,
          "make a page of HTML (clipboard text or a plain page) from a file or standard input"},
         RunPaste},
        {{"info",
          1,
          1,
          {book, json},
          "PAGE [--book BOOK] [--json]",
          "show where the page at PAGE was saved from and when, its size and its resources"},
         RunInfo},
        {{"recollect", 1, 1,
          WithFetchLimits(
              {book,
               transfers,
               {"static", false, 0, {}, "read the page's source, without running its scripts"},
               {"render-timeout", true, 0, "SECONDS",
                "the longest wait for the page to load in the browser (default 5)"},
               keepScripts,
               json}),
          "PAGE [--book BOOK] [--transfers N] [--static] [--render-timeout SECONDS] "
          "[--keep-scripts] [--json] " WISP_FETCH_LIMITS_USAGE,
          "save the page at PAGE again from the address it was saved from, in its place"},
         RunRecollect},
        {{"build",
          0,
          1,
          {book,
           {"output", true, 'o', "FILE", "the book file to write (.chm, .epub or .pdf)"},
           {"format", true, 0, "chm|epub|pdf",
            "the format, when the file's extension does not say"},
           {"title", true, 0, "T", "the book's title (default: the book's or folder's name)"},
           {"language", true, 0, "TAG", "the book's language, such as fr or pt-BR"},
           json},
          "[BOOK[/FOLDER]] -o FILE.chm|FILE.epub|FILE.pdf [--format chm|epub|pdf] [--title T] "
          "[--language TAG] [--json]",
          "build a book or one of its folders into a .chm, an EPUB or a PDF book"},
         RunBuild},
    };
    // The wisp program runs search without the other commands (CommandsModule.h).
    commands.insert(commands.end(), SearchCommands().begin(), SearchCommands().end());
    commands.insert(commands.end(), {
        {{"native-host",
          0,
          2,
          {},
          "[ORIGIN...]",
          "answer the browser extension's requests (the browser starts it)"},
         RunNativeHost},
        {{"browser-install",
          0,
          0,
          {{"chromium", false, 0, {}, "only the Chromium family (Chromium if none is found)"},
           {"firefox", false, 0, {}, "only Firefox (even if it is not found)"},
           {"all", false, 0, {}, "both, each even if none of it is found"},
           {"uninstall", false, 0, {}, "remove the manifests of every browser"}},
          "[--chromium|--firefox|--all] [--uninstall]",
          "let the browser extension start wisp"},
         RunBrowserInstall},
        {{"version", 0, 0, {}, "", "show the program's version"}, RunVersion},
    });
    return commands;
}

}  // namespace

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> all = MakeCommands();
    return all;
}

// Here rather than in Run.cpp, which the search program links without the other commands.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return Run(AllCommands(), args, out, err);
}

}  // namespace wisp::cli
