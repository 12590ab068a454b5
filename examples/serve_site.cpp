// Serves a folder over HTTP on 127.0.0.1 for the demo and the benchmark: prints the port it
// got, then answers until its standard input closes. An optional delay before each answer
// stands in for a distant server.
//
// usage: wisp-example-server FOLDER [--latency-ms N]

#include <httplib.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace {

std::string ContentTypeOf(const std::filesystem::path& file) {
    static const std::map<std::string, std::string> types = {
        {".html", "text/html; charset=utf-8"},
        {".htm", "text/html"},
        {".css", "text/css"},
        {".js", "application/javascript"},
        {".png", "image/png"},
        {".gif", "image/gif"},
        {".jpg", "image/jpeg"},
        {".jpeg", "image/jpeg"},
        {".svg", "image/svg+xml"},
        {".ico", "image/vnd.microsoft.icon"},
        {".webp", "image/webp"},
        {".woff", "font/woff"},
        {".woff2", "font/woff2"},
        {".ttf", "font/ttf"},
        {".json", "application/json"},
        {".txt", "text/plain"},
        {".mp4", "video/mp4"},
        {".zip", "application/zip"},
    };
    auto found = types.find(file.extension().string());
    return found == types.end() ? "application/octet-stream" : found->second;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--latency-ms")) {
        std::fprintf(stderr, "usage: %s FOLDER [--latency-ms N]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::canonical(argv[1]);
    const auto latency = std::chrono::milliseconds(argc == 4 ? std::atoi(argv[3]) : 0);

    httplib::Server server;
    // A worker for each connection a client keeps open, as a production server keeps many
    // idle: at 32, a client with more connections than that waited for one to time out.
    server.new_task_queue = [] { return new httplib::ThreadPool(128); };
    server.Get(".*", [&](const httplib::Request& request, httplib::Response& response) {
        std::this_thread::sleep_for(latency);
        std::filesystem::path file =
            std::filesystem::weakly_canonical(folder / request.path.substr(1));
        std::string inside = file.string();
        if (inside.compare(0, folder.string().size(), folder.string()) != 0 ||
            !std::filesystem::is_regular_file(file)) {
            response.status = 404;
            response.set_content("not found", "text/plain");
            return;
        }
        std::ifstream in(file, std::ios::binary);
        auto body = std::make_shared<std::string>(std::istreambuf_iterator<char>(in),
                                                  std::istreambuf_iterator<char>());
        // Served with its length and as stored, as a plain static server does: the library
        // would otherwise compress every text answer on the fly, which costs more than the
        // transfer itself on loopback.
        response.set_content_provider(
            body->size(), ContentTypeOf(file).c_str(),
            [body](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                sink.write(body->data() + offset, std::min(length, body->size() - offset));
                return true;
            });
    });
    // As a production server does: an answer's head and body go out at once rather than the
    // body waiting for the acknowledgement of the head (which a client delays up to 40 ms on a
    // connection it keeps), and a kept connection serves more than the library's 5 requests.
    // Without this a client that keeps its connections (a browser, wget) pays for the server.
    server.set_tcp_nodelay(true);
    server.set_keep_alive_max_count(100);
    // The library listens with a backlog of 5: a client opening several connections at once
    // would see some dropped and retried a second later. The backlog is raised once bound.
    int listening = -1;
    server.set_socket_options([&listening](int socket) {
        httplib::default_socket_options(socket);
        listening = socket;
    });
    int port = server.bind_to_any_port("127.0.0.1");
    if (port > 0 && listening >= 0) {
        ::listen(listening, SOMAXCONN);
    }
    if (port <= 0) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1\n");
        return 1;
    }
    std::printf("%d\n", port);
    std::fflush(stdout);
    std::thread watcher([&] {
        // Ends when whoever started the server goes away or closes our input.
        while (std::cin.get() != EOF) {
        }
        server.stop();
    });
    server.listen_after_bind();
    watcher.join();
    return 0;
}
