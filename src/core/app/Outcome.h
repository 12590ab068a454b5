#pragma once

#include <string>
#include <utility>
#include <vector>

// What a use case ends in, for every front door to show its own way: done (with the path of
// what it made or changed), refused (the reader's input cannot be taken: the message the
// reader sees) or failed (the system could not do it: the reason). Warnings go with any of
// them.
namespace wisp {

struct Outcome {
    enum class Kind { Done, Refused, Failed };

    Kind kind = Kind::Done;
    std::string message;  // the refusal's text or the failure's reason
    std::string path;     // what was made or changed, when done
    std::vector<std::string> warnings;

    static Outcome Done(std::string path = {}) { return {Kind::Done, {}, std::move(path), {}}; }
    static Outcome Refused(std::string message) { return {Kind::Refused, std::move(message), {}, {}}; }
    static Outcome Failed(std::string reason) { return {Kind::Failed, std::move(reason), {}, {}}; }

    bool IsDone() const { return kind == Kind::Done; }
};

// A name as messages quote it.
inline std::string Quoted(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

}  // namespace wisp
