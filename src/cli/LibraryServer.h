#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <thread>

// The library served read-only on the loopback interface, for a browser that will not let an
// extension open a saved page's file address. Only GET of regular files below the root, under
// an address prefix no other program can guess; it lives as long as the host's connection.
namespace wisp::cli {

class LibraryServer {
public:
    explicit LibraryServer(std::string root);
    ~LibraryServer();
    LibraryServer(const LibraryServer&) = delete;
    LibraryServer& operator=(const LibraryServer&) = delete;

    // "http://127.0.0.1:PORT/TOKEN/", the root's address; starts serving on the first call.
    // Nullopt when no port can be opened.
    std::optional<std::string> Start();
    const std::string& Root() const { return root_; }

private:
    void Serve();
    void Answer(int connection);

    std::string root_;
    std::string token_;
    std::string base_;
    int listener_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

// The path's names percent-escaped for an address, its slashes kept.
std::string EscapeUrlPath(std::string_view path);

}  // namespace wisp::cli
