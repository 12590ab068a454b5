#pragma once

#include <windows.h>
#include <commctrl.h>

// The toolbar's tooltips: the text after the line break of the string-table entry whose id is
// the button's command id.
namespace wisp::win32 {

inline constexpr int kToolTipBufferSize = 80;

bool IsToolTipTextRequest(const NMHDR& header);

// Fills a TTN_GETDISPINFO request, ANSI or wide as it came.
void FillToolTipText(HINSTANCE resources, NMHDR& header);

}  // namespace wisp::win32
