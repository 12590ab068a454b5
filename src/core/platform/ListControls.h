#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// List control ports: the band's sorted book list (a combo box on Windows) and the book
// manager's list (a list view). Entries carry only their text.
namespace wisp {

class ISortedBookList {
public:
    virtual ~ISortedBookList() = default;

    virtual void Clear() = 0;
    // Adds the text at its sorted place and returns that index.
    virtual std::size_t Add(std::string_view text) = 0;
    virtual std::size_t Count() const = 0;
    virtual std::string GetText(std::size_t index) const = 0;
    virtual std::optional<std::size_t> GetSelection() const = 0;
    virtual void Select(std::size_t index) = 0;
};

class IBookManagerList {
public:
    virtual ~IBookManagerList() = default;

    virtual void Clear() = 0;
    // Inserts before `index` (0 is the top) and returns the new entry's index.
    virtual std::size_t Insert(std::size_t index, std::string_view text) = 0;
    virtual void Delete(std::size_t index) = 0;
    virtual std::size_t Count() const = 0;
    virtual std::string GetText(std::size_t index) const = 0;
    virtual void SetText(std::size_t index, std::string_view text) = 0;

    virtual std::optional<std::size_t> GetSelection() const = 0;
    // Gives the entry the selected and focused states; false when that failed.
    virtual bool SelectAndFocus(std::size_t index) = 0;
    virtual void EnsureVisible(std::size_t index) = 0;
    virtual void Redraw(std::size_t index) = 0;
    virtual void Focus() = 0;
    virtual void EditLabel(std::size_t index) = 0;
};

}  // namespace wisp
