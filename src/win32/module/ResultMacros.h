#pragma once

#include <windows.h>

// Early returns at COM boundaries, named as in Microsoft's WIL.
#define RETURN_IF_FAILED(expression)       \
    do {                                   \
        HRESULT hrChecked_ = (expression); \
        if (FAILED(hrChecked_)) {          \
            return hrChecked_;             \
        }                                  \
    } while (0)
