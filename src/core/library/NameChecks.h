#pragma once

#include <optional>
#include <string_view>

// The three checks of names the reader types, each with its own characters and message. The
// dialogs that use them show the message in a box with the given caption.
namespace wisp {

inline constexpr std::string_view kWispCaption = "Wisp";
inline constexpr std::string_view kErrorCaption = "Error";

inline constexpr std::string_view kEmptyTitleMessage = "The title can not empty!";
inline constexpr std::string_view kInvalidTitleMessage =
    "The title has invalid letter:\n \\/*?<>\"|";
// String-table entry 57702.
inline constexpr std::string_view kInvalidItemNameMessage =
    "The filename include invalid letter!  eg: \\/:*?\"<>|";
inline constexpr std::string_view kEmptyBookNameMessage = "The book name can not empty!";

// A page title in the save dialog; shown with caption "Wisp".
std::optional<std::string_view> CheckPageTitle(std::string_view title);

// A new name of a tree item; shown with caption "Error" and an information icon.
std::optional<std::string_view> CheckItemName(std::string_view name);

// A new book name in the New Book dialog: only an empty name is refused here.
std::optional<std::string_view> CheckBookName(std::string_view name);

}  // namespace wisp
