#pragma once

#include <memory>
#include <string>
#include <string_view>

// The zip container of an EPUB book: entries are stored in the order they are added.
namespace wisp {

class IEpubArchive {
public:
    virtual ~IEpubArchive() = default;

    // Adds one entry; `compress` false stores it as it is (the "mimetype" entry must be).
    virtual bool AddEntry(std::string_view name, std::string content, bool compress) = 0;

    // Writes the container out; false with the reason in `error` when it cannot be written.
    virtual bool Finish(std::string& error) = 0;
};

// A container written to `path` by this platform's zip library (posix/ only).
std::unique_ptr<IEpubArchive> CreateNativeEpubArchive(std::string_view path);

}  // namespace wisp
