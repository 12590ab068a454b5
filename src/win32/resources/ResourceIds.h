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
