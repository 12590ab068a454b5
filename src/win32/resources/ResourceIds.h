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
