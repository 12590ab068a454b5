#include "core/builder/StagedChmBuild.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "core/builder/BookOutline.h"
#include "core/builder/OutsideLinks.h"
#include "core/builder/PageHead.h"
#include "core/builder/ProjectFileText.h"
#include "core/builder/SiteMapText.h"
#include "core/capture/MarkupReferences.h"
#include "core/capture/PageLinks.h"
#include "core/library/NameOrder.h"
#include "core/platform/PathSeparator.h"
#include "core/text/AsciiCase.h"
#include "core/text/PercentEncoding.h"

namespace wisp {
namespace {

std::string HexNumber(unsigned value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value != 0);
    return "0x" + digits;
}

// A name as a site map's attribute value holds it: the viewers read it without decoding any
// reference, so a character that would end the value, or the line, is replaced.
std::string SiteMapName(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (c == '"') {
            out += '\'';
        } else if (static_cast<unsigned char>(c) >= 0x20) {
            out += c;
        }
    }
    return out;
}

// The names of a "/"-separated path, "." and ".." applied; nullopt when it climbs above
// its start.
std::optional<std::vector<std::string>> PathNames(std::string_view path) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = std::min(path.find('/', start), path.size());
        std::string_view name = path.substr(start, end - start);
        if (name == "..") {
            if (names.empty()) {
                return std::nullopt;
            }
            names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.emplace_back(name);
        }
        start = end + 1;
    }
    return names;
}

// The reference from the stored page `from` to the stored page `to`, both "/"-separated.
std::string StoredReference(std::string_view from, std::string_view to) {
    auto native = [](std::string_view path) {
        std::string named(path);
        std::replace(named.begin(), named.end(), '/', kPathSeparator);
        return named;
    };
    const std::size_t slash = from.rfind('/');
    return PageLinkReference(native(slash == std::string_view::npos ? "" : from.substr(0, slash)),
                             native(to));
}

// Gives each page and folder a stored name its viewers open, and lists what is staged.
class StoredBook {
public:
    explicit StoredBook(const BookOutline& outline) {
        folders_[""] = "";
        Name(outline.entries, "", outline);
        for (const CompanionFolder& companion : outline.companions) {
            std::size_t slash = companion.relative.rfind('/');
            std::string parent =
                slash == std::string::npos ? "" : companion.relative.substr(0, slash);
            std::string name = companion.relative.substr(slash == std::string::npos ? 0 : slash + 1);
            // A page reaches its companion folder by its real name, so that name stays.
            std::string stored = Join(folders_[parent], name);
            staged.push_back({stored, companion.path, true});
            for (const std::string& file : companion.files) {
                storedFiles.push_back(stored + file.substr(companion.relative.size()));
            }
        }
    }

    const std::string& StoredPage(const OutlineNode& page) const { return pages_.at(&page); }

    std::vector<StagedFile> staged;
    std::vector<std::string> storedFiles;

private:
    static std::string Join(const std::string& folder, std::string_view name) {
        return folder.empty() ? std::string(name) : folder + "/" + std::string(name);
    }

    void Name(const std::vector<OutlineNode>& nodes, const std::string& relative,
              const BookOutline& outline) {
        const std::string storedFolder = folders_[relative];
        // Every name the folder holds is taken; a made name keeps clear of them.
        std::set<std::string> taken;
        for (const OutlineNode& node : nodes) {
            taken.insert(ToLowerAscii(node.fileName));
        }
        for (const CompanionFolder& companion : outline.companions) {
            std::size_t slash = companion.relative.rfind('/');
            if ((slash == std::string::npos ? std::string() : companion.relative.substr(0, slash)) ==
                relative) {
                taken.insert(ToLowerAscii(companion.relative.substr(slash + 1)));
            }
        }
        for (std::string_view projectFile : {kProjectFileName, kContentsFileName, kIndexFileName}) {
            if (relative.empty()) {
                taken.insert(ToLowerAscii(projectFile));
            }
        }
        for (const OutlineNode& node : nodes) {
            bool page = node.kind == OutlineNode::Kind::Page;
            bool project = relative.empty() && (SameNameIgnoringCase(node.fileName, kProjectFileName) ||
                                                SameNameIgnoringCase(node.fileName, kContentsFileName) ||
                                                SameNameIgnoringCase(node.fileName, kIndexFileName));
            std::string name = node.fileName;
            if (!IsPlainStoredName(name) || project) {
                do {
                    name = (page ? "page-" : "folder-") + std::to_string(++made_) +
                           (page ? ".htm" : "");
                } while (!taken.insert(ToLowerAscii(name)).second);
            }
            std::string stored = Join(storedFolder, name);
            if (page) {
                pages_[&node] = stored;
                staged.push_back({stored, node.path, false});
                storedFiles.push_back(stored);
            } else {
                folders_[node.relative] = stored;
                Name(node.children, node.relative, outline);
            }
        }
    }

    std::map<std::string, std::string> folders_;  // relative path to stored path
    std::map<const OutlineNode*, std::string> pages_;
    std::size_t made_ = 0;
};

class ChmTexts {
public:
    ChmTexts(const IHelpCompiler& compiler, unsigned codePage, const StoredBook& stored)
        : compiler_(compiler), codePage_(codePage), stored_(stored) {}

    // A name in the code page of the book's language.
    std::string Encoded(std::string_view name) {
        std::string clean = SiteMapName(name);
        bool exact = true;
        std::optional<std::string> encoded = compiler_.ToCodePage(clean, codePage_, exact);
        if (!exact) {
            inexact.push_back(clean);
        }
        return encoded ? *encoded : clean;
    }

    void Contents(const std::vector<OutlineNode>& nodes, std::string& out) {
        for (const OutlineNode& node : nodes) {
            if (node.kind == OutlineNode::Kind::Page) {
                std::string local = stored_.StoredPage(node);
                targets.push_back(local);
                out += MakeLocalEntry(Encoded(node.name), local);
                continue;
            }
            // A folder opens its own first page, as its reader expects of a chapter.
            if (const OutlineNode* first = FirstPageOf(node.children)) {
                out += MakeLocalEntry(Encoded(node.name), stored_.StoredPage(*first));
            } else {
                out += MakeNameEntry(Encoded(node.name));
            }
            out += kListStart;
            Contents(node.children, out);
            out += kListEnd;
        }
    }

    std::vector<std::string> targets;
    std::vector<std::string> inexact;

private:
    const IHelpCompiler& compiler_;
    unsigned codePage_;
    const StoredBook& stored_;
};

// The index: each keyword with the pages that carry it, a page without keywords by its name.
// Written in UTF-8, which the compiler reads for the index it stores in Unicode.
std::string MakeIndexText(const std::vector<const OutlineNode*>& pages,
                          const std::vector<PageHead>& heads, const StoredBook& stored) {
    struct Keyword {
        std::string name;
        std::vector<std::size_t> pages;
    };
    std::map<std::string, Keyword> keywords;  // by the keyword in lower case
    std::vector<std::pair<std::string, std::string>> entries;  // sort key, entry text
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (heads[i].keywords.empty()) {
            entries.emplace_back(pages[i]->name,
                                 MakeLocalEntry(SiteMapName(pages[i]->name),
                                                stored.StoredPage(*pages[i])));
            continue;
        }
        for (const std::string& keyword : heads[i].keywords) {
            Keyword& entry = keywords[ToLowerAscii(keyword)];
            if (entry.name.empty()) {
                entry.name = keyword;
            }
            entry.pages.push_back(i);
        }
    }
    for (const auto& [key, keyword] : keywords) {
        std::string name = SiteMapName(keyword.name);
        std::string text;
        if (keyword.pages.size() == 1) {
            text = MakeLocalEntry(name, stored.StoredPage(*pages[keyword.pages[0]]));
        } else {
            // Several pages: the keyword heads the list of their titles.
            text = MakeNameEntry(name) + std::string(kListStart);
            for (std::size_t page : keyword.pages) {
                const std::string& title =
                    heads[page].title.empty() ? pages[page]->name : heads[page].title;
                text += MakeLocalEntry(SiteMapName(title), stored.StoredPage(*pages[page]));
            }
            text += kListEnd;
        }
        entries.emplace_back(keyword.name, std::move(text));
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return NameOrderLess(a.first, b.first);
    });
    std::string index =
        "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\"><HTML><HEAD>"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"
        "<!-- Sitemap 1.0 --></HEAD><BODY><UL>";
    for (const auto& entry : entries) {
        index += entry.second;
    }
    return index + "</UL></BODY></HTML>";
}

std::string SingleLine(std::string_view text) {
    std::string line;
    for (char c : text) {
        line += c == '\r' || c == '\n' ? ' ' : c;
    }
    return line;
}

}  // namespace

bool IsPlainStoredName(std::string_view name) {
    if (name.empty() || name.front() == ' ' || name.back() == ' ' || name.back() == '.') {
        return false;
    }
    for (char c : name) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     std::string_view(" -_.,()'+=~!$@&[]{}").find(c) != std::string_view::npos;
        if (!plain) {
            return false;
        }
    }
    return true;
}

ChmBuildResult BuildStagedChm(const IFileSystem& files, IHelpCompiler& compiler,
                              const ChmBuildRequest& request) {
    ChmBuildResult result;
    if (std::optional<std::string> missing = compiler.MissingCompilerMessage()) {
        result.message = std::move(*missing);
        return result;
    }
    BookOutline outline = ReadBookOutline(files, request.builtFolder);
    const OutlineNode* firstPage = FirstPageOf(outline.entries);
    if (!firstPage) {
        result.message = "the folder " + request.builtFolder + " holds no page";
        return result;
    }
    StoredBook stored(outline);
    std::vector<const OutlineNode*> pages = PagesOf(outline.entries);
    std::vector<PageHead> heads;
    heads.reserve(pages.size());
    OutsideLinks outside(files,
                         request.bookFolder.empty() ? request.builtFolder : request.bookFolder,
                         request.builtFolder);
    std::map<std::string, std::string> rewritten;  // the pages whose links were changed, by path
    // A link to a page of the build that is stored under another name, or from a page that
    // is, leads to where that page is stored.
    std::map<std::string, const OutlineNode*> pageByRelative;
    for (const OutlineNode* page : pages) {
        pageByRelative.emplace(page->relative, page);
    }
    auto storedLink = [&](const OutlineNode& from,
                          std::string_view href) -> std::optional<std::string> {
        const std::size_t hash = std::min(href.find('#'), href.size());
        std::string_view path = href.substr(0, std::min(hash, href.find('?')));
        if (path.empty() || HasUrlScheme(path) || path.starts_with('/') || path.starts_with('\\')) {
            return std::nullopt;
        }
        const std::size_t slash = from.relative.rfind('/');
        std::string folder = slash == std::string::npos ? "" : from.relative.substr(0, slash + 1);
        std::optional<std::vector<std::string>> names = PathNames(folder + PercentDecode(path));
        if (!names || names->empty()) {
            return std::nullopt;
        }
        std::string relative;
        for (const std::string& name : *names) {
            relative += (relative.empty() ? "" : "/") + name;
        }
        auto target = pageByRelative.find(relative);
        if (target == pageByRelative.end()) {
            return std::nullopt;
        }
        const std::string& toStored = stored.StoredPage(*target->second);
        const std::string& fromStored = stored.StoredPage(from);
        if (toStored == relative && fromStored == from.relative) {
            return std::nullopt;  // both keep their names: the link stands as it is
        }
        return StoredReference(fromStored, toStored) + std::string(href.substr(hash));
    };
    for (const OutlineNode* page : pages) {
        std::optional<std::string> html = files.ReadWholeFile(page->path);
        if (!html) {
            result.warnings.push_back("cannot read " + page->relative);
        }
        heads.push_back(ReadPageHead(html ? *html : std::string()));
        bool changed = false;
        MarkupHandlers handlers;
        handlers.link = [&](std::string_view href) {
            std::optional<std::string> address = outside.SourceAddress(page->path, href);
            if (!address) {
                address = storedLink(*page, href);
            }
            changed = changed || address;
            return address;
        };
        std::string text = RewriteMarkupReferences(html ? *html : std::string(), handlers);
        if (changed) {
            rewritten.emplace(page->path, std::move(text));
        }
    }

    const BookLanguage& language = request.language;
    ChmTexts texts(compiler, language.codePage, stored);
    std::string defaultTopic = stored.StoredPage(*firstPage);
    std::string title = texts.Encoded(SingleLine(request.title));
    std::string entries;
    texts.Contents(outline.entries, entries);
    texts.targets.push_back(defaultTopic);

    StagedHelpProject project;
    project.compiledFile = request.compiledFile;
    project.contentsText = MakeSiteMapText(title, entries);
    // The root opens the book where it starts.
    const std::string rootEntry = MakeNameEntry(title);
    project.contentsText.replace(project.contentsText.find(rootEntry), rootEntry.size(),
                                 MakeLocalEntry(title, defaultTopic));
    project.indexText = MakeIndexText(pages, heads, stored);
    const std::string lines[] = {
        "[OPTIONS]",
        "Compatibility=1.1 or later",
        "Contents file=" + std::string(kContentsFileName),
        "Index file=" + std::string(kIndexFileName),
        "Default topic=" + defaultTopic,
        "Title=" + title,
        "Language=" + HexNumber(language.lcid) + " " + std::string(language.name),
        "Full-text search=Yes",
        // Read from the binary contents, names keep what the text form would lose ("&").
        "Binary TOC=Yes",
        "Binary Index=Yes",
        "Display compile progress=NO",
    };
    for (const std::string& line : lines) {
        project.projectText += line;
        project.projectText += kProjectLineBreak;
    }
    project.files = std::move(stored.staged);
    for (StagedFile& file : project.files) {
        if (auto page = rewritten.find(file.source); page != rewritten.end() && !file.folder) {
            file.text = std::move(page->second);
        }
    }
    project.storedFiles = std::move(stored.storedFiles);
    project.contentsTargets = std::move(texts.targets);

    if (!texts.inexact.empty()) {
        std::string names;
        for (const std::string& name : texts.inexact) {
            names += (names.empty() ? "\"" : ", \"") + name + "\"";
        }
        result.warnings.push_back("the contents show " + names + " as near as code page " +
                                  std::to_string(language.codePage) + " (" +
                                  std::string(language.name) +
                                  ") can write them; another language may hold them whole");
    }
    CompileResult compiled = compiler.CompileStaged(project);
    if (compiled.status != CompileStatus::Compiled) {
        result.message = std::move(compiled.message);
        return result;
    }
    result.built = true;
    return result;
}

}  // namespace wisp
