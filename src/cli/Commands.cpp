#include "cli/Commands.h"

namespace wisp::cli {

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {{"root", 0, 1, {}, "[PATH]", "show the library root, or set it to PATH"}, RunRoot},
        {{"collect", 1, 1,
          {{"book", true}, {"folder", true}, {"title", true}, {"selection", true},
           {"transfers", true}},
          "URL [--book B] [--folder PATH] [--title T] [--selection SELECTOR] [--transfers N]",
          "save a web page (or the elements a CSS selector picks) into a book"},
         RunCollect},
        {{"paste", 0, 1, {{"book", true}, {"folder", true}, {"transfers", true}},
          "[FILE|-] [--book B] [--folder PATH] [--transfers N]",
          "make a page of HTML clipboard text (CF_HTML) from a file or standard input"},
         RunPaste},
        {{"build", 0, 1, {{"book", true}, {"output", true, 'o'}},
          "[BOOK[/FOLDER]] -o FILE.chm", "compile a book or one of its folders into a .chm"},
         RunBuild},
    };
    return commands;
}

}  // namespace wisp::cli
