#include "win32/library/MessageBoxPrompts.h"

#include "win32/platform/WideString.h"

namespace wisp::win32 {

PromptAnswer MessageBoxPrompts::Show(std::string_view text, std::string_view caption,
                                     PromptStyle style) {
    UINT type = MB_OK;
    if (style == PromptStyle::OkInformation) {
        type = MB_OK | MB_ICONINFORMATION;
    } else if (style == PromptStyle::YesNo) {
        type = MB_YESNO;
    }
    int answer = ::MessageBoxW(owner_, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), type);
    if (answer == IDYES) {
        return PromptAnswer::Yes;
    }
    return answer == IDNO ? PromptAnswer::No : PromptAnswer::Ok;
}

}  // namespace wisp::win32
