#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <semaphore>
#include <string>
#include <string_view>

#include "posix/platform/Result.h"

// One transfer: an address fetched into one file. Safe to run on several threads at once,
// each transfer with its own destination.
namespace wisp {

// Transfers that may run at once, shared by the fetches given them: a crawl's page reads and
// its resource fetches keep together to the one bound the reader gave.
class TransferSlots {
public:
    explicit TransferSlots(std::size_t count) : free_(static_cast<std::ptrdiff_t>(count)) {}
    // Waits for a slot and holds it while the holder lives.
    class Held {
    public:
        explicit Held(TransferSlots* slots) : slots_(slots) {
            if (slots_) {
                slots_->free_.acquire();
            }
        }
        ~Held() {
            if (slots_) {
                slots_->free_.release();
            }
        }
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;

    private:
        TransferSlots* slots_;
    };

private:
    std::counting_semaphore<> free_;
};

// Limits no real page meets, that bound what a hostile server can cost. There is no fixed
// total time: a transfer that keeps moving may take as long as it needs, up to its size.
struct FetchOptions {
    long connectTimeoutSeconds = 15;
    // A transfer gives up when it moves slower than minimumBytesPerSecond for this long; one
    // that has stalled (nothing arrives) first of all.
    long stallSeconds = 30;
    long maxRedirects = 10;
    // A document read into memory larger than this is refused.
    std::size_t maxDocumentBytes = 64 * 1024 * 1024;
    // A resource saved to a file larger than this is refused and its partial file removed;
    // the bytes are counted as they arrive, unpacked (a small compressed answer can unpack
    // into a huge one).
    std::size_t maxResourceBytes = 256 * 1024 * 1024;
    long minimumBytesPerSecond = 512;
    // What the resources of one page may take together.
    std::size_t maxPageBytes = 1024u * 1024 * 1024;
    // A cookie file (libcurl's Netscape format) whose cookies go with each request; none when
    // empty. Nothing is written back to it.
    std::string cookieFile{};
    // The slots the transfer takes one of while it runs; none, no bound but the caller's.
    std::shared_ptr<TransferSlots> slots{};
};

// The limits of FetchOptions that can end a transfer, so that a message can name the one that
// did and the reader can raise it.
enum class FetchLimit { None, Stall, Document, Resource, Page };

// The few words FetchToFile gives as the reason when `limit` ended a transfer.
std::string_view LimitReason(FetchLimit limit);

// The bytes the transfers of one page may still take, shared by them all.
class PageBudget {
public:
    explicit PageBudget(std::size_t bytes) : left_(bytes) {}
    // Takes `bytes` from what is left; false, taking nothing, when less is left.
    bool Take(std::size_t bytes);

private:
    std::atomic<std::size_t> left_;
};

// Why a document could not be read into memory, and the limit that ended it, if one did.
struct FetchFailure : Failure {
    FetchLimit limit = FetchLimit::None;
    // What the address gave, when it was read whole and was something other than a page.
    std::optional<std::string> notAPage{};
};

// A document read into memory, with what the server said of it.
struct FetchedDocument {
    std::string body;
    std::string contentType;   // empty when the server named none (and for files)
    std::string effectiveUrl;  // the address after redirects
};

// Fetches `url` (http, https or file URL, or an absolute local path) into `path`. The data
// goes to a temporary file beside `path` that replaces `path` only when the whole transfer
// succeeded; an HTTP error status counts as a failure. On failure `path` is as it was.
// With a `budget`, every byte that arrives is taken from it, and the transfer stops when it
// runs out. On failure `whyNot`, when given, gets the reason in a few words ("not found",
// "timed out", "refused", or a limit's LimitReason).
bool FetchToFile(const std::string& url, const std::string& path, const FetchOptions& options = {},
                 PageBudget* budget = nullptr, std::string* whyNot = nullptr);

// The address as it is sent: a local path becomes a file URL, and the bytes a browser escapes
// (spaces, quotes, non-ASCII) are escaped.
std::string RequestUrl(const std::string& url);

// Fetches `url` into memory, the way FetchToFile fetches into a file.
Result<FetchedDocument, FetchFailure> FetchToMemory(const std::string& url,
                                                   const FetchOptions& options = {});

}  // namespace wisp
