#include "core/builder/SiteMapText.h"

namespace wisp {
namespace {

constexpr std::string_view kEntryStart =
    "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"";
constexpr std::string_view kLocalParam = "\"><param name=\"Local\" value=\"";
constexpr std::string_view kEntryEnd = "\"></OBJECT>";

constexpr std::string_view kSiteMapHead =
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">"
    "<HTML><HEAD><meta name=\"GENERATOR\" content=\"Wisp 1.0\"><!-- Sitemap 1.0 --></HEAD>"
    "<BODY>"
    "<OBJECT type=\"text/site properties\"><param name=\"ImageType\" value=\"Folder\"></OBJECT>"
    "<UL>";
constexpr std::string_view kSiteMapTail = "</UL></UL></BODY></HTML>";

}  // namespace

std::string MakeNameEntry(std::string_view name) {
    std::string entry(kEntryStart);
    entry += name;
    entry += kEntryEnd;
    return entry;
}

std::string MakeLocalEntry(std::string_view name, std::string_view local) {
    std::string entry(kEntryStart);
    entry += name;
    entry += kLocalParam;
    entry += local;
    entry += kEntryEnd;
    return entry;
}

std::string MakeSiteMapText(std::string_view rootName, std::string_view entries) {
    std::string text(kSiteMapHead);
    text += MakeNameEntry(rootName);
    text += kListStart;
    text += entries;
    text += kSiteMapTail;
    return text;
}

}  // namespace wisp
