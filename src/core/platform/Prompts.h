#pragma once

#include <string_view>

// Prompts port: a message box with a text, a caption and a set of buttons, and its answer.
namespace wisp {

enum class PromptStyle {
    Ok,             // an OK button, no icon
    OkInformation,  // an OK button and an information icon
    YesNo,          // Yes and No buttons, no icon
};

enum class PromptAnswer { Ok, Yes, No };

class IPrompts {
public:
    virtual ~IPrompts() = default;

    virtual PromptAnswer Show(std::string_view text, std::string_view caption,
                              PromptStyle style) = 0;
};

}  // namespace wisp
