#include <windows.h>
#include <shellapi.h>

#include "win32/builder/ShellBatchCompiler.h"

#include "win32/platform/MessagePump.h"
#include "win32/platform/ModuleFile.h"
#include "win32/platform/WideString.h"

namespace wisp::win32 {
namespace {

bool HoldsCompiler(const std::string& folder) {
    std::wstring path = Utf8ToWide(folder) + L"\\hhc.exe";
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string EnvironmentFolder(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableW(name, value, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string()
                                             : WideToUtf8(std::wstring_view(value, length));
}

}  // namespace

std::vector<std::string> HelpCompilerFolders() {
    std::vector<std::string> folders;
    wchar_t system[MAX_PATH] = {};
    UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        folders.push_back(WideToUtf8(std::wstring_view(system, length)));
    }
    for (const wchar_t* programs : {L"ProgramFiles(x86)", L"ProgramFiles"}) {
        std::string folder = EnvironmentFolder(programs);
        if (!folder.empty()) {
            folders.push_back(folder + "\\HTML Help Workshop");
        }
    }
    return folders;
}

ShellBatchCompiler::ShellBatchCompiler(std::vector<std::string> compilerFolders,
                                       HINSTANCE resources, DWORD buildingWaitMs)
    : building_(resources), buildingWaitMs_(buildingWaitMs) {
    for (const std::string& folder : compilerFolders) {
        if (HoldsCompiler(folder)) {
            compilerFolder_ = folder;
            break;
        }
    }
}

std::optional<std::string> ShellBatchCompiler::MissingCompilerMessage() const {
    if (compilerFolder_) {
        return std::nullopt;
    }
    return std::string(kMissingCompilerMessage);
}

std::optional<std::string> ShellBatchCompiler::BatchCompilerFolder() const {
    return compilerFolder_;
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
    building_.Show();
    std::wstring batch = Utf8ToWide(project.batchFile);
    HINSTANCE started = ::ShellExecuteW(nullptr, L"open", batch.c_str(), nullptr, nullptr, SW_HIDE);
    // ShellExecute reports success with a value above 32.
    if (reinterpret_cast<INT_PTR>(started) <= 32) {
        return {CompileStatus::Failed, "Cannot start " + project.batchFile + "."};
    }
    building_.SetBuildingText("Now building eBook for you.\nPlease waiting...");
    // The compiler runs on its own; the window gives it time to finish before the viewer opens.
    PumpMessagesFor(buildingWaitMs_);
    return {CompileStatus::Started, {}};
}

}  // namespace wisp::win32

namespace wisp {

std::unique_ptr<IHelpCompiler> CreateNativeHelpCompiler() {
    return std::make_unique<win32::ShellBatchCompiler>(win32::HelpCompilerFolders(),
                                                       win32::ThisModule(),
                                                       win32::ShellBatchCompiler::kBuildingWaitMs);
}

}  // namespace wisp
