#pragma once

// Resource identifiers of QXWisp.DLL, shared by the resource script and the code.
#define IDR_WISP 101
#define IDD_BAND_WINDOW 103
#define IDR_QXDROPTARGET 104
#define IDR_KCWISP 105
#define IDI_WISP 201
#define IDI_WISP_HOT 202

#define IDC_CONTENT_TREE 201
#define IDC_BOOK_LIST 202
#define IDC_CONTENT_TAB 203

// The capture's download window and the two progress clips.
#define IDR_BUILD_CLIP 101
#define IDR_DOWNLOAD_CLIP 102
#define IDD_DOWNLOAD 111
#define IDC_DOWNLOAD_STATUS 201
#define IDC_PROGRESS_ANIMATION 214

// The build's "Building" window.
#define IDD_BUILDING 213
#define IDC_BUILDING_TEXT 224
