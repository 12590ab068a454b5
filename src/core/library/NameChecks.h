#pragma once

#include <optional>
#include <string_view>

// The three checks of names the reader types, each with its own characters and message. The
// dialogs that use them show the message in a box with the given caption.
namespace wisp {

inline constexpr std::string_view kWispCaption = "Wisp";
inline constexpr std::string_view kErrorCaption = "Error";

inline constexpr std::string_view kEmptyTitleMessage = "The title can not empty!";
// A colon is refused too: on NTFS it would name a stream of another file, not a page.
inline constexpr std::string_view kInvalidTitleMessage =
    "The title has invalid letter:\n \\/:*?<>\"|";
// String-table entry 57702.
inline constexpr std::string_view kInvalidItemNameMessage =
    "The filename include invalid letter!  eg: \\/:*?\"<>|";
inline constexpr std::string_view kPathTooLongMessage =
    "The title makes the page's path longer than 259 characters: choose a shorter title.";
inline constexpr std::string_view kEmptyBookNameMessage = "The book name can not empty!";
// A book name that would name a folder outside the library root, or one Windows cannot hold.
inline constexpr std::string_view kInvalidBookNameMessage =
    "The book name can not include \\/:*?\"<>| and can not be . or ..";

// True for a name of exactly one entry of a folder: neither separator of either platform, not
// "." and not "..". On Windows also not made only of dots and spaces, which the platform strips
// to nothing, naming the folder itself. A name failing this would reach another folder when
// joined to a path.
bool IsSingleEntryName(std::string_view name);

// A page title in the save dialog; shown with caption "Wisp". A title of white space alone
// is as empty.
std::optional<std::string_view> CheckPageTitle(std::string_view title);

// A new name of a tree item; shown with caption "Error" and an information icon. "." and ".."
// are refused with the same message, since they would name the folder itself or its parent,
// and so is a name ending in ".files" or "_files", which the tree hides as a page's files.
std::optional<std::string_view> CheckItemName(std::string_view name);

// A new book name in the New Book dialog, or a book's new name in the book manager: it must
// name one folder inside the root, with none of the characters Windows refuses in a name, so
// that the library stays usable there.
std::optional<std::string_view> CheckBookName(std::string_view name);

// A name the reader gave a new or renamed folder or page: CheckItemName, and one entry of the
// folder on this platform (shown with the same message).
std::optional<std::string_view> CheckNewItemName(std::string_view name);

// A name the reader gave a new or renamed book: CheckBookName, and one entry of the root on
// this platform.
std::optional<std::string_view> CheckNewBookName(std::string_view name);

}  // namespace wisp
