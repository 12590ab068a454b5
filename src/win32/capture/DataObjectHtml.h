#pragma once

#include <windows.h>
#include <objidl.h>

#include <optional>
#include <string>

// The HTML clipboard format ("HTML Format") out of a data object, as paste and drop offer it.
namespace wisp::win32 {

// The format's number, registered once per process.
CLIPFORMAT HtmlClipboardFormat();

// True when the data object offers the HTML format in global memory.
bool OffersHtml(IDataObject* data);

// The text of the HTML format, up to its first zero byte; nullopt when the object does not
// offer it in global memory or the memory cannot be locked.
std::optional<std::string> ReadHtmlFormat(IDataObject* data);

}  // namespace wisp::win32
