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
        return hasDocument;
    }

    bool SaveDocument() override {
        ++saveCount;
        return hasDocument;
    }

    std::vector<std::string> navigations;
    std::optional<bool> designMode;
    int saveCount = 0;
    bool hasDocument = true;
};

}  // namespace wisp
