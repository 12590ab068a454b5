#pragma once

#include <windows.h>

// The bar's toolbar (from its toolbar resource and the bitmap of the same id) and the rebar it
// sits in, docked at the top of the bar window.
namespace wisp::win32 {

inline constexpr int kToolbarControlId = 0xE800;
inline constexpr UINT kToolbarBandId = 0xEB00;

// A flat toolbar with tooltips and the resource's buttons, every one enabled; null when the
// resource or the window cannot be had.
HWND CreateBandToolbar(HWND parent, HINSTANCE resources, int toolbarId);

// A rebar holding the toolbar as its only band; null, with the toolbar left where it is, when
// the rebar cannot be created.
HWND CreateBandRebar(HWND parent, HWND toolbar);

}  // namespace wisp::win32
