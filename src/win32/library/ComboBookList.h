#pragma once

#include <windows.h>

#include "core/platform/ListControls.h"

// The sorted book list over a drop-down list combo box created with CBS_SORT: the control
// keeps the order itself.
namespace wisp::win32 {

class ComboBookList final : public ISortedBookList {
public:
    void Attach(HWND combo) { combo_ = combo; }
    HWND Handle() const { return combo_; }

    void Clear() override;
    std::size_t Add(std::string_view text) override;
    std::size_t Count() const override;
    std::string GetText(std::size_t index) const override;
    std::optional<std::size_t> GetSelection() const override;
    void Select(std::size_t index) override;

private:
    HWND combo_ = nullptr;
};

}  // namespace wisp::win32
