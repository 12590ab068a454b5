#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/library/ContentTree.h"
#include "core/platform/NativePorts.h"
#include "core/platform/ShellFileOperations.h"
#include "support/MemoryTreeControl.h"
#include "support/RecordingBrowserHost.h"
#include "support/ScriptedPrompts.h"
#include "support/TempFolder.h"

// A content tree on the in-memory control over a library in a temporary folder, with the real
// file system. Deletions to the recycle area are recorded and done as plain deletions, so no
// test reaches the machine's real recycle bin.
namespace wisp::test {

class RecordingShellFileOperations final : public IShellFileOperations {
public:
    struct Deletion {
        std::string path;
        bool toRecycleArea;
    };

    bool Rename(std::string_view from, std::string_view to) override {
        renames.emplace_back(from, to);
        return native_->Rename(from, to);
    }
    bool Move(std::string_view from, std::string_view to) override {
        moves.emplace_back(from, to);
        return native_->Move(from, to);
    }
    bool Delete(std::string_view path, bool toRecycleArea) override {
        deletions.push_back({std::string(path), toRecycleArea});
        return native_->Delete(path, false);
    }

    std::vector<std::pair<std::string, std::string>> renames;
    std::vector<std::pair<std::string, std::string>> moves;
    std::vector<Deletion> deletions;

private:
    std::unique_ptr<IShellFileOperations> native_ = CreateNativeShellFileOperations();
};

inline std::vector<std::string> Sorted(std::vector<std::string> items) {
    std::sort(items.begin(), items.end());
    return items;
}

struct TreeFixture {
    explicit TreeFixture(bool showPages = true) : tree(Ports(), showPages) {
        tree.SetBrowserHost(&browser);
    }

    ContentTreePorts Ports() { return {control, *files, shell, prompts}; }

    // The root of the library: a folder "R" in the temporary folder.
    std::string Root() const { return temp.Path("R"); }
    void ShowBook(std::string_view book) { tree.ShowBook(Root(), book); }

    // The item reached from the top item through the labels, or 0.
    TreeItem Item(std::initializer_list<std::string_view> labels) const {
        TreeItem item = control.GetTopItem();
        for (std::string_view label : labels) {
            item = control.FindChild(item, label);
        }
        return item;
    }

    TempFolder temp;
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    MemoryTreeControl control{TreePoint{100, 200}};
    RecordingShellFileOperations shell;
    ScriptedPrompts prompts;
    RecordingBrowserHost browser;
    CContentTree tree;
};

}  // namespace wisp::test
