#pragma once

#include <string_view>

// Browser host port: what the system asks of the browser it lives in: showing a file or an
// empty page, and switching editing of the shown document on and off and saving it.
namespace wisp {

inline constexpr std::string_view kBlankPage = "about:blank";

class IBrowserHost {
public:
    virtual ~IBrowserHost() = default;

    // Shows a local file path or kBlankPage; the outcome is not reported.
    virtual void Navigate(std::string_view target) = 0;

    // False when no document is shown or it refused.
    virtual bool SetDesignMode(bool on) = 0;
    virtual bool SaveDocument() = 0;
};

}  // namespace wisp
