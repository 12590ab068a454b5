#include "cli/NativeHost.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <signal.h>
#include <sstream>
#include <unistd.h>

#include "cli/BookPath.h"
#include "cli/Commands.h"
#include "cli/LibraryServer.h"
#include "cli/NativeMessaging.h"
#include "cli/OpenedLibrary.h"
#include "cli/PageCapture.h"
#include "cli/TargetFolder.h"
#include "core/capture/MarkupCase.h"
#include "core/capture/PageComposition.h"
#include "core/capture/PageMetadata.h"
#include "core/capture/PastedPageTitle.h"
#include "core/library/BookManager.h"
#include "core/library/LibraryNaming.h"
#include "core/library/NameChecks.h"
#include "core/library/TreeItemKind.h"
#include "core/text/PercentEncoding.h"
#include "posix/platform/FileDescriptor.h"
#include "posix/platform/XdgFolders.h"

namespace wisp::cli {
namespace {

using Json = nlohmann::json;
using Options = std::map<std::string, std::string, std::less<>>;

// A request whose shape is wrong: a missing or mistyped field.
struct RequestError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Room kept free in a paged reply for its other fields.
constexpr std::size_t kReplyMargin = 64 * 1024;

std::string Dump(const Json& value) {
    // A file name on Linux may hold any byte; the reply stays valid UTF-8.
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json ErrorReply(std::string_view message) {
    return Json{{"ok", false}, {"error", message}};
}

std::optional<std::string> OptionalText(const Json& request, const char* key) {
    auto found = request.find(key);
    if (found == request.end() || found->is_null()) {
        return std::nullopt;
    }
    if (!found->is_string()) {
        throw RequestError(std::string("\"") + key + "\" must be a string");
    }
    return found->get<std::string>();
}

std::string Text(const Json& request, const char* key) {
    std::optional<std::string> text = OptionalText(request, key);
    if (!text) {
        throw RequestError(std::string("the request needs \"") + key + "\"");
    }
    return *text;
}

const CommandSyntax& SyntaxOf(std::string_view name) {
    for (const Command& command : AllCommands()) {
        if (command.syntax.name == name) {
            return command.syntax;
        }
    }
    throw std::logic_error("no command " + std::string(name));
}

CommandHandler HandlerOf(std::string_view name) {
    for (const Command& command : AllCommands()) {
        if (command.syntax.name == name) {
            return command.handler;
        }
    }
    throw std::logic_error("no command " + std::string(name));
}

// The page the content script read, as the collector reads a document.
class MessagePageSource final : public IPageSource {
public:
    explicit MessagePageSource(const Json& request)
        : title_(OptionalText(request, "title").value_or("")),
          url_(OptionalText(request, "url").value_or("")),
          doctype_(OptionalText(request, "doctype").value_or("")),
          // Today's browsers report markup in lower case; the resource scan reads capitals.
          html_(NormaliseMarkupCase(OptionalText(request, "html").value_or(""))),
          selection_(NormaliseMarkupCase(OptionalText(request, "selection").value_or(""))) {
        auto sheets = request.find("styleSheets");
        if (sheets == request.end() || !sheets->is_array()) {
            return;
        }
        for (const Json& sheet : *sheets) {
            bool linked = sheet.is_object() && sheet.contains("href") && sheet["href"].is_string();
            urls_.push_back(linked ? sheet["href"].get<std::string>() : std::string());
            if (sheet.is_object() && sheet.contains("css") && sheet["css"].is_string()) {
                sheets_.push_back(sheet["css"].get<std::string>());
            } else if (linked) {
                // A sheet of another origin the page may not read: the capture fetches it.
                sheets_.push_back("@import url(\"" + sheet["href"].get<std::string>() + "\");");
            } else {
                sheets_.push_back(std::nullopt);
            }
        }
    }

    std::string Title() const override { return title_; }
    std::string Url() const override { return url_; }
    std::size_t ElementCount() const override { return doctype_.empty() ? 1 : 2; }
    std::optional<std::string> ElementTagName(std::size_t index) const override {
        return index + 1 == ElementCount() ? "HTML" : "!";
    }
    std::optional<std::string> ElementOuterHtml(std::size_t index) const override {
        return index + 1 == ElementCount() ? html_ : doctype_;
    }
    std::optional<std::vector<std::optional<std::string>>> StyleSheetsCss() const override {
        return sheets_;
    }
    std::vector<std::string> StyleSheetUrls() const override { return urls_; }
    std::string SelectionHtml() const override { return selection_; }

private:
    std::string title_, url_, doctype_, html_, selection_;
    std::vector<std::optional<std::string>> sheets_;
    std::vector<std::string> urls_;
};

class NoFolderChooser final : public IFolderChooser {
public:
    std::optional<std::string> ChooseFolder(std::string_view) override { return std::nullopt; }
};

// What a context for one of the host's own calls into the library refers to, made first.
struct SilentCallParts {
    ParsedCommand parsed;
    std::ostringstream sink;
};

// A context for one of the host's own calls into the library, whose output nobody reads.
struct SilentCall : private SilentCallParts, CommandContext {
    SilentCall(const CommandContext& host, ParsedCommand command)
        : SilentCallParts{std::move(command), {}}, CommandContext{host.settings, host.files,
                                                                  host.module,   sink,
                                                                  sink,          parsed} {}
};

// One request's run of the library's operations, through the same commands a user types.
class HostConnection {
public:
    explicit HostConnection(CommandContext& context) : context_(context) {}

    Json Answer(const Json& request) {
        try {
            if (!request.is_object()) {
                throw RequestError("a request is a JSON object");
            }
            std::string name = Text(request, "request");
            static const std::map<std::string, Json (HostConnection::*)(const Json&), std::less<>>
                handlers = {
                    {"books", &HostConnection::Books},
                    {"use", &HostConnection::Use},
                    {"newBook", &HostConnection::NewBook},
                    {"renameBook", &HostConnection::RenameBook},
                    {"deleteBook", &HostConnection::DeleteBook},
                    {"root", &HostConnection::Root},
                    {"list", &HostConnection::List},
                    {"mkdir", &HostConnection::Mkdir},
                    {"rename", &HostConnection::Rename},
                    {"delete", &HostConnection::Delete},
                    {"save", &HostConnection::Save},
                    {"paste", &HostConnection::Paste},
                    {"locate", &HostConnection::Locate},
                    {"build", &HostConnection::Build},
                };
            auto handler = handlers.find(name);
            if (handler == handlers.end()) {
                throw RequestError("unknown request \"" + name + "\"");
            }
            Json reply = (this->*handler->second)(request);
            reply["ok"] = true;
            return reply;
        } catch (const std::exception& failure) {
            context_.err << "wisp native-host: " << failure.what() << "\n";
            return ErrorReply(failure.what());
        }
    }

private:
    ParsedCommand Parsed(std::string_view name, std::vector<std::string> positionals,
                         Options options) const {
        ParsedCommand parsed;
        parsed.syntax = &SyntaxOf(name);
        parsed.positionals = std::move(positionals);
        parsed.options = std::move(options);
        parsed.options["quiet"] = "";
        if (std::optional<std::string> root = context_.command.Value("root")) {
            parsed.options["root"] = *root;
        }
        return parsed;
    }

    // Runs one of the wisp command's commands; what it warned about goes with the reply.
    Json RunCommand(std::string_view name, std::vector<std::string> positionals,
                    Options options = {}) {
        ParsedCommand parsed = Parsed(name, std::move(positionals), std::move(options));
        std::ostringstream out;
        std::ostringstream err;
        CommandContext call{context_.settings, context_.files, context_.module, out, err, parsed};
        HandlerOf(name)(call);
        return Warnings(err.str());
    }

    static Json Warnings(const std::string& text) {
        Json reply = Json::object();
        Json warnings = Json::array();
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            warnings.push_back(line.rfind("wisp: ", 0) == 0 ? line.substr(6) : line);
        }
        if (!warnings.empty()) {
            reply["warnings"] = warnings;
        }
        return reply;
    }

    static Options BookOption(const Json& request) {
        Options options;
        if (std::optional<std::string> book = OptionalText(request, "book")) {
            options["book"] = *book;
        }
        return options;
    }

    Json Books(const Json&) {
        SilentCall call(context_, Parsed("books", {}, {}));
        OpenedLibrary library(call, LibraryUse::Read);
        Json reply{{"root", library.Root()}, {"books", Json::array()}, {"current", nullptr}};
        // A library not made yet has no books; the panel offers to make one.
        if (!context_.files.IsFolder(library.Root())) {
            return reply;
        }
        library.LoadBookList();
        const MemorySortedBookList& list = library.List();
        for (const std::string& book : list.Entries()) {
            reply["books"].push_back(book);
        }
        if (std::optional<std::size_t> current = list.GetSelection()) {
            reply["current"] = list.GetText(*current);
        }
        return reply;
    }

    Json Use(const Json& request) { return RunCommand("use", {Text(request, "book")}); }

    Json NewBook(const Json& request) { return RunCommand("new-book", {Text(request, "name")}); }

    // The book manager's rename and delete, on an in-memory list as the dialog's.
    template <typename Work>
    void ManageBook(const std::string& book, Work work) {
        SilentCall call(context_, Parsed("books", {}, {}));
        std::string root = call.LibraryRoot();
        MemoryBookManagerList list;
        std::unique_ptr<IShellFileOperations> shell = CreateNativeShellFileOperations();
        ScriptedPrompts prompts;
        NoFolderChooser chooser;
        CBookManager manager(BookManagerPorts{list, context_.files, *shell, prompts, chooser});
        manager.SetRoot(root);
        manager.FillBookList();
        const std::vector<std::string>& entries = list.Entries();
        auto found = std::find(entries.begin(), entries.end(), book);
        if (found == entries.end()) {
            throw CommandFailure("no book " + Quoted(book) + " in " + Quoted(root));
        }
        std::size_t index = static_cast<std::size_t>(found - entries.begin());
        manager.SelectListItem(index);
        work(manager, prompts, index, root);
        if (!prompts.shown.empty() && prompts.shown.back().style != PromptStyle::YesNo) {
            throw CommandFailure(prompts.shown.back().text);
        }
    }

    Json RenameBook(const Json& request) {
        std::string book = Text(request, "book");
        std::string name = Text(request, "name");
        ManageBook(book, [&](CBookManager& manager, ScriptedPrompts&, std::size_t index,
                             const std::string& root) {
            if (std::optional<std::string_view> refusal = CheckBookName(name)) {
                throw CommandFailure(std::string(*refusal));
            }
            if (name != book && context_.files.IsFolder(JoinPath(root, name))) {
                throw CommandFailure(Quoted(JoinPath(root, name)) + " exists already");
            }
            manager.OnBookLabelEdit(index, name);
            if (!context_.files.IsFolder(JoinPath(root, name))) {
                throw CommandFailure("cannot rename the book " + Quoted(book));
            }
        });
        return Json::object();
    }

    Json DeleteBook(const Json& request) {
        std::string book = Text(request, "book");
        // The panel asked the reader the book manager's question before sending this.
        ManageBook(book, [&](CBookManager& manager, ScriptedPrompts& prompts, std::size_t,
                             const std::string& root) {
            prompts.answers.push_back(PromptAnswer::Yes);
            manager.OnDelete();
            if (context_.files.IsFolder(JoinPath(root, book))) {
                throw CommandFailure("cannot delete the book " + Quoted(book));
            }
        });
        return Json::object();
    }

    Json Root(const Json& request) {
        Json reply = Json::object();
        if (std::optional<std::string> path = OptionalText(request, "path")) {
            reply = RunCommand("root", {*path});
        }
        SilentCall call(context_, Parsed("root", {}, {}));
        reply["root"] = call.LibraryRoot();
        return reply;
    }

    // One folder's items, read as the bar reads a folder on its first opening; a long folder
    // comes in pages that each keep the reply under the browsers' limit.
    Json List(const Json& request) {
        SilentCall call(context_, Parsed("tree", {}, BookOption(request)));
        OpenedLibrary library(call, LibraryUse::Read);
        std::string book = library.ChooseBook();
        library.ShowBook(book);
        TreeItem item =
            library.FindItem(library.NamesInBook(OptionalText(request, "path").value_or("")));
        if (library.Tree().KindOf(item) != kFolderItem) {
            throw CommandFailure(Quoted(library.Tree().LabelOf(item)) + " is a page, not a folder");
        }
        library.Control().Expand(item);
        std::vector<TreeItem> children = library.Control().Children(item);
        std::size_t offset = 0;
        if (request.contains("offset")) {
            if (!request["offset"].is_number_unsigned()) {
                throw RequestError("\"offset\" must be a number");
            }
            offset = request["offset"].get<std::size_t>();
        }
        Json items = Json::array();
        std::size_t size = 0;
        std::size_t index = offset;
        for (; index < children.size(); ++index) {
            Json entry{{"name", library.Tree().LabelOf(children[index])},
                       {"kind",
                        library.Tree().KindOf(children[index]) == kFolderItem ? "folder" : "page"}};
            size += Dump(entry).size() + 1;
            if (size > kMostReplyBytes - kReplyMargin && !items.empty()) {
                break;
            }
            items.push_back(std::move(entry));
        }
        Json reply{{"book", book}, {"items", std::move(items)}};
        if (index < children.size()) {
            reply["next"] = index;
        }
        return reply;
    }

    Json Mkdir(const Json& request) {
        return RunCommand("mkdir", {Text(request, "path")}, BookOption(request));
    }

    Json Rename(const Json& request) {
        return RunCommand("rename", {Text(request, "path"), Text(request, "name")},
                          BookOption(request));
    }

    Json Delete(const Json& request) {
        return RunCommand("rm", {Text(request, "path")}, BookOption(request));
    }

    // Saves a page into the book's folder through the capture the commands use; the reply
    // names the page inside the book.
    Json SavePage(const Json& request, const CapturedPage& page) {
        ParsedCommand parsed = Parsed("paste", {}, BookOption(request));
        std::ostringstream out;
        std::ostringstream err;
        CommandContext call{context_.settings, context_.files, context_.module, out, err, parsed};
        std::optional<std::string> folder = OptionalText(request, "folder");
        if (folder && folder->empty()) {
            folder.reset();
        }
        TargetFolder target = ResolveTargetFolder(call, std::nullopt, folder, LibraryUse::Write);
        std::string path = SaveCapturedPage(call, target, page);
        std::string bookFolder = JoinPath(target.root, target.book);
        std::string inBook = path.substr(bookFolder.size() + 1);
        Json reply = Warnings(err.str());
        reply["book"] = target.book;
        reply["page"] = inBook;
        reply["file"] = path;
        return reply;
    }

    Json Save(const Json& request) {
        std::string title = Text(request, "title");
        if (std::optional<std::string_view> refused = CheckPageTitle(title)) {
            throw CommandFailure(std::string(*refused));
        }
        MessagePageSource source(request);
        CapturedPage page;
        page.title = title;
        page.sourceUrl = source.Url();
        if (request.contains("selection")) {
            std::optional<std::string> composed =
                ComposeSelectionPage(source, title, *CreateNativeUrlCombiner());
            page.html = composed.value_or("");
        } else {
            Text(request, "html");  // a page without its document would be saved empty
            page.html = ComposeWholePage(source);
        }
        page.html =
            AddPageMetadata(std::move(page.html), OptionalText(request, "keywords").value_or(""),
                            OptionalText(request, "description").value_or(""));
        return SavePage(request, page);
    }

    // HTML pasted or dropped into a folder of the tree; a drop brings the name the reader
    // gave the new item in place.
    Json Paste(const Json& request) {
        CapturedPage page;
        page.html = Text(request, "html");
        page.sourceUrl = OptionalText(request, "url").value_or("");
        if (std::optional<std::string> name = OptionalText(request, "name")) {
            std::optional<std::string_view> refusal = CheckItemName(*name);
            if (!refusal && !IsSingleEntryName(*name)) {
                refusal = kInvalidItemNameMessage;
            }
            if (refusal) {
                throw CommandFailure(std::string(*refusal));
            }
            page.title = *name;
        } else {
            page.title = PastedPageTitle(OptionalText(request, "title").value_or(""));
        }
        return SavePage(request, page);
    }

    // Where a page of the book is on disk, for the panel to open it: its file address, or with
    // "served" its address on the loopback server, which lives as long as this connection.
    Json Locate(const Json& request) {
        SilentCall call(context_, Parsed("tree", {}, BookOption(request)));
        OpenedLibrary library(call, LibraryUse::Read);
        library.ShowBook(library.ChooseBook());
        TreeItem item = library.FindItem(library.NamesInBook(Text(request, "path")));
        std::string file = library.Tree().GetItemPath(item);
        Json reply{{"file", file}, {"url", "file://" + PercentEncodePath(file)}};
        auto served = request.find("served");
        if (served != request.end() && served->is_boolean() && served->get<bool>()) {
            if (!server_ || server_->Root() != library.Root()) {
                server_ = std::make_unique<LibraryServer>(library.Root());
            }
            std::optional<std::string> base = server_->Start();
            if (!base) {
                throw CommandFailure("cannot serve the library on the loopback interface");
            }
            reply["url"] = *base + PercentEncodePath(file.substr(library.Root().size() + 1));
        }
        return reply;
    }

    Json Build(const Json& request) {
        SilentCall call(context_, Parsed("build", {}, BookOption(request)));
        OpenedLibrary library(call, LibraryUse::Read);
        std::string book = library.ChooseBook();
        std::string bookAndFolder = book;
        if (std::optional<std::string> folder = OptionalText(request, "folder");
            folder && !folder->empty()) {
            bookAndFolder += "/" + *folder;
        }
        Options options;
        std::string format = OptionalText(request, "format").value_or("chm");
        options["format"] = format;
        // The browser starts the host in a folder of its own: a bare name goes home.
        std::string output = OptionalText(request, "output").value_or(book + "." + format);
        std::string home = UserHomeFolder();
        if (!output.empty() && output[0] != '/' && !home.empty()) {
            output = JoinPath(home, output);
        }
        options["output"] = output;
        Json reply = RunCommand("build", {bookAndFolder}, std::move(options));
        reply["output"] = output;
        return reply;
    }

    CommandContext& context_;
    std::unique_ptr<LibraryServer> server_;
};

}  // namespace

bool ServeNativeMessages(CommandContext& context, int inFd, int outFd) {
    HostConnection connection(context);
    for (;;) {
        ReadFrame frame = ReadMessage(inFd);
        if (frame.status == ReadFrame::Status::End) {
            return true;
        }
        if (frame.status == ReadFrame::Status::Broken) {
            context.err << "wisp native-host: the message stream ended inside a message\n";
            return false;
        }
        Json reply;
        Json request;
        if (frame.status == ReadFrame::Status::TooLarge) {
            reply = ErrorReply("the message is larger than 64 MiB");
        } else {
            request = Json::parse(frame.body, nullptr, false);
            reply = request.is_discarded() ? ErrorReply("the message is not JSON")
                                           : connection.Answer(request);
        }
        if (request.is_object() && request.contains("id")) {
            reply["id"] = request["id"];
        }
        std::string text = Dump(reply);
        if (text.size() >= kMostReplyBytes) {
            Json tooLarge = ErrorReply("the reply would pass 1 MiB");
            if (request.is_object() && request.contains("id")) {
                tooLarge["id"] = request["id"];
            }
            text = Dump(tooLarge);
        }
        if (!WriteMessage(outFd, text)) {
            context.err << "wisp native-host: cannot write a reply\n";
            return false;
        }
    }
}

void RunNativeHost(CommandContext& context) {
    // Replies go to the descriptor the browser reads; anything else that would reach standard
    // output (a child program's chatter) goes to standard error instead of into the stream.
    FileDescriptor replies(::dup(STDOUT_FILENO));
    if (!replies.IsOpen() || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        throw CommandFailure("cannot set up the reply stream");
    }
    ::signal(SIGPIPE, SIG_IGN);
    if (!ServeNativeMessages(context, STDIN_FILENO, replies.get())) {
        throw CommandFailure("the browser's message stream broke off");
    }
}

}  // namespace wisp::cli
