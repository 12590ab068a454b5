#pragma once

#include <cstddef>
#include <string>

#include "core/platform/PageSource.h"

// A page a reader loaded for `wisp collect`: the page-source port, with how many elements the
// selection took.
namespace wisp {

class LoadedPage : public IPageSource {
public:
    // How many elements the selection took; 0 when nothing was selected.
    virtual std::size_t SelectedCount() const = 0;
};

}  // namespace wisp
