#include "cli/PlainMessages.h"

#include <utility>

#include "core/library/NameChecks.h"

namespace wisp::cli {

std::string PlainMessage(std::string_view message) {
    static const std::pair<std::string_view, std::string_view> kPlain[] = {
        {kEmptyTitleMessage, "the title is empty"},
        {kInvalidTitleMessage, "a title cannot hold any of \\ / : * ? < > \" |"},
        {kInvalidItemNameMessage,
         "a name cannot hold any of \\ / : * ? \" < > |, be . or .., or end in .files or _files"},
        {kEmptyBookNameMessage, "the book name is empty"},
        {kInvalidBookNameMessage,
         "a book name cannot hold any of \\ / : * ? \" < > | or be . or .."},
        {kPathTooLongMessage,
         "the title makes the page's path longer than 259 characters: choose a shorter title"},
    };
    for (const auto& [bars, plain] : kPlain) {
        if (message == bars) {
            return std::string(plain);
        }
    }
    return std::string(message);
}

}  // namespace wisp::cli
