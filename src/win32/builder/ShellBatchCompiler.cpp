#include <windows.h>
#include <shellapi.h>

#include "win32/builder/ShellBatchCompiler.h"

#include "win32/platform/WideString.h"

namespace wisp::win32 {

std::optional<std::string> ShellBatchCompiler::BatchCompilerFolder() const {
    wchar_t folder[MAX_PATH] = {};
    UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length >= MAX_PATH) {
        length = 0;  // did not fit: the folder stays unknown
    }
    return WideToUtf8(std::wstring_view(folder, length));
}

std::string ShellBatchCompiler::ToCompilerText(std::string_view utf8) const {
    std::wstring wide = Utf8ToWide(utf8);
    if (wide.empty()) {
        return {};
    }
    int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                     0, nullptr, nullptr);
    if (size <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                          nullptr, nullptr);
    return text;
}

CompileResult ShellBatchCompiler::Compile(const HelpProject& project) {
    if (project.batchFile.empty()) {
        return {CompileStatus::Failed, "No batch file was written."};
    }
    std::wstring batch = Utf8ToWide(project.batchFile);
    HINSTANCE started = ::ShellExecuteW(nullptr, L"open", batch.c_str(), nullptr, nullptr, SW_HIDE);
    // ShellExecute reports success with a value above 32.
    if (reinterpret_cast<INT_PTR>(started) <= 32) {
        return {CompileStatus::Failed, "Cannot start " + project.batchFile + "."};
    }
    return {CompileStatus::Started, {}};
}

}  // namespace wisp::win32

namespace wisp {

std::unique_ptr<IHelpCompiler> CreateNativeHelpCompiler() {
    return std::make_unique<win32::ShellBatchCompiler>();
}

}  // namespace wisp
