#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/platform/Prompts.h"

// Prompts answered from a script: each box is recorded and takes the next scripted answer,
// or OK (No for a Yes/No question) when the script has run out.
namespace wisp {

class ScriptedPrompts final : public IPrompts {
public:
    struct Shown {
        std::string text;
        std::string caption;
        PromptStyle style;
    };

    PromptAnswer Show(std::string_view text, std::string_view caption, PromptStyle style) override {
        shown.push_back({std::string(text), std::string(caption), style});
        if (!answers.empty()) {
            PromptAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return style == PromptStyle::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }

    std::deque<PromptAnswer> answers;
    std::vector<Shown> shown;
};

}  // namespace wisp
