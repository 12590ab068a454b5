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

// ---- Dialogs: Book Management, About, New Book and the link labels ----
#define IDD_ABOUT 105
#define IDD_NEW_BOOK 108
#define IDD_BOOK_MANAGER 216
// The header band's pictures, shared with the collector's save dialog.
#define IDB_HEADER_LOGO 205
#define IDB_HEADER_TITLE 213
#define IDB_HEADER_SLOGAN 215
#define IDCUR_LINK_HAND 240

// New Book
#define IDC_NEW_BOOK_NAME 202
// About
#define IDC_COMPANY_LINK 209
#define IDC_PRODUCT_LINK 210
#define IDC_SUPPORT_LINK 211
// Book Management
#define IDC_BOOK_DELETE 214
#define IDC_BOOK_BROWSE 215
#define IDC_BOOK_LIST_VIEW 216
#define IDC_BOOK_ADD 217
#define IDC_BOOK_MODIFY 218
#define IDC_BOOK_ROOT 219
#define IDC_BOOK_CLOSE 220

// The About dialog's addresses: each link shows and opens its own.
#define WISP_COMPANY_ADDRESS "http://wisp.example.org"
#define WISP_PRODUCT_ADDRESS "http://wisp.example.org/guide"
#define WISP_SUPPORT_ADDRESS "help@wisp.example.org"
// ---- end of dialogs ----
