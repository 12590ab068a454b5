#pragma once

#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "posix/capture/NulFramedReader.h"

// A client of the browser's DevTools protocol over its debugging pipe: commands out, answers
// and events in, every wait bounded by a deadline.
namespace wisp {

// The browser answered a command with an error, closed the pipe or let the deadline pass.
struct DevToolsError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// The deadline passed before the answer came.
struct DevToolsTimeout : DevToolsError {
    using DevToolsError::DevToolsError;
};
// The browser answered the command with an error.
struct DevToolsRefusal : DevToolsError {
    using DevToolsError::DevToolsError;
};

class DevToolsClient {
public:
    using Clock = std::chrono::steady_clock;
    using Json = nlohmann::json;
    using EventHandler = std::function<void(const Json& event)>;

    // The descriptors stay the caller's.
    DevToolsClient(int toBrowser, int fromBrowser) : to_(toBrowser), from_(fromBrowser) {}

    // Events that arrive while waiting go to the handler.
    void OnEvent(EventHandler handler) { onEvent_ = std::move(handler); }

    // Sends a command (to a page's session when `sessionId` is not empty) and waits for its
    // answer; returns the answer's result. Throws DevToolsTimeout at the deadline,
    // DevToolsRefusal for an error answer and DevToolsError when the browser is gone.
    Json Call(const std::string& method, Json params, const std::string& sessionId,
              Clock::time_point deadline);

    // Sends a command and returns its id without waiting: its answer goes to the answer
    // handler when it comes, while waiting for something else.
    int Send(const std::string& method, Json params, const std::string& sessionId,
             Clock::time_point deadline);
    using AnswerHandler = std::function<void(int id, const Json& message)>;
    void OnAnswer(AnswerHandler handler) { onAnswer_ = std::move(handler); }

    // Handles the events and answers that arrive until the first one or the deadline; false
    // at the deadline.
    bool WaitForEvent(Clock::time_point deadline);

private:
    void Write(const std::string& message, Clock::time_point deadline);
    // The next message; nullopt at the deadline.
    std::optional<Json> Receive(Clock::time_point deadline);

    int to_;
    int from_;
    int lastId_ = 0;
    NulFramedReader reader_;
    EventHandler onEvent_;
    AnswerHandler onAnswer_;
};

// Binary data as the protocol sends it: base64 (RFC 4648, with padding).
std::string DecodeBase64(std::string_view text);

// Attaches a session of its own to the page the browser shows (one made when it shows none) and
// returns the session; `targetId` receives the page's target. The first call waits up to
// `startTime` for a browser that is still starting.
std::string AttachToShownPage(DevToolsClient& client, std::string& targetId,
                              std::chrono::seconds startTime, std::chrono::seconds commandTime);

}  // namespace wisp
