#include "cli/NativeMessaging.h"

#include <cstring>
#include <unistd.h>

#include "posix/platform/PosixFiles.h"
#include "posix/platform/RetryOnInterrupt.h"

namespace wisp::cli {
namespace {

// Reads up to `size` bytes, fewer only at the end of the stream; -1 on an error.
long ReadFully(int fd, char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t got = RetryOnInterrupt([&] { return ::read(fd, data + done, size - done); });
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<long>(done);
}

}  // namespace

ReadFrame ReadMessage(int fd, std::size_t mostBytes) {
    ReadFrame frame;
    char header[4];
    long got = ReadFully(fd, header, sizeof header);
    if (got == 0) {
        frame.status = ReadFrame::Status::End;
        return frame;
    }
    if (got != static_cast<long>(sizeof header)) {
        frame.status = ReadFrame::Status::Broken;
        return frame;
    }
    std::uint32_t length = 0;
    std::memcpy(&length, header, sizeof length);
    if (length > mostBytes) {
        // Dropped a piece at a time, never held whole.
        char discard[65536];
        std::size_t left = length;
        while (left > 0) {
            std::size_t piece = left < sizeof discard ? left : sizeof discard;
            if (ReadFully(fd, discard, piece) != static_cast<long>(piece)) {
                frame.status = ReadFrame::Status::Broken;
                return frame;
            }
            left -= piece;
        }
        frame.status = ReadFrame::Status::TooLarge;
        return frame;
    }
    frame.body.resize(length);
    if (ReadFully(fd, frame.body.data(), length) != static_cast<long>(length)) {
        frame.body.clear();
        frame.status = ReadFrame::Status::Broken;
        return frame;
    }
    frame.status = ReadFrame::Status::Message;
    return frame;
}

bool WriteMessage(int fd, std::string_view body) {
    std::uint32_t length = static_cast<std::uint32_t>(body.size());
    std::string frame(sizeof length, '\0');
    std::memcpy(frame.data(), &length, sizeof length);
    frame.append(body);
    return WriteAll(fd, frame);
}

}  // namespace wisp::cli
