#include "posix/builder/ChmDirectory.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace wisp {
namespace {

std::uint32_t Read32(const unsigned char* at) {
    return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

std::uint64_t Read64(const unsigned char* at) {
    return Read32(at) | (static_cast<std::uint64_t>(Read32(at + 4)) << 32);
}

void Write32(unsigned char* at, std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<unsigned char>(bits >> (8 * i));
    }
}

// Where the fields lie: the file header names the directory, the directory header its chunks.
constexpr std::size_t kDirectoryOffsetField = 0x48;
constexpr std::size_t kFileHeaderSize = 0x58;
constexpr std::size_t kHeaderLengthField = 0x08;
constexpr std::size_t kChunkSizeField = 0x10;
constexpr std::size_t kFirstListingField = 0x20;
constexpr std::size_t kLastListingField = 0x24;
constexpr std::size_t kChunkCountField = 0x2C;
constexpr std::size_t kDirectoryHeaderSize = 0x54;
constexpr std::size_t kChunkPreviousField = 0x0C;
constexpr std::size_t kChunkNextField = 0x10;

}  // namespace

std::string MendListingChain(const std::string& compiledFile) {
    std::fstream file(compiledFile, std::ios::in | std::ios::out | std::ios::binary);
    unsigned char fileHeader[kFileHeaderSize];
    if (!file.read(reinterpret_cast<char*>(fileHeader), sizeof fileHeader) ||
        std::memcmp(fileHeader, "ITSF", 4) != 0) {
        return "it has no compiled help file's header";
    }
    const std::uint64_t directory = Read64(fileHeader + kDirectoryOffsetField);
    unsigned char header[kDirectoryHeaderSize];
    file.seekg(static_cast<std::streamoff>(directory));
    if (!file.read(reinterpret_cast<char*>(header), sizeof header) ||
        std::memcmp(header, "ITSP", 4) != 0) {
        return "it has no directory";
    }
    const std::uint32_t headerLength = Read32(header + kHeaderLengthField);
    const std::uint32_t chunkSize = Read32(header + kChunkSizeField);
    const std::uint32_t chunkCount = Read32(header + kChunkCountField);
    if (chunkSize < 0x20 || chunkSize > (1u << 20) || chunkCount > (1u << 20)) {
        return "its directory header is out of bounds";
    }
    // Each chunk's kind and its neighbours in the chain.
    std::vector<std::int32_t> previous(chunkCount, -2);
    std::vector<std::int32_t> next(chunkCount, -2);
    std::int32_t first = -1;
    std::size_t listings = 0;
    for (std::uint32_t chunk = 0; chunk < chunkCount; ++chunk) {
        unsigned char start[0x14];
        file.seekg(static_cast<std::streamoff>(directory + headerLength +
                                               static_cast<std::uint64_t>(chunk) * chunkSize));
        if (!file.read(reinterpret_cast<char*>(start), sizeof start)) {
            return "its directory is cut short";
        }
        if (std::memcmp(start, "PMGL", 4) != 0) {
            continue;
        }
        ++listings;
        previous[chunk] = static_cast<std::int32_t>(Read32(start + kChunkPreviousField));
        next[chunk] = static_cast<std::int32_t>(Read32(start + kChunkNextField));
        if (previous[chunk] == -1) {
            first = first == -1 ? static_cast<std::int32_t>(chunk) : -2;
        }
    }
    if (first < 0) {
        return "its listing has no single first chunk";
    }
    std::int32_t last = first;
    std::size_t walked = 1;
    while (next[last] != -1) {
        std::int32_t following = next[last];
        if (following < 0 || following >= static_cast<std::int32_t>(chunkCount) ||
            previous[following] != last || ++walked > listings) {
            return "its listing chunks are not one chain";
        }
        last = following;
    }
    if (walked != listings) {
        return "its listing chain leaves chunks out";
    }
    if (static_cast<std::int32_t>(Read32(header + kFirstListingField)) == first &&
        static_cast<std::int32_t>(Read32(header + kLastListingField)) == last) {
        return {};
    }
    Write32(header + kFirstListingField, first);
    Write32(header + kLastListingField, last);
    file.seekp(static_cast<std::streamoff>(directory));
    if (!file.write(reinterpret_cast<const char*>(header), sizeof header) || !file.flush()) {
        return "its directory header cannot be written";
    }
    return {};
}

}  // namespace wisp
