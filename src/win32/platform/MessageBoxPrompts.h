#pragma once

#include <windows.h>

#include "core/platform/Prompts.h"

// The prompts port over MessageBoxW, owned by a window of the caller's choice.
namespace wisp::win32 {

class MessageBoxPrompts final : public IPrompts {
public:
    explicit MessageBoxPrompts(HWND owner = nullptr) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }

    PromptAnswer Show(std::string_view text, std::string_view caption, PromptStyle style) override;

private:
    HWND owner_;
};

}  // namespace wisp::win32
