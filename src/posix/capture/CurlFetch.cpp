#include "posix/capture/CurlFetch.h"

#include <curl/curl.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "core/text/ByteSize.h"
#include "core/text/PercentEncoding.h"
#include "posix/platform/FileDescriptor.h"
#include "posix/platform/PosixFiles.h"

#include "posix/platform/Interruption.h"

namespace wisp {
namespace {

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using UniqueEasy = std::unique_ptr<CURL, EasyDeleter>;

void InitializeCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Bytes a browser escapes before it sends an address; a "%" stays, being escaped already.
bool NeedsEscaping(unsigned char c) {
    return c <= 0x20 || c >= 0x7F ||
           std::string_view("\"<>\\^`{|}").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string EscapeBytes(std::string_view text, bool escapePercent) {
    return PercentEncode(text, [escapePercent](unsigned char c) {
        return !NeedsEscaping(c) && !(escapePercent && (c == '%' || c == '?' || c == '#'));
    });
}

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

// libcurl reads a folder named by a file URL as an empty file; only a regular file is a
// resource.
bool NamesSomethingOtherThanAFile(const std::string& requestUrl) {
    std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    char* scheme = nullptr;
    char* path = nullptr;
    bool other = false;
    if (url && curl_url_set(url.get(), CURLUPART_URL, requestUrl.c_str(), 0) == CURLUE_OK &&
        curl_url_get(url.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
        std::string_view(scheme) == "file" &&
        curl_url_get(url.get(), CURLUPART_PATH, &path, CURLU_URLDECODE) == CURLUE_OK) {
        struct stat info {};
        other = ::stat(path, &info) != 0 || !S_ISREG(info.st_mode);
    }
    curl_free(scheme);
    curl_free(path);
    return other;
}

// A temporary file in the destination's folder, removed unless it was renamed into place.
// Its name is short, so that a destination whose name is as long as a name may be still
// gets one.
std::string TemporaryNameBeside(const std::string& destination) {
    std::size_t slash = destination.rfind('/');
    std::string folder =
        slash == std::string::npos ? std::string() : destination.substr(0, slash + 1);
    return folder + ".download-XXXXXX";
}

class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& destination)
        : path_(TemporaryNameBeside(destination)), fd_(::mkstemp(path_.data())) {
        created_ = fd_.IsOpen();
    }
    ~TemporaryFile() {
        if (created_ && !committed_) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool IsOpen() const { return fd_.IsOpen(); }
    int Descriptor() const { return fd_.get(); }

    bool CommitTo(const std::string& destination) {
        // Readable as a file the reader saved, not only by its owner as mkstemp makes it.
        if (::fchmod(fd_.get(), 0644) != 0) {
            return false;
        }
        if (!fd_.Close() || ::rename(path_.c_str(), destination.c_str()) != 0) {
            return false;
        }
        committed_ = true;
        return true;
    }

private:
    std::string path_;
    FileDescriptor fd_;
    bool created_ = false;
    bool committed_ = false;
};

struct FileSink {
    int fd;
    std::size_t limit;
    PageBudget* budget;
    std::size_t written = 0;
    bool tooLarge = false;
    bool overBudget = false;
};

size_t WriteToDescriptor(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<FileSink*>(user);
    const size_t total = size * count;
    sink->tooLarge = total > sink->limit - sink->written;
    sink->overBudget = !sink->tooLarge && sink->budget && !sink->budget->Take(total);
    if (sink->tooLarge || sink->overBudget) {
        return 0;  // anything short of the whole makes libcurl stop with a write error
    }
    sink->written += total;
    return WriteAll(sink->fd, std::string_view(data, total)) ? total : 0;
}

struct MemorySink {
    std::string* body;
    std::size_t limit;
    CURL* handle;
    bool tooLarge = false;
};

size_t WriteToMemory(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<MemorySink*>(user);
    const size_t total = size * count;
    if (sink->body->size() + total > sink->limit) {
        sink->tooLarge = true;
        return 0;  // makes libcurl stop with a write error
    }
    // Room for the length the server announces (within the limit) at once: a large page
    // grown piece by piece is copied over and over, into fresh memory each time.
    curl_off_t announced = 0;
    if (sink->body->empty() &&
        curl_easy_getinfo(sink->handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) ==
            CURLE_OK &&
        announced > 0 && static_cast<std::uint64_t>(announced) <= sink->limit) {
        sink->body->reserve(static_cast<std::size_t>(announced));
    }
    sink->body->append(data, total);
    return total;
}

// Stops a transfer when the reader interrupted the command.
int StopWhenInterrupted(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return Interrupted() ? 1 : 0;
}

void ConfigureTransfer(CURL* handle, const std::string& requestUrl, const FetchOptions& options) {
    curl_easy_setopt(handle, CURLOPT_URL, requestUrl.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https,file");
    // A web server must not be able to redirect a fetch onto the reader's own files.
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, options.maxRedirects);
    curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, options.connectTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, options.minimumBytesPerSecond);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, options.stallSeconds);
    // Compressed answers are unpacked, as a browser does.
    curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "");
    // Time-outs by signal would not be safe with transfers on several threads.
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, StopWhenInterrupted);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    if (!options.cookieFile.empty()) {
        curl_easy_setopt(handle, CURLOPT_COOKIEFILE, options.cookieFile.c_str());
    }
    // Named, so a site's robots.txt and its logs can tell this program's requests apart.
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "Mozilla/5.0 (compatible; Wisp)");
}

// The transfer handle of this thread, as new, but with the connections it keeps open: a
// page's resources come from few servers, and a connection kept saves making one for each.
CURL* ThreadTransfer() {
    thread_local UniqueEasy easy;
    if (easy) {
        curl_easy_reset(easy.get());
    } else {
        easy.reset(curl_easy_init());
    }
    return easy.get();
}

// The handle for a fetch: the thread's, or for a fetch with the page's cookies one of its own
// in `own`, gone with the fetch, so that no later fetch of the thread carries them.
CURL* TransferFor(const FetchOptions& options, UniqueEasy& own) {
    if (options.cookieFile.empty()) {
        return ThreadTransfer();
    }
    own.reset(curl_easy_init());
    return own.get();
}

// Without a fixed total time, a transfer that times out once connected met the stall limit.
bool Connected(CURL* handle) {
    curl_off_t connectTime = 0;
    return curl_easy_getinfo(handle, CURLINFO_CONNECT_TIME_T, &connectTime) == CURLE_OK &&
           connectTime > 0;
}

}  // namespace

std::string_view LimitReason(FetchLimit limit) {
    switch (limit) {
    case FetchLimit::Stall:
        return "stalled";
    case FetchLimit::Document:
    case FetchLimit::Resource:
        return "too large";
    case FetchLimit::Page:
        return "over the page's limit";
    case FetchLimit::None:
        break;
    }
    return {};
}

bool PageBudget::Take(std::size_t bytes) {
    std::size_t left = left_.load();
    do {
        if (bytes > left) {
            return false;
        }
    } while (!left_.compare_exchange_weak(left, left - bytes));
    return true;
}

// A failed transfer's reason in a few words, the same for every address that failed alike, so
// that many failures can be counted by reason.
std::string WhyTransferFailed(CURL* handle, CURLcode result) {
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    if (result == CURLE_HTTP_RETURNED_ERROR && status != 0) {
        switch (status) {
        case 404:
        case 410:
            return "not found";
        case 401:
        case 403:
            return "forbidden";
        default:
            return "HTTP " + std::to_string(status);
        }
    }
    switch (result) {
    case CURLE_FILE_COULDNT_READ_FILE:
        return "not found";
    case CURLE_COULDNT_CONNECT:
        return "refused";
    case CURLE_COULDNT_RESOLVE_HOST:
        return "unknown host";
    case CURLE_OPERATION_TIMEDOUT:
        return std::string(Connected(handle) ? LimitReason(FetchLimit::Stall) : "timed out");
    case CURLE_FILESIZE_EXCEEDED:
        return std::string(LimitReason(FetchLimit::Resource));
    case CURLE_ABORTED_BY_CALLBACK:
        return "interrupted";
    default:
        return curl_easy_strerror(result);
    }
}

std::string RequestUrl(const std::string& url) {
    if (!url.empty() && url.front() == '/') {
        return "file://" + EscapeBytes(url, true);
    }
    return EscapeBytes(url, false);
}

bool FetchToFile(const std::string& url, const std::string& path, const FetchOptions& options,
                 PageBudget* budget, std::string* whyNot) {
    auto fail = [&](std::string reason) {
        if (whyNot) {
            *whyNot = std::move(reason);
        }
        return false;
    };
    if (url.empty() || path.empty() || url.find('\0') != std::string::npos ||
        path.find('\0') != std::string::npos) {
        return fail("no address");
    }
    InitializeCurlOnce();
    UniqueEasy own;
    CURL* handle = TransferFor(options, own);
    if (!handle) {
        return fail("no transfer could start");
    }
    const std::string requestUrl = RequestUrl(url);
    if (NamesSomethingOtherThanAFile(requestUrl)) {
        return fail("not a file");
    }
    TemporaryFile temporary(path);
    if (!temporary.IsOpen()) {
        return fail("cannot write beside the page");
    }
    FileSink sink{temporary.Descriptor(), options.maxResourceBytes, budget};
    ConfigureTransfer(handle, requestUrl, options);
    // A length the server announces past the limit is refused before anything arrives.
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(options.maxResourceBytes));
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteToDescriptor);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &sink);
    const CURLcode result = [&] {
        TransferSlots::Held slot(options.slots.get());
        return curl_easy_perform(handle);
    }();
    if (result != CURLE_OK) {
        if (sink.overBudget) {
            return fail(std::string(LimitReason(FetchLimit::Page)));
        }
        return fail(sink.tooLarge ? std::string(LimitReason(FetchLimit::Resource))
                                  : WhyTransferFailed(handle, result));
    }
    return temporary.CommitTo(path) || fail("cannot write beside the page");
}

Result<FetchedDocument, FetchFailure> FetchToMemory(const std::string& url,
                                                   const FetchOptions& options) {
    auto failure = [](std::string reason, FetchLimit limit = FetchLimit::None) {
        return FetchFailure{{std::move(reason)}, limit};
    };
    if (url.empty() || url.find('\0') != std::string::npos) {
        return failure("no address to fetch");
    }
    InitializeCurlOnce();
    UniqueEasy own;
    CURL* handle = TransferFor(options, own);
    if (!handle) {
        return failure("cannot start a transfer");
    }
    const std::string requestUrl = RequestUrl(url);
    if (NamesSomethingOtherThanAFile(requestUrl)) {
        return failure(url + " is not a file");
    }
    FetchedDocument document;
    ConfigureTransfer(handle, requestUrl, options);
    MemorySink sink{&document.body, options.maxDocumentBytes, handle};
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteToMemory);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &sink);
    char message[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, message);
    const CURLcode result = [&] {
        TransferSlots::Held slot(options.slots.get());
        return curl_easy_perform(handle);
    }();
    if (result != CURLE_OK) {
        long status = 0;
        curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
        if (result == CURLE_HTTP_RETURNED_ERROR && status != 0) {
            return failure("the server answered HTTP " + std::to_string(status));
        }
        if (sink.tooLarge) {
            return failure("the document is larger than " + ByteSizeText(options.maxDocumentBytes),
                           FetchLimit::Document);
        }
        if (result == CURLE_OPERATION_TIMEDOUT && Connected(handle)) {
            return failure("it came slower than " + std::to_string(options.minimumBytesPerSecond) +
                               " bytes a second for " + std::to_string(options.stallSeconds) +
                               (options.stallSeconds == 1 ? " second" : " seconds"),
                           FetchLimit::Stall);
        }
        return failure(message[0] ? message : curl_easy_strerror(result));
    }
    char* contentType = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType) {
        document.contentType = contentType;
    }
    char* effectiveUrl = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &effectiveUrl) == CURLE_OK &&
        effectiveUrl) {
        document.effectiveUrl = effectiveUrl;
    }
    return document;
}

}  // namespace wisp
