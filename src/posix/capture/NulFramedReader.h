#pragma once

#include <optional>
#include <string>
#include <string_view>

// The browser's debugging pipe carries messages each ended by a NUL byte; reads split and join
// them at any byte, so the bytes are gathered here until a whole message is there.
namespace wisp {

class NulFramedReader {
public:
    void Append(std::string_view bytes) { buffer_.append(bytes); }

    // The next whole message without its NUL; nullopt until one has arrived in full.
    std::optional<std::string> Next();

private:
    std::string buffer_;
    std::size_t start_ = 0;     // where the first message not yet taken begins
    std::size_t searched_ = 0;  // bytes before this hold no NUL after start_
};

}  // namespace wisp
