#include "win32/platform/MessageBoxPrompts.h"

#include "win32/platform/WideString.h"

namespace wisp::win32 {

PromptAnswer MessageBoxPrompts::Show(std::string_view text, std::string_view caption,
                                     PromptStyle style) {
    UINT type = MB_OK;
    switch (style) {
        case PromptStyle::Ok:
            type = MB_OK;
            break;
        case PromptStyle::OkInformation:
            type = MB_OK | MB_ICONINFORMATION;
            break;
        case PromptStyle::YesNo:
            type = MB_YESNO;
            break;
    }
    int answer = ::MessageBoxW(owner_, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), type);
    switch (answer) {
        case IDYES:
            return PromptAnswer::Yes;
        case IDNO:
            return PromptAnswer::No;
        default:
            return PromptAnswer::Ok;
    }
}

}  // namespace wisp::win32
