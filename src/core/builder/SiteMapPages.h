#pragma once

#include <string>
#include <string_view>

// Which files the site map lists as pages, and under which name. The test is the builder's
// own and differs from the library's page test: Index.HTM is not listed, notes.htm.bak is.
namespace wisp {

// ".htm" first found after the name's first character, or ".html" anywhere after it.
bool IsSiteMapPage(std::string_view fileName);

// The file name up to its last ".".
std::string SiteMapPageName(std::string_view fileName);

}  // namespace wisp
