#pragma once

#include <gumbo.h>

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

// Memory for one parse. The HTML parser asks for a block for every node, attribute and piece
// of text and gives them all back together, so small ones are cut from large blocks that are
// released at once instead of going through malloc and free one by one.
namespace wisp {

class GumboArena {
public:
    GumboArena();
    ~GumboArena();
    GumboArena(const GumboArena&) = delete;
    GumboArena& operator=(const GumboArena&) = delete;

    // The parsed tree of `html`, which it points into; both live as long as the arena.
    GumboOutput* Parse(std::string_view html);

    // A block the small pieces are cut from, given back with free().
    struct BlockFree {
        void operator()(std::byte* block) const;
    };
    using Block = std::unique_ptr<std::byte, BlockFree>;

private:
    struct LargePiece;

    static void* Allocate(void* arena, std::size_t size);
    static void Deallocate(void* arena, void* block);

    GumboOptions options_;
    std::vector<Block> blocks_;
    std::byte* next_ = nullptr;
    std::size_t left_ = 0;
    LargePiece* large_ = nullptr;  // the large pieces still held, linked both ways
};

}  // namespace wisp
