#include "posix/capture/BrowserResponseDownloader.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "posix/capture/ProgressAfter.h"
#include "posix/platform/FileDescriptor.h"
#include "posix/platform/PosixFiles.h"

namespace wisp {
namespace {

// Replaces `path` with a copy of the kept file `from`, through a temporary file beside it, as
// a fetch replaces it; on failure `path` is as it was.
bool CopyKeptFile(const std::string& from, const std::string& path) {
    std::optional<std::string> content = ReadFileContent(from);
    if (!content) {
        return false;
    }
    const std::size_t slash = path.rfind('/');
    std::string temporary =
        (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) +
        ".download-XXXXXX";
    FileDescriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0) {
        return false;
    }
    // Readable as a file the reader saved, not only by its owner as mkstemp makes it.
    if (::fchmod(file.get(), 0644) != 0 || !WriteAll(file.get(), *content) || !file.Close() ||
        ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool BrowserResponseDownloader::Download(std::string_view url, std::string_view localPath) {
    if (std::optional<std::string> kept = loaded_.FileOf(url)) {
        return CopyKeptFile(*kept, std::string(localPath));
    }
    return fetching_.Download(url, localPath);
}

std::vector<bool> BrowserResponseDownloader::DownloadAll(const std::vector<std::string>& urls,
                                                         const std::vector<std::string>& paths,
                                                         IDownloadProgress& progress) {
    const std::size_t count = std::min(urls.size(), paths.size());
    std::map<std::string, int> usesOfPath;
    for (std::size_t i = 0; i < count; ++i) {
        ++usesOfPath[paths[i]];
    }
    // A kept answer for a file of its own is copied here, at once; the rest, and entries that
    // share a file (whose order decides what is left), go through the fetching queue, which
    // reads a kept answer as a local file.
    std::vector<bool> done(count, false);
    std::vector<std::size_t> queued;
    std::vector<std::string> sources;
    std::vector<std::string> queuedPaths;
    std::map<std::string, std::string, std::less<>> addressOf;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::optional<std::string> kept = loaded_.FileOf(urls[i]);
        if (kept && usesOfPath[paths[i]] == 1) {
            done[i] = CopyKeptFile(*kept, paths[i]);
            progress.SetCount(++copied, count);
            progress.SetStatus(urls[i]);
            if (done[i]) {
                continue;
            }
        }
        queued.push_back(i);
        sources.push_back(kept && usesOfPath[paths[i]] != 1 ? *kept : urls[i]);
        queuedPaths.push_back(paths[i]);
        if (sources.back() != urls[i]) {
            addressOf.emplace(sources.back(), urls[i]);
        }
    }
    if (queued.empty()) {
        return done;
    }
    ProgressAfter shown(progress, copied, count, std::move(addressOf));
    std::vector<bool> fetched = fetching_.DownloadAll(sources, queuedPaths, shown);
    for (std::size_t q = 0; q < queued.size() && q < fetched.size(); ++q) {
        done[queued[q]] = fetched[q];
    }
    return done;
}

}  // namespace wisp
