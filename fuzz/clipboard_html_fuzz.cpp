#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/capture/ClipboardHtml.h"

// Any clipboard text: the parser must not fail, and what it takes comes from the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    wisp::CClipboardHtml parser;
    parser.SetText(text);
    const bool parsed = parser.Parse();
    if (parsed == parser.GetHtml().empty() || !text.ends_with(parser.GetHtml()) ||
        text.find(parser.GetTitle()) == std::string::npos ||
        text.find(parser.GetSourceUrl()) == std::string::npos) {
        std::abort();
    }
    return 0;
}
