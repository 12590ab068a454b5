#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The browsers' native-messaging framing: each message is a 32-bit length in the machine's
// byte order followed by that many bytes of UTF-8 JSON.
namespace wisp::cli {

// A browser sends at most 64 MiB to its host; the host's replies must stay under 1 MiB.
inline constexpr std::size_t kMostRequestBytes = 64u * 1024 * 1024;
inline constexpr std::size_t kMostReplyBytes = 1024u * 1024;

struct ReadFrame {
    enum class Status { Message, End, TooLarge, Broken };
    Status status = Status::End;
    std::string body;  // the message; empty unless status is Message
};

// Reads one message from the descriptor, waiting through short reads. End: the stream ended
// before a message began. TooLarge: the announced length passes `mostBytes`; the body has been
// read and dropped, so the next message can follow. Broken: the stream ended inside a message.
ReadFrame ReadMessage(int fd, std::size_t mostBytes = kMostRequestBytes);

// Writes the length and the message in one piece; false when the descriptor refuses it.
bool WriteMessage(int fd, std::string_view body);

}  // namespace wisp::cli
