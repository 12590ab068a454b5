#pragma once

#include <httplib.h>

#include <optional>
#include <string>
#include <thread>

// The library served read-only on the loopback interface, for a browser that will not let an
// extension open a saved page's file address. Only GET of regular files below the root, under
// an address prefix no other program can guess; it lives as long as the host's connection.
// Connections are answered by a pool of threads larger than the connections a browser keeps
// open, each idle one closed after a short while, so idle connections delay no page.
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
    void Answer(const std::string& relative, httplib::Response& response) const;

    std::string root_;
    std::string base_;
    httplib::Server server_;
    std::thread thread_;
};

}  // namespace wisp::cli
