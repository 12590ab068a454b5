#include "cli/LibraryServer.h"

#include <fcntl.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "core/text/AsciiCase.h"
#include "posix/platform/PosixFiles.h"

namespace wisp::cli {
namespace {

namespace fs = std::filesystem;

// Each connection holds a worker for as long as it stays open between requests: a browser
// keeps a few open, so the workers are many and the wait for the next request is short, and
// idle connections cannot hold every worker for long.
constexpr std::size_t kWorkers = 32;
constexpr time_t kIdleSeconds = 2;

std::string ContentTypeOf(const fs::path& file) {
    std::string extension = ToLowerAscii(file.extension().string());
    if (extension == ".htm" || extension == ".html") {
        return "text/html";
    }
    if (extension == ".css") {
        return "text/css";
    }
    if (extension == ".js") {
        return "text/javascript";
    }
    if (extension == ".png" || extension == ".gif" || extension == ".jpeg" ||
        extension == ".webp") {
        return "image/" + extension.substr(1);
    }
    if (extension == ".jpg") {
        return "image/jpeg";
    }
    if (extension == ".svg") {
        return "image/svg+xml";
    }
    return "application/octet-stream";
}

}  // namespace

LibraryServer::LibraryServer(std::string root) : root_(std::move(root)) {}

LibraryServer::~LibraryServer() {
    server_.stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::optional<std::string> LibraryServer::Start() {
    if (!base_.empty()) {
        return base_;
    }
    // The listening socket stays out of the programs the host starts (the help compiler).
    server_.set_socket_options([](socket_t socket) {
        int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        ::fcntl(socket, F_SETFD, FD_CLOEXEC);
    });
    server_.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    server_.set_keep_alive_timeout(kIdleSeconds);
    server_.set_read_timeout(kIdleSeconds);
    int port = server_.bind_to_any_port("127.0.0.1");
    if (port <= 0) {
        return std::nullopt;
    }
    // Any program of any user may connect to the loopback port; the token keeps the library
    // to whoever was told the address.
    std::random_device random;
    static const char* const kHex = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 32; ++i) {
        token += kHex[random() & 15];
    }
    server_.Get("/" + token + "/([\\s\\S]*)",
                [this](const httplib::Request& request, httplib::Response& response) {
                    Answer(request.matches[1], response);
                });
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // Stopping a server that has not begun to listen would not stop it.
    for (int wait = 0; wait < 5000 && !server_.is_running(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    base_ = "http://127.0.0.1:" + std::to_string(port) + "/" + token + "/";
    return base_;
}

void LibraryServer::Answer(const std::string& relative, httplib::Response& response) const {
    std::error_code error;
    fs::path root = fs::canonical(root_, error);
    fs::path file = fs::canonical(fs::path(root_) / relative, error);
    std::string inside = file.string();
    // Links inside the library may lead out of it: what is served is checked where it is.
    if (error || root.empty() ||
        inside.compare(0, root.string().size() + 1, root.string() + "/") != 0 ||
        !fs::is_regular_file(file, error)) {
        response.status = 404;
        return;
    }
    std::optional<std::string> body = ReadFileContent(inside);
    if (!body) {
        response.status = 404;
        return;
    }
    response.set_content(*body, ContentTypeOf(file));
}

}  // namespace wisp::cli
