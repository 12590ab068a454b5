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

// ---- The bar's toolbar, pictures, menus and strings ----
#define IDR_BAND_TOOLBAR 204  // toolbar resource and its bitmap
#define IDB_TREE_IMAGES 206
#define IDR_NEW_MENU 206
#define IDR_CONTENT_TREE_MENU 208
#define IDR_HELP_MENU 216

#define ID_REFRESH 32768
#define ID_EDIT_HTML_PAGE 32769
#define ID_HELP_MENU 32770
#define ID_NEW_FOLDER 32771
#define ID_NEW_MENU 32772
#define ID_DELETE_FOLDER 32773
#define ID_BOOK_MANAGEMENT 32774
#define ID_BUILD 32775
#define ID_NEW_BOOK 32776
#define ID_DELETE_PAGE 32777
#define ID_RENAME 32779
#define ID_ABOUT 32785
#define ID_CONTENTS 32788
#define ID_PASTE 32791
#define ID_EDIT_THE_PAGE 57600
#define ID_SAVE 57603

#define IDS_NEW_FOLDER_NAME 57698
#define IDS_CONTENT_TAB 57699
#define IDS_INVALID_ITEM_NAME 57702
// ---- end of the bar's resources ----

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
// The capture's download window and the two progress clips.
#define IDR_BUILD_CLIP 101
#define IDR_DOWNLOAD_CLIP 102
#define IDD_DOWNLOAD 111
#define IDC_DOWNLOAD_STATUS 201
#define IDC_PROGRESS_ANIMATION 214

// The build's "Building" window.
#define IDD_BUILDING 213
#define IDC_BUILDING_TEXT 224

// ---- The collector's save dialog ----
#define IDD_SAVE_PAGE 210
#define IDC_SAVE_KEYWORDS 203
#define IDC_SAVE_DESCRIPTION 204
#define IDC_SAVE_TREE 205
#define IDC_SAVE_NEW_FOLDER 206
#define IDC_SAVE_LINK 208
#define IDC_SAVE_TITLE 209
#define IDC_SAVE_BOOKS 212
#define IDC_SAVE_ADVANCED 219
#define IDC_SAVE_OK 220
// ---- end of the save dialog ----
