#include "cli/NativeHost.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <signal.h>
#include <sstream>
#include <unistd.h>

#include "cli/BookRequests.h"
#include "cli/BuildCommand.h"
#include "cli/Commands.h"
#include "cli/IndexUpdates.h"
#include "cli/LibraryServer.h"
#include "cli/NativeMessaging.h"
#include "cli/OpenedLibrary.h"
#include "cli/PageCapture.h"
#include "cli/SearchResults.h"
#include "cli/SiteCommand.h"
#include "core/app/BookItems.h"
#include "core/app/Books.h"
#include "core/library/BookListing.h"
#include "core/library/LibraryNaming.h"
#include "core/library/NameChecks.h"
#include "core/text/PercentEncoding.h"
#include "posix/capture/BrowserResponses.h"
#include "posix/capture/LivePage.h"
#include "posix/library/BuildSparingFileSystem.h"
#include "posix/platform/FileDescriptor.h"
#include "posix/platform/XdgFolders.h"

namespace wisp::cli {
namespace {

using Json = nlohmann::json;

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

// A whole number field of the request within [least, most]; `fallback` when it is missing.
long long Number(const Json& request, const char* key, long long least, long long most,
                 long long fallback) {
    auto found = request.find(key);
    if (found == request.end() || found->is_null()) {
        return fallback;
    }
    if (!found->is_number_integer() || found->get<long long>() < least ||
        found->get<long long>() > most) {
        throw RequestError(std::string("\"") + key + "\" is a whole number from " +
                           std::to_string(least) + " to " + std::to_string(most));
    }
    return found->get<long long>();
}

// A list of texts of the request; empty when it is missing.
std::vector<std::string> Texts(const Json& request, const char* key) {
    auto found = request.find(key);
    if (found == request.end() || found->is_null()) {
        return {};
    }
    if (!found->is_array() || !std::all_of(found->begin(), found->end(),
                                           [](const Json& item) { return item.is_string(); })) {
        throw RequestError(std::string("\"") + key + "\" must be a list of strings");
    }
    return found->get<std::vector<std::string>>();
}

// A yes-or-no field of the request: yes only when it is the JSON value true.
bool Flag(const Json& request, const char* key) {
    auto found = request.find(key);
    return found != request.end() && found->is_boolean() && found->get<bool>();
}

// The reader's session with the page's site, as the extension sends it ("cookies", as the
// browser lists them), for the resources fetched again; none when the request has none.
std::unique_ptr<BrowserResponses> ReadersSession(const Json& request) {
    auto cookies = request.find("cookies");
    if (cookies == request.end() || !cookies->is_array() || cookies->empty()) {
        return nullptr;
    }
    Result<std::unique_ptr<BrowserResponses>> made = BrowserResponses::Create();
    if (!made) {
        return nullptr;  // fetched without them, as before the reader's session mattered
    }
    (*made)->KeepCookies(*cookies);
    return std::move(*made);
}

// A page refused because its name is taken: the panel asks the reader what to do.
struct TakenFailure : CommandFailure {
    using CommandFailure::CommandFailure;
};

// What the request says to do when the page's name is taken: refuse unless told.
TakenPage TakenPolicy(const Json& request) {
    std::optional<std::string> taken = OptionalText(request, "taken");
    if (!taken || *taken == "refuse") {
        return TakenPage::Refuse;
    }
    if (*taken == "replace") {
        return TakenPage::Replace;
    }
    if (*taken == "keepBoth") {
        return TakenPage::KeepBoth;
    }
    throw RequestError("\"taken\" is \"refuse\", \"replace\" or \"keepBoth\"");
}

// The warnings of an outcome, for the reply; throws the outcome's message for one not done.
Json Reply(const Outcome& outcome) {
    Json reply = Json::object();
    if (!outcome.warnings.empty()) {
        reply["warnings"] = outcome.warnings;
    }
    Require(outcome);
    return reply;
}

// One connection's answers to the extension's requests, by the command's own rules.
class HostConnection {
public:
    // `notify` sends a message about the request in hand before its reply.
    HostConnection(CommandContext& context, std::function<void(Json)> notify)
        : context_(context), notify_(std::move(notify)) {}

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
                    {"saveSite", &HostConnection::SaveSite},
                    {"paste", &HostConnection::Paste},
                    {"locate", &HostConnection::Locate},
                    {"build", &HostConnection::Build},
                    {"search", &HostConnection::Search},
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
            Json reply = ErrorReply(failure.what());
            if (dynamic_cast<const TakenFailure*>(&failure)) {
                reply["taken"] = true;
            }
            return reply;
        }
    }

private:
    // The book a request names, else the current one.
    BookPlace Book(OpenedLibrary& library, const Json& request) {
        return library.ChooseBook(OptionalText(request, "book"));
    }

    Json Books(const Json&) {
        OpenedLibrary library(context_, LibraryUse::Read);
        Json reply{{"root", library.Root()}, {"books", Json::array()}, {"current", nullptr}};
        // A library not made yet has no books; the panel offers to make one.
        if (!context_.files.IsFolder(library.Root())) {
            return reply;
        }
        BookShelf shelf = library.LoadBooks();
        reply["books"] = shelf.books;
        if (!shelf.current.empty()) {
            reply["current"] = shelf.current;
        }
        return reply;
    }

    Json Use(const Json& request) {
        UseBook(context_, Text(request, "book"));
        return Json::object();
    }

    Json NewBook(const Json& request) {
        MakeNewBook(context_, Text(request, "name"));
        return Json::object();
    }

    Json RenameBook(const Json& request) {
        RenameLibraryBook(context_, Text(request, "book"), Text(request, "name"));
        return Json::object();
    }

    Json DeleteBook(const Json& request) {
        // The panel asked the reader the book manager's question before sending this.
        RemoveLibraryBook(context_, Text(request, "book"), false);
        return Json::object();
    }

    Json Root(const Json& request) {
        if (std::optional<std::string> path = OptionalText(request, "path")) {
            if (path->empty()) {
                throw CommandFailure("the library root cannot be empty");
            }
            StoreLibraryRoot(context_, *path);
        }
        return Json{{"root", context_.LibraryRoot()}};
    }

    // One folder's items as the bar lists a folder on its first opening; a long folder comes
    // in pages that each keep the reply under the browsers' limit.
    Json List(const Json& request) {
        OpenedLibrary library(context_, LibraryUse::Read);
        BookPlace place = Book(library, request);
        LocatedEntry folder =
            library.Locate(place, OptionalText(request, "path").value_or(""), kFolderItem);
        // A build at work in another process keeps its project files.
        BuildSparingFileSystem files(context_.files);
        std::vector<BookEntry> entries =
            ListBookItems(files, folder.path, true).value_or(std::vector<BookEntry>{});
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
        for (; index < entries.size(); ++index) {
            Json entry{{"name", entries[index].name},
                       {"kind", entries[index].kind == kFolderItem ? "folder" : "page"}};
            size += Dump(entry).size() + 1;
            if (size > kMostReplyBytes - kReplyMargin && !items.empty()) {
                break;
            }
            items.push_back(std::move(entry));
        }
        Json reply{{"book", place.book}, {"items", std::move(items)}};
        if (index < entries.size()) {
            reply["next"] = index;
        }
        return reply;
    }

    Json Mkdir(const Json& request) {
        OpenedLibrary library(context_, LibraryUse::Write);
        return Reply(CreateFolderInBook(context_.files, Book(library, request), Text(request, "path")));
    }

    Json Rename(const Json& request) {
        OpenedLibrary library(context_, LibraryUse::Write);
        BookPlace place = Book(library, request);
        IndexedLibraryChanges changes(place.root);
        return Reply(RenameInBook(*shell_, context_.files, place, Text(request, "path"),
                                  Text(request, "name"), &changes));
    }

    Json Delete(const Json& request) {
        OpenedLibrary library(context_, LibraryUse::Write);
        BookPlace place = Book(library, request);
        IndexedLibraryChanges changes(place.root);
        return Reply(DeleteInBook(context_.files, *shell_, place, Text(request, "path"),
                                  Removal::ToRecycleArea, &changes));
    }

    // The folder of the book a page is saved into, the book's own when the request names none.
    std::pair<BookPlace, std::string> SaveFolder(const Json& request) {
        OpenedLibrary library(context_, LibraryUse::Write);
        BookPlace place = Book(library, request);
        return {place, library.FolderToWriteIn(place, OptionalText(request, "folder").value_or(""))};
    }

    // The reply for a saved page names it inside the book; `taken`: refused for its name.
    static Json SavedReply(const BookPlace& place, const Outcome& saved, bool taken) {
        if (taken) {
            throw TakenFailure(saved.message);
        }
        Json reply = Reply(saved);
        const std::string& path = saved.path;
        reply["book"] = place.book;
        reply["page"] = path.substr(place.Folder().size() + 1);
        reply["file"] = path;
        return reply;
    }

    Json Save(const Json& request) {
        std::string title = Text(request, "title");
        bool selection = request.contains("selection");
        if (!selection) {
            Text(request, "html");  // a page without its document would be saved empty
        }
        auto [place, folder] = SaveFolder(request);
        CommandCapture capture(context_);
        ParsedLivePage parsed = ParseLivePage(request, capture.Ports().urlCombiner);
        if (!parsed.page) {
            throw RequestError(parsed.error);
        }
        const IPageSource& source = *parsed.page;
        std::unique_ptr<BrowserResponses> session = ReadersSession(request);
        const CaptureOutcome saved =
            CapturePage({source, selection ? kCollectSelection : kCollectWholePage, folder, title,
                         OptionalText(request, "keywords").value_or(""),
                         OptionalText(request, "description").value_or(""), TakenPolicy(request),
                         place.Folder(),
                         // The document as its scripts left it.
                         Flag(request, "keepScripts") ? PageScripts::Keep : PageScripts::Remove},
                        capture.Ports(session.get()));
        return SavedReply(place, saved.outcome, saved.taken);
    }

    // A site saved from its start page as `wisp collect --follow --static` saves it, each page
    // told as it ends ({"progress": ...}) before the reply's counts.
    Json SaveSite(const Json& request) {
        SiteCapture site;
        site.startUrl = Text(request, "url");
        if (site.startUrl.find("://") == std::string::npos) {
            throw CommandFailure("give the site's address with its scheme, such as https://");
        }
        site.scope.prefix = OptionalText(request, "scope").value_or("");
        site.scope.include = Texts(request, "include");
        site.scope.exclude = Texts(request, "exclude");
        site.depth = static_cast<int>(Number(request, "depth", 0, 1000, site.depth));
        site.maxPages = static_cast<std::size_t>(
            Number(request, "maxPages", 1, 1000000, static_cast<long long>(site.maxPages)));
        site.flat = Flag(request, "flat");
        site.obeyRobots = !Flag(request, "ignoreRobots");
        site.resume = Flag(request, "resume");
        site.taken = TakenPolicy(request);
        auto [place, folder] = SaveFolder(request);
        site.folder = folder;
        site.book = place.Folder();
        int saved = 0;
        int failed = 0;
        site.onPage = [&](const std::string& url, const Outcome& outcome) {
            saved += outcome.IsDone() ? 1 : 0;
            failed += outcome.kind == Outcome::Kind::Failed ? 1 : 0;
            notify_(Json{{"progress", {{"page", url}, {"saved", saved}, {"failed", failed}}}});
        };
        // Pages from their source: the reader's browser has shown the start page already, and
        // a second browser in the background would cost more than it adds to a manual.
        SiteOutcome done = wisp::cli::SaveSite(context_, site, {});
        Json reply = SavedReply(place, done.outcome, done.taken);
        reply["summary"] = SiteCounts(done);
        reply["saved"] = done.saved;
        reply["kept"] = done.kept;
        reply["failed"] = done.failed;
        return reply;
    }

    // HTML pasted or dropped into a folder of the tree; a drop brings the name the reader
    // gave the new item in place.
    Json Paste(const Json& request) {
        std::string html = Text(request, "html");
        auto [place, folder] = SaveFolder(request);
        CommandCapture capture(context_);
        std::unique_ptr<BrowserResponses> session = ReadersSession(request);
        const CaptureOutcome saved =
            SavePastedPage({html, OptionalText(request, "url").value_or(""), folder,
                            OptionalText(request, "title").value_or(""),
                            OptionalText(request, "name"), TakenPolicy(request), place.Folder()},
                           capture.Ports(session.get()));
        return SavedReply(place, saved.outcome, saved.taken);
    }

    // Where a page of the book is on disk, for the panel to open it: its file address, or with
    // "served" its address on the loopback server, which lives as long as this connection.
    Json Locate(const Json& request) {
        OpenedLibrary library(context_, LibraryUse::Read);
        std::string file = library.Locate(Book(library, request), Text(request, "path")).path;
        Json reply{{"file", file}, {"url", "file://" + PercentEncodePath(file)}};
        if (Flag(request, "served")) {
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
        OpenedLibrary library(context_, LibraryUse::Read);
        std::string book = Book(library, request).book;
        std::string bookAndFolder = book;
        if (std::optional<std::string> folder = OptionalText(request, "folder");
            folder && !folder->empty()) {
            bookAndFolder += "/" + *folder;
        }
        std::string format = OptionalText(request, "format").value_or("chm");
        // The book file is where the reader said: a whole path, or a path inside the home
        // folder (the browser starts the host in a folder of its own), which a ".." cannot
        // leave. A file there is replaced only when the reader said so.
        std::filesystem::path output = OptionalText(request, "output").value_or(book + "." + format);
        std::string home = UserHomeFolder();
        if (output.is_relative()) {
            if (home.empty()) {
                throw CommandFailure("give the book file's whole path: no home folder is known");
            }
            output = (std::filesystem::path(home) / output).lexically_normal();
            if (output.lexically_relative(home).string().starts_with("..")) {
                throw CommandFailure("a book file given without its whole path goes into " +
                                     Quoted(home) + ", not above it");
            }
        }
        std::optional<BookFormat> parsed = ParseBookFormat(format);
        if (!parsed) {
            throw RequestError("\"format\" is \"chm\", \"epub\" or \"pdf\"");
        }
        output = OutputWithExtension(output.lexically_normal().string(), *parsed);
        if (!context_.files.IsFolder(output.parent_path().string())) {
            throw CommandFailure("no folder " + Quoted(output.parent_path().string()) +
                                 " for the book file");
        }
        if (!Flag(request, "replace") && context_.files.IsFile(output.string())) {
            throw TakenFailure(Quoted(output.string()) + " exists already");
        }
        LibraryBuild built = BuildFromLibrary(
            context_, bookAndFolder, output.string(),
            {format, OptionalText(request, "title"), OptionalText(request, "language")});
        Json reply = Reply(built.outcome);
        reply["output"] = built.outcome.path;
        return reply;
    }

    // The library's pages that hold the query's words, best first, for the panel's list.
    Json Search(const Json& request) {
        OpenedLibrary library(context_, LibraryUse::Read);
        library.RequireRoot();
        SearchRequest search{Text(request, "query"), OptionalText(request, "book"), 50};
        if (search.book) {
            library.NamedBook(*search.book);
        }
        std::unique_ptr<LibraryIndex> index = OpenLibraryIndex(library.Root());
        return Json{{"hits", HitsJson(SearchLibrary(*index, search), library.Root())}};
    }

    CommandContext& context_;
    std::function<void(Json)> notify_;
    std::unique_ptr<IShellFileOperations> shell_ = CreateNativeShellFileOperations();
    std::unique_ptr<LibraryServer> server_;
};

}  // namespace

bool ServeNativeMessages(CommandContext& context, int inFd, int outFd) {
    // An id goes back as it came only when it is one value: a copy of a structure as deep as
    // the message chose would run out of stack.
    Json id;
    bool hasId = false;
    bool written = true;
    auto send = [&](Json message) {
        if (hasId) {
            message["id"] = id;
        }
        std::string text = Dump(message);
        if (text.size() >= kMostReplyBytes) {
            Json tooLarge = ErrorReply("the reply would pass 1 MiB");
            if (!id.is_null()) {
                tooLarge["id"] = id;
            }
            text = Dump(tooLarge);
        }
        written = written && WriteMessage(outFd, text);
    };
    HostConnection connection(context, send);
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
        id = nullptr;
        hasId = false;
        bool idRefused = false;
        if (frame.status == ReadFrame::Status::TooLarge) {
            reply = ErrorReply("the message is larger than 64 MiB");
        } else {
            request = Json::parse(frame.body, nullptr, false);
            if (request.is_object() && request.contains("id")) {
                hasId = true;
                idRefused = request["id"].is_structured();
                if (!idRefused) {
                    id = request["id"];
                }
            }
            reply = request.is_discarded() ? ErrorReply("the message is not JSON")
                    : idRefused            ? ErrorReply("an id is a number or a string")
                                           : connection.Answer(request);
        }
        send(std::move(reply));
        if (!written) {
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
