#include "cli/LibraryServer.h"

#include <arpa/inet.h>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

#include "core/text/PercentEncoding.h"

namespace wisp::cli {
namespace {

namespace fs = std::filesystem;

std::string ContentTypeOf(const fs::path& file) {
    std::string extension = file.extension().string();
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
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

void SendAll(int connection, std::string_view data) {
    while (!data.empty()) {
        ssize_t sent = ::send(connection, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return;
        }
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
}

void SendStatus(int connection, const char* status) {
    SendAll(connection, std::string("HTTP/1.0 ") + status +
                            "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
}

}  // namespace

std::string EscapeUrlPath(std::string_view path) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string escaped;
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            escaped += static_cast<char>(c);
        } else {
            escaped += '%';
            escaped += kHex[c >> 4];
            escaped += kHex[c & 15];
        }
    }
    return escaped;
}

LibraryServer::LibraryServer(std::string root) : root_(std::move(root)) {}

LibraryServer::~LibraryServer() {
    stopping_ = true;
    if (listener_ >= 0) {
        ::shutdown(listener_, SHUT_RDWR);
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    if (listener_ >= 0) {
        ::close(listener_);
    }
}

std::optional<std::string> LibraryServer::Start() {
    if (!base_.empty()) {
        return base_;
    }
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) {
        return std::nullopt;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(listener_);
        listener_ = -1;
        return std::nullopt;
    }
    // Any program of any user may connect to the loopback port; the token keeps the library
    // to whoever was told the address.
    std::random_device random;
    static const char* const kHex = "0123456789abcdef";
    for (int i = 0; i < 32; ++i) {
        token_ += kHex[random() & 15];
    }
    base_ = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/" + token_ + "/";
    thread_ = std::thread([this] { Serve(); });
    return base_;
}

void LibraryServer::Serve() {
    while (!stopping_) {
        int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            if (stopping_ || errno != EINTR) {
                return;
            }
            continue;
        }
        timeval timeout{5, 0};
        ::setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        Answer(connection);
        ::close(connection);
    }
}

void LibraryServer::Answer(int connection) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n") == std::string::npos && request.size() < 16384) {
        ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0) {
            return;
        }
        request.append(buffer, static_cast<std::size_t>(got));
    }
    std::string line = request.substr(0, request.find("\r\n"));
    std::string prefix = "GET /" + token_ + "/";
    std::size_t end = line.rfind(' ');
    if (line.compare(0, prefix.size(), prefix) != 0 || end == std::string::npos ||
        end < prefix.size()) {
        SendStatus(connection, "404 Not Found");
        return;
    }
    std::string relative = line.substr(prefix.size(), end - prefix.size());
    relative = PercentDecode(relative.substr(0, relative.find_first_of("?#")));
    std::error_code error;
    fs::path root = fs::canonical(root_, error);
    fs::path file = fs::canonical(fs::path(root_) / relative, error);
    std::string inside = file.string();
    // Links inside the library may lead out of it: what is served is checked where it is.
    if (error || root.empty() ||
        inside.compare(0, root.string().size() + 1, root.string() + "/") != 0 ||
        !fs::is_regular_file(file, error)) {
        SendStatus(connection, "404 Not Found");
        return;
    }
    std::ifstream in(file, std::ios::binary);
    std::string body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SendAll(connection, "HTTP/1.0 200 OK\r\nContent-Type: " + ContentTypeOf(file) +
                            "\r\nContent-Length: " + std::to_string(body.size()) +
                            "\r\nConnection: close\r\n\r\n");
    SendAll(connection, body);
}

}  // namespace wisp::cli
