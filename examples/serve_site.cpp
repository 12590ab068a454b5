// Serves a folder over HTTP on 127.0.0.1 for the demo and the benchmark: prints the port it
// got, then answers until its standard input closes. An optional delay before each answer
// stands in for a distant server.
//
// usage: wisp-example-server FOLDER [--latency-ms N]

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
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
    server.new_task_queue = [] { return new httplib::ThreadPool(32); };
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
        std::ostringstream body;
        body << in.rdbuf();
        response.set_content(body.str(), ContentTypeOf(file).c_str());
    });
    int port = server.bind_to_any_port("127.0.0.1");
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
