#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/platform/BrowserHost.h"

// A browser stand-in that keeps what it was asked to do.
namespace wisp {

class RecordingBrowserHost final : public IBrowserHost {
public:
    void Navigate(std::string_view target) override { navigations.emplace_back(target); }

    bool SetDesignMode(bool on) override {
        designMode = on;
        return true;
    }

    bool SaveDocument() override { return true; }

    std::vector<std::string> navigations;
    std::optional<bool> designMode;
};

}  // namespace wisp
