#include "win32/library/Win32ShellFileOperations.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "win32/platform/WideString.h"

namespace wisp::win32 {
namespace {

// The shell takes lists of paths, each ended by a zero and the list by a second one. One path,
// so a path holding a zero of its own would be cut there: such a path is refused.
bool MakePathList(std::string_view path, std::wstring& list) {
    if (path.empty() || path.find('\0') != std::string_view::npos) {
        return false;
    }
    list = Utf8ToWide(path);
    if (list.empty()) {
        return false;
    }
    list.push_back(L'\0');
    list.push_back(L'\0');
    return true;
}

bool RunFileOperation(UINT function, std::string_view from, const std::wstring* toList,
                      FILEOP_FLAGS flags) {
    std::wstring fromList;
    if (!MakePathList(from, fromList)) {
        return false;
    }
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = nullptr;
    operation.wFunc = function;
    operation.pFrom = fromList.c_str();
    operation.pTo = toList ? toList->c_str() : nullptr;
    operation.fFlags = flags;
    return ::SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

}  // namespace

bool Win32ShellFileOperations::Rename(std::string_view from, std::string_view to) {
    std::wstring toList;
    if (!MakePathList(to, toList)) {
        return false;
    }
    return RunFileOperation(FO_RENAME, from, &toList, FOF_NOERRORUI);
}

bool Win32ShellFileOperations::Move(std::string_view from, std::string_view to) {
    std::wstring toList;
    if (!MakePathList(to, toList)) {
        return false;
    }
    return RunFileOperation(FO_MOVE, from, &toList, FOF_NOCONFIRMATION | FOF_NOERRORUI);
}

bool Win32ShellFileOperations::Delete(std::string_view path, bool toRecycleArea) {
    FILEOP_FLAGS flags = FOF_NOCONFIRMATION | FOF_NOERRORUI;
    if (toRecycleArea) {
        flags |= FOF_ALLOWUNDO;
    }
    return RunFileOperation(FO_DELETE, path, nullptr, flags);
}

}  // namespace wisp::win32

namespace wisp {

std::unique_ptr<IShellFileOperations> CreateNativeShellFileOperations() {
    return std::make_unique<win32::Win32ShellFileOperations>();
}

}  // namespace wisp
