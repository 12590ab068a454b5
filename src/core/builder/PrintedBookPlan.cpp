#include "core/builder/PrintedBookPlan.h"

#include <map>
#include <memory>

#include "core/builder/BookOutline.h"
#include "core/builder/OutsideLinks.h"
#include "core/builder/PageHead.h"

namespace wisp {
namespace {

class Planner {
public:
    Planner(const IFileSystem& files, PrintedBook& book) : files_(files), book_(book) {}

    void Plan(const std::vector<OutlineNode>& nodes, std::vector<PrintedMark>& marks) {
        for (const OutlineNode& node : nodes) {
            if (node.kind == OutlineNode::Kind::Page) {
                std::optional<std::string> html = files_.ReadWholeFile(node.path);
                std::string title = html ? ReadPageHead(*html).title : std::string();
                if (title.empty()) {
                    title = node.name;
                }
                marks.push_back({title, book_.pages.size(), {}});
                book_.pages.push_back({node.path, std::move(title)});
                continue;
            }
            std::size_t first = book_.pages.size();
            PrintedMark folder{node.name, first, {}};
            Plan(node.children, folder.children);
            if (book_.pages.size() > first) {
                marks.push_back(std::move(folder));
            }
        }
    }

private:
    const IFileSystem& files_;
    PrintedBook& book_;
};

}  // namespace

PrintedBook PlanPrintedBook(const IFileSystem& files, std::string_view builtFolder,
                            std::string_view title, std::string_view language,
                            std::string_view output, std::string_view bookFolder) {
    PrintedBook book;
    book.title = title;
    book.language = language;
    book.output = output;
    BookOutline outline = ReadBookOutline(files, builtFolder);
    Planner(files, book).Plan(outline.entries, book.marks);
    auto outside = std::make_shared<OutsideLinks>(
        files, bookFolder.empty() ? builtFolder : bookFolder, builtFolder);
    // The browser prints a link with its whole address, so no page it came from is needed.
    book.linkElsewhere = [outside](std::string_view url) {
        return outside->SourceAddress({}, url);
    };
    return book;
}

}  // namespace wisp
