#include "posix/capture/DevToolsClient.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "posix/platform/RetryOnInterrupt.h"

namespace wisp {
namespace {

// Milliseconds left until `deadline`, for poll: 0 once it has passed.
int MillisecondsLeft(DevToolsClient::Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                      DevToolsClient::Clock::now());
    return static_cast<int>(std::max<long long>(0, std::min<long long>(left.count(), 60'000)));
}

// Waits until `fd` is ready for `events`; false at the deadline.
bool WaitReady(int fd, short events, DevToolsClient::Clock::time_point deadline) {
    for (;;) {
        pollfd ready = {fd, events, 0};
        int left = 0;
        int got =
            RetryOnInterrupt([&] { return ::poll(&ready, 1, left = MillisecondsLeft(deadline)); });
        if (got > 0) {
            return true;
        }
        if (got < 0) {
            throw DevToolsError(std::string("cannot wait for the browser: ") +
                                std::strerror(errno));
        }
        if (left == 0) {
            return false;
        }
    }
}

}  // namespace

int DevToolsClient::Send(const std::string& method, Json params, const std::string& sessionId,
                         Clock::time_point deadline) {
    const int id = ++lastId_;
    Json command = {{"id", id}, {"method", method}, {"params", std::move(params)}};
    if (!sessionId.empty()) {
        command["sessionId"] = sessionId;
    }
    Write(command.dump(), deadline);
    return id;
}

DevToolsClient::Json DevToolsClient::Call(const std::string& method, Json params,
                                          const std::string& sessionId,
                                          Clock::time_point deadline) {
    const int id = Send(method, std::move(params), sessionId, deadline);
    for (;;) {
        std::optional<Json> message = Receive(deadline);
        if (!message) {
            throw DevToolsTimeout("the browser did not answer " + method + " in time");
        }
        if (!message->contains("id")) {
            if (onEvent_) {
                onEvent_(*message);
            }
            continue;
        }
        if (message->value("id", 0) != id) {
            if (onAnswer_) {
                onAnswer_(message->value("id", 0), *message);
            }
            continue;  // else the late answer of a command given up on
        }
        if (message->contains("error")) {
            throw DevToolsRefusal(method + ": " +
                                (*message)["error"].value("message", std::string("failed")));
        }
        // A page's document comes in the result: moved out, never copied.
        auto result = message->find("result");
        return result == message->end() ? Json::object() : std::move(*result);
    }
}

bool DevToolsClient::WaitForEvent(Clock::time_point deadline) {
    for (;;) {
        std::optional<Json> message = Receive(deadline);
        if (!message) {
            return false;
        }
        if (!message->contains("id")) {
            if (onEvent_) {
                onEvent_(*message);
            }
            return true;
        }
        if (onAnswer_) {
            onAnswer_(message->value("id", 0), *message);
            return true;
        }
    }
}

void DevToolsClient::Write(const std::string& message, Clock::time_point deadline) {
    std::string framed = message;
    framed += '\0';
    std::size_t written = 0;
    while (written < framed.size()) {
        ssize_t put = RetryOnInterrupt(
            [&] { return ::write(to_, framed.data() + written, framed.size() - written); });
        if (put > 0) {
            written += static_cast<std::size_t>(put);
            continue;
        }
        if (put < 0 && errno != EAGAIN) {
            // A browser that ended shows here (its end of the pipe closed) or at the next read,
            // whichever comes first.
            throw DevToolsError("the browser ended");
        }
        if (!WaitReady(to_, POLLOUT, deadline)) {
            throw DevToolsTimeout("the browser did not read a command in time");
        }
    }
}

std::optional<DevToolsClient::Json> DevToolsClient::Receive(Clock::time_point deadline) {
    for (;;) {
        if (std::optional<std::string> text = reader_.Next()) {
            Json message = Json::parse(*text, nullptr, /*allow_exceptions=*/false);
            if (message.is_discarded() || !message.is_object()) {
                throw DevToolsError("the browser sent a message that is not JSON");
            }
            return message;
        }
        char buffer[65536];
        ssize_t got = RetryOnInterrupt([&] { return ::read(from_, buffer, sizeof buffer); });
        if (got > 0) {
            reader_.Append(std::string_view(buffer, static_cast<std::size_t>(got)));
            continue;
        }
        if (got == 0) {
            throw DevToolsError("the browser ended");
        }
        if (errno != EAGAIN) {
            throw DevToolsError(std::string("cannot read from the browser: ") +
                                std::strerror(errno));
        }
        if (!WaitReady(from_, POLLIN, deadline)) {
            return std::nullopt;
        }
    }
}

std::string DecodeBase64(std::string_view text) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+') return 62;
        if (c == '/') return 63;
        return -1;
    };
    std::string out;
    out.reserve(text.size() / 4 * 3);
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        int v = value(c);
        if (v < 0) {
            continue;
        }
        bits = (bits << 6) | static_cast<unsigned>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return out;
}

std::string AttachToShownPage(DevToolsClient& client, std::string& targetId,
                              std::chrono::seconds startTime, std::chrono::seconds commandTime) {
    using Json = DevToolsClient::Json;
    using Clock = DevToolsClient::Clock;
    Json targets = client.Call("Target.getTargets", Json::object(), "", Clock::now() + startTime);
    for (const Json& target : targets.value("targetInfos", Json::array())) {
        if (target.value("type", std::string()) == "page") {
            targetId = target.value("targetId", std::string());
            break;
        }
    }
    if (targetId.empty()) {
        targetId = client
                       .Call("Target.createTarget", {{"url", "about:blank"}}, "",
                             Clock::now() + commandTime)
                       .value("targetId", std::string());
    }
    return client
        .Call("Target.attachToTarget", {{"targetId", targetId}, {"flatten", true}}, "",
              Clock::now() + commandTime)
        .value("sessionId", std::string());
}

}  // namespace wisp
