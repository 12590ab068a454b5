#pragma once

#include <string>
#include <string_view>

// UTF-8 inside the system, UTF-16 at the Win32 boundary.
namespace wisp::win32 {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace wisp::win32
