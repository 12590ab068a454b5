#include "cli/Commands.h"

namespace wisp::cli {

std::string VersionLine() {
    return "wisp " WISP_VERSION "\n";
}

void RunVersion(CommandContext& context) {
    context.out << VersionLine();
}

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {{"root", 0, 1, {}, "[PATH]", "show the library root, or set it to PATH"}, RunRoot},
        {{"books", 0, 0, {}, "", "list the books of the library, the current one marked *"},
         RunBooks},
        {{"new-book", 1, 1, {}, "NAME", "make a new book and make it the current one"}, RunNewBook},
        {{"use", 1, 1, {}, "BOOK", "make BOOK the current book"}, RunUse},
        {{"tree",
          0,
          1,
          {{"book", true}, {"json", false}},
          "[BOOK] [--book BOOK] [--json]",
          "show a book's folders and pages (the current book by default)"},
         RunTree},
        {{"mkdir",
          1,
          1,
          {{"book", true}},
          "PATH [--book BOOK]",
          "make a folder at PATH inside the book"},
         RunMkdir},
        {{"rename",
          2,
          2,
          {{"book", true}},
          "PATH NEWNAME [--book BOOK]",
          "rename the folder or page at PATH (a page keeps its .htm ending)"},
         RunRename},
        {{"rm",
          1,
          1,
          {{"book", true}},
          "PATH [--book BOOK]",
          "remove the folder or page at PATH, a page with its .files folder"},
         RunRm},
        {{"collect",
          1,
          1,
          {{"book", true},
           {"folder", true},
           {"title", true},
           {"keywords", true},
           {"description", true},
           {"selection", true},
           {"transfers", true},
           {"static", false},
           {"render-timeout", true},
           {"replace", false}},
          "URL [--book B] [--folder PATH] [--title T] [--keywords K] [--description D] "
          "[--selection SELECTOR] [--transfers N] [--static] [--render-timeout SECONDS] "
          "[--replace]",
          "save a web page (or the elements a CSS selector picks) into a book"},
         RunCollect},
        {{"paste",
          0,
          1,
          {{"book", true},
           {"folder", true},
           {"transfers", true},
           {"title", true},
           {"source-url", true},
           {"replace", false}},
          "[FILE|-] [--book B] [--folder PATH] [--title T] [--source-url URL] [--transfers N] "
          "[--replace]",
          "make a page of HTML (clipboard text or a plain page) from a file or standard input"},
         RunPaste},
        {{"build",
          0,
          1,
          {{"book", true}, {"output", true, 'o'}, {"format", true}, {"title", true},
           {"language", true}},
          "[BOOK[/FOLDER]] -o FILE.chm|FILE.epub|FILE.pdf [--format chm|epub|pdf] [--title T] "
          "[--language TAG]",
          "build a book or one of its folders into a .chm, an EPUB or a PDF book"},
         RunBuild},
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
          {{"chromium", false}, {"firefox", false}, {"all", false}, {"uninstall", false}},
          "[--chromium|--firefox|--all] [--uninstall]",
          "let the browser extension start wisp (all browsers by default)"},
         RunBrowserInstall},
        {{"version", 0, 0, {}, "", "show the program's version"}, RunVersion},
    };
    return commands;
}

}  // namespace wisp::cli
