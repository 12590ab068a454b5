#include "posix/capture/GumboArena.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <semaphore>
#include <thread>

namespace wisp {
namespace {

// One huge page of the processor's: a block is asked for as one (see Take), so that its first
// touch costs one page fault instead of 512. The faults of fresh blocks were a good part of
// the parsing in a site's crawl.
constexpr std::size_t kBlockSize = 2 * 1024 * 1024;
// A request this large (a long text, the growing list of a large element's children) is a
// malloc of its own, freed when the parser lets it go: the parser grows such a buffer by
// doubling, and an arena would keep every size it went through.
constexpr std::size_t kLarge = 16 * 1024;
// Every piece is preceded by its size, in a header that keeps the piece aligned for any type.
constexpr std::size_t kAlign = alignof(std::max_align_t);

// Blocks of finished parses, kept for the next ones, up to 16 MiB: fresh memory costs a page
// fault at the first touch of each page, more than the parser's own work on it.
class SpareBlocks {
public:
    GumboArena::Block Take() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!blocks_.empty()) {
                GumboArena::Block block = std::move(blocks_.back());
                blocks_.pop_back();
                return block;
            }
        }
        // Aligned to its size, so that the kernel may back it with a huge page; where it does
        // not, the block is as any other memory.
        auto* block = static_cast<std::byte*>(std::aligned_alloc(kBlockSize, kBlockSize));
        if (!block) {
            std::abort();  // as the parser's own malloc would end, on a null it cannot take
        }
        ::madvise(block, kBlockSize, MADV_HUGEPAGE);
        return GumboArena::Block(block);
    }

    // Keeps what it may of `blocks`; the others are freed with the vector.
    void Give(std::vector<GumboArena::Block>& blocks) {
        std::lock_guard<std::mutex> lock(mutex_);
        while (!blocks.empty() && blocks_.size() < kKept) {
            blocks_.push_back(std::move(blocks.back()));
            blocks.pop_back();
        }
    }

private:
    static constexpr std::size_t kKept = 8;
    std::mutex mutex_;
    std::vector<GumboArena::Block> blocks_;
};

SpareBlocks& Spares() {
    static SpareBlocks spares;
    return spares;
}

// Parses under way at once, at most one for each processor: a parse only computes, so more of
// them only hold more blocks at once (a crawl reads pages on as many threads as it has
// transfers) and take the processors from the threads that would use the pages.
class ParseTurn {
public:
    ParseTurn() { Turns().acquire(); }
    ~ParseTurn() { Turns().release(); }
    ParseTurn(const ParseTurn&) = delete;
    ParseTurn& operator=(const ParseTurn&) = delete;

private:
    static std::counting_semaphore<>& Turns() {
        static std::counting_semaphore<> turns(
            static_cast<std::ptrdiff_t>(std::max(2u, std::thread::hardware_concurrency())));
        return turns;
    }
};

std::size_t& SizeBefore(void* block) {
    return *reinterpret_cast<std::size_t*>(static_cast<std::byte*>(block) - sizeof(std::size_t));
}

}  // namespace

// Four words, a multiple of the alignment, the size last: just before the piece's bytes,
// where every piece keeps it.
struct alignas(kAlign) GumboArena::LargePiece {
    LargePiece* previous;
    LargePiece* next;
    std::size_t unused;
    std::size_t size;
};

void GumboArena::BlockFree::operator()(std::byte* block) const {
    std::free(block);
}

GumboArena::GumboArena() : options_(kGumboDefaultOptions) {
    options_.allocator = &GumboArena::Allocate;
    options_.deallocator = &GumboArena::Deallocate;
    options_.userdata = this;
    // Nothing reads the parse errors; recording them allocates for each.
    options_.max_errors = 0;
}

GumboArena::~GumboArena() {
    Spares().Give(blocks_);
    while (large_) {
        LargePiece* next = large_->next;
        std::free(large_);
        large_ = next;
    }
}

GumboOutput* GumboArena::Parse(std::string_view html) {
    ParseTurn turn;
    // Nothing is destroyed piece by piece: the pieces go with the arena.
    return gumbo_parse_with_options(&options_, html.data(), html.size());
}

void* GumboArena::Allocate(void* userdata, std::size_t size) {
    auto& arena = *static_cast<GumboArena*>(userdata);
    const std::size_t rounded = (size + kAlign - 1) / kAlign * kAlign;
    if (rounded >= kLarge) {
        auto* piece = static_cast<LargePiece*>(std::malloc(sizeof(LargePiece) + rounded));
        if (!piece) {
            std::abort();  // as the parser's own malloc would end, on a null it cannot take
        }
        *piece = {nullptr, arena.large_, 0, rounded};
        if (arena.large_) {
            arena.large_->previous = piece;
        }
        arena.large_ = piece;
        return piece + 1;
    }
    const std::size_t whole = kAlign + rounded;
    if (whole > arena.left_) {
        arena.blocks_.push_back(Spares().Take());
        arena.next_ = arena.blocks_.back().get();
        arena.left_ = kBlockSize;
    }
    void* block = arena.next_ + kAlign;
    arena.next_ += whole;
    arena.left_ -= whole;
    SizeBefore(block) = rounded;
    return block;
}

void GumboArena::Deallocate(void* userdata, void* block) {
    if (!block || SizeBefore(block) < kLarge) {
        return;  // a small piece goes with its block
    }
    auto& arena = *static_cast<GumboArena*>(userdata);
    LargePiece* piece = static_cast<LargePiece*>(block) - 1;
    (piece->previous ? piece->previous->next : arena.large_) = piece->next;
    if (piece->next) {
        piece->next->previous = piece->previous;
    }
    std::free(piece);
}

}  // namespace wisp
