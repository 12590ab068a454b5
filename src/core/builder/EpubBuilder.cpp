#include "core/builder/EpubBuilder.h"

#include <cctype>
#include <cstdint>
#include <map>
#include <random>
#include <set>

#include "core/builder/StyleSheetRewrite.h"
#include "core/builder/EpubText.h"
#include "core/builder/FolderDescent.h"
#include "core/builder/HelpProjectWriter.h"
#include "core/builder/OutsideLinks.h"
#include "core/builder/ReaderCss.h"
#include "core/builder/SiteMapPages.h"
#include "core/capture/MarkupTag.h"
#include "core/library/LibraryNaming.h"
#include "core/text/AsciiCase.h"
#include "core/text/MarkupEscape.h"
#include "core/text/PercentEncoding.h"

namespace wisp {
namespace {

enum class FileRole { Page, FramePage, Resource };

struct BookFile {
    std::string fullPath;
    std::string relative;     // from the built folder, joined with '/'
    std::string packagePath;  // from the package document
    std::string label;
    FileRole role = FileRole::Resource;
    bool present = true;
};

bool IsSafeNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
}

bool IsHtmlName(std::string_view name) {
    return EndsWithNoCase(name, ".htm") || EndsWithNoCase(name, ".html");
}

std::vector<std::string> SplitPath(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string_view::npos) {
            slash = path.size();
        }
        if (slash > start) {
            parts.emplace_back(path.substr(start, slash - start));
        }
        start = slash + 1;
    }
    return parts;
}

std::string ParentOf(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

// `to` as a reference from a document in the package folder `fromFolder`.
std::string RelativeHref(std::string_view fromFolder, std::string_view to) {
    std::vector<std::string> from = SplitPath(fromFolder);
    std::vector<std::string> target = SplitPath(to);
    std::size_t common = 0;
    while (common < from.size() && common + 1 < target.size() && from[common] == target[common]) {
        ++common;
    }
    std::string href;
    for (std::size_t i = common; i < from.size(); ++i) {
        href += "../";
    }
    for (std::size_t i = common; i < target.size(); ++i) {
        href += target[i];
        if (i + 1 < target.size()) {
            href += '/';
        }
    }
    return href;
}

bool HasScheme(std::string_view reference) {
    std::size_t colon = reference.find(':');
    if (colon == std::string_view::npos || colon < 2) {
        return false;  // "C:" is a drive, not a scheme
    }
    for (std::size_t i = 0; i < colon; ++i) {
        char c = reference[i];
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.')) {
            return false;
        }
    }
    return std::isalpha(static_cast<unsigned char>(reference[0]));
}

// Gathers the pages, the navigation tree and the companion files in the site map's order.
class BookWalk {
public:
    BookWalk(const IFileSystem& files, const HelpProjectWriter& writer)
        : files_(files), writer_(writer) {}

    std::vector<BookFile> files;
    std::map<std::string, std::size_t> byRelative;
    std::map<std::string, std::size_t> byProjectPath;

    void Walk(std::string_view folder, std::string_view relative, FolderDescent descent,
              std::vector<EpubNavEntry>& nav) {
        auto listing = ListBookFolder(files_, folder);
        if (!listing) {
            return;
        }
        for (const FolderEntry& entry : *listing) {
            std::string path = JoinPath(folder, entry.name);
            std::string relativePath = Join(relative, entry.name);
            if (entry.isFolder) {
                if (!descent.Enters(entry)) {
                    continue;
                }
                if (IsCompanionFolder(entry.name)) {
                    std::string packageFolder = "files/c" + Number(++companions_, 3);
                    AddCompanion(path, relativePath, packageFolder, descent.Into(entry));
                    continue;
                }
                // A heading, never a link: the site map's link from the first folder to the
                // default topic would lead back against the reading order.
                EpubNavEntry heading{entry.name, "", {}};
                Walk(path, relativePath, descent.Into(entry), heading.children);
                nav.push_back(std::move(heading));
            } else if (IsSiteMapPage(entry.name)) {
                std::string packagePath = "text/p" + Number(++pages_, 4) + ".xhtml";
                nav.push_back({SiteMapPageName(entry.name), packagePath, {}});
                Add({path, relativePath, packagePath, SiteMapPageName(entry.name), FileRole::Page});
            }
        }
    }

private:
    static std::string Join(std::string_view relative, std::string_view name) {
        return relative.empty() ? std::string(name)
                                : std::string(relative) + "/" + std::string(name);
    }

    static std::string Number(std::size_t n, int width) {
        std::string digits = std::to_string(n);
        return std::string(
                   digits.size() < static_cast<std::size_t>(width) ? width - digits.size() : 0,
                   '0') +
               digits;
    }

    // A name a reader's zip and URL handling take as it is: plain letters, kept where the
    // original already is one so that style sheets still find their pictures beside them.
    std::string SafeName(std::string_view packageFolder, std::string_view name, bool isPage) {
        std::string base(name);
        std::string extension;
        std::size_t dot = name.rfind('.');
        if (dot != std::string_view::npos && dot > 0) {
            base = name.substr(0, dot);
            extension = name.substr(dot);
        }
        if (isPage) {
            extension = ".xhtml";
        }
        bool safe = !base.empty() && base.size() <= 64 && base[0] != '.' && base[0] != '-';
        for (char c : base + extension) {
            safe = safe && IsSafeNameChar(c);
        }
        if (!safe) {
            base = "item" + std::to_string(++renamed_);
            bool plainExtension = extension.size() <= 8;
            for (char c : extension) {
                plainExtension = plainExtension && IsSafeNameChar(c);
            }
            if (!plainExtension) {
                extension.clear();
            }
        }
        std::string candidate = base + extension;
        auto& used = usedNames_[std::string(packageFolder)];
        while (!used.insert(ToLowerAscii(candidate)).second) {
            candidate = base + "-" + std::to_string(++renamed_) + extension;
        }
        return candidate;
    }

    void AddCompanion(std::string_view folder, std::string_view relative,
                      std::string_view packageFolder, FolderDescent descent) {
        auto listing = ListBookFolder(files_, folder);
        if (!listing) {
            return;
        }
        for (const FolderEntry& entry : *listing) {
            std::string path = JoinPath(folder, entry.name);
            std::string relativePath = Join(relative, entry.name);
            if (entry.isFolder) {
                if (descent.Enters(entry)) {
                    std::string inner = std::string(packageFolder) + "/" +
                                        SafeName(packageFolder, entry.name, false);
                    AddCompanion(path, relativePath, inner, descent.Into(entry));
                }
                continue;
            }
            bool isPage = IsHtmlName(entry.name);
            std::string packagePath =
                std::string(packageFolder) + "/" + SafeName(packageFolder, entry.name, isPage);
            Add({path, relativePath, packagePath, SiteMapPageName(entry.name),
                 isPage ? FileRole::FramePage : FileRole::Resource});
        }
    }

    void Add(BookFile file) {
        std::string projectPath = file.fullPath;
        writer_.MakeProjectRelative(projectPath);
        byRelative.emplace(file.relative, files.size());
        byProjectPath.emplace(projectPath, files.size());
        files.push_back(std::move(file));
    }

    const IFileSystem& files_;
    const HelpProjectWriter& writer_;
    std::size_t pages_ = 0;
    std::size_t companions_ = 0;
    std::size_t renamed_ = 0;
    std::map<std::string, std::set<std::string>> usedNames_;
};

std::optional<std::string> ResolveReference(const BookWalk& walk, ReferenceKind kind,
                                            std::string_view reference, std::string_view from,
                                            std::vector<std::string>& warnings,
                                            OutsideLinks* outsideLinks = nullptr) {
    const std::vector<BookFile>& files = walk.files;
    const BookFile& page = files[walk.byRelative.at(std::string(from))];
    std::string pageFolder = ParentOf(page.relative);
    std::string packageFolder = ParentOf(page.packagePath);
    std::string_view trimmed = reference;
    while (!trimmed.empty() && std::isspace(static_cast<unsigned char>(trimmed.front()))) {
        trimmed.remove_prefix(1);
    }
    while (!trimmed.empty() && std::isspace(static_cast<unsigned char>(trimmed.back()))) {
        trimmed.remove_suffix(1);
    }
    if (trimmed.empty()) {
        return std::nullopt;
    }
    if (trimmed.front() == '#') {
        return kind == ReferenceKind::Link ? std::optional<std::string>(trimmed) : std::nullopt;
    }
    if (HasScheme(trimmed) || trimmed.starts_with("//")) {
        bool readable = StartsWithNoCase(trimmed, "http:") || StartsWithNoCase(trimmed, "https:") ||
                        StartsWithNoCase(trimmed, "mailto:");
        if (kind == ReferenceKind::Link && readable) {
            return std::string(trimmed);
        }
        if (kind != ReferenceKind::Link) {
            warnings.push_back(page.relative + ": " + std::string(trimmed) +
                               " is not inside the book, left out");
        }
        return std::nullopt;
    }
    std::string_view target = trimmed;
    std::string fragment;
    if (std::size_t hash = target.find('#'); hash != std::string_view::npos) {
        fragment = target.substr(hash);
        target = target.substr(0, hash);
    }
    if (std::size_t query = target.find('?'); query != std::string_view::npos) {
        target = target.substr(0, query);
    }
    std::string local = PercentDecode(target);
    for (char& c : local) {
        if (c == '\\') {
            c = '/';
        }
    }
    std::vector<std::string> parts;
    bool outside = local.starts_with("/");
    for (std::string& part : SplitPath(pageFolder + "/" + local)) {
        if (part == "..") {
            outside = outside || parts.empty();
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (part != ".") {
            parts.push_back(std::move(part));
        }
    }
    std::string key;
    for (const std::string& part : parts) {
        key += key.empty() ? part : "/" + part;
    }
    auto found = outside ? walk.byRelative.end() : walk.byRelative.find(key);
    if (found == walk.byRelative.end() || !files[found->second].present) {
        if (kind == ReferenceKind::Link && outsideLinks) {
            return outsideLinks->SourceAddress(page.fullPath, trimmed);
        }
        if (kind != ReferenceKind::Link) {
            warnings.push_back(page.relative + ": no file " + (outside ? local : key) +
                               ", reference left out");
        }
        return std::nullopt;
    }
    const BookFile& file = files[found->second];
    bool isDocument = file.role != FileRole::Resource;
    if (kind != ReferenceKind::Resource && !isDocument) {
        return std::nullopt;  // a reader follows links only to the book's pages
    }
    if (kind == ReferenceKind::Resource && isDocument) {
        return std::nullopt;
    }
    return RelativeHref(packageFolder, file.packagePath) +
           (kind == ReferenceKind::Resource ? std::string() : fragment);
}

constexpr std::string_view kReaderSheet = "styles/reader.css";

// `href` (relative, may hold "../" and a fragment) from the package folder `from`, as a path
// from the package document.
std::string JoinHref(std::string_view from, std::string_view href) {
    href = href.substr(0, href.find('#'));
    std::vector<std::string> parts = SplitPath(from);
    for (const std::string& part : SplitPath(href)) {
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (part != ".") {
            parts.push_back(part);
        }
    }
    std::string joined;
    for (const std::string& part : parts) {
        joined += joined.empty() ? part : "/" + part;
    }
    return joined;
}

// The ids of a content document's elements.
std::set<std::string> IdsOf(std::string_view xhtml) {
    std::set<std::string> ids;
    std::string tag;
    std::vector<MarkupAttribute> attributes;
    for (std::size_t at = 0; (at = FindStartTag(xhtml, at)) != std::string_view::npos;) {
        at = ReadMarkupTag(xhtml, at, tag, attributes);
        for (const MarkupAttribute& attribute : attributes) {
            if (attribute.name == "id" && attribute.hasValue) {
                ids.insert(DecodeMarkupReferences(xhtml.substr(
                    attribute.valueStart, attribute.valueEnd - attribute.valueStart)));
            }
        }
    }
    return ids;
}

// A link to an element a document of the book does not have leads to that document's top: a
// reader could not go to the element, and a checker refuses a book that names it.
// `documents` holds each content document by its package path.
void DropUndefinedFragments(const std::map<std::string, std::string*>& documents) {
    std::map<std::string, std::set<std::string>> ids;
    for (const auto& [path, text] : documents) {
        ids[path] = IdsOf(*text);
    }
    for (const auto& [path, text] : documents) {
        std::string out;
        std::size_t copied = 0;
        std::string tag;
        std::vector<MarkupAttribute> attributes;
        for (std::size_t at = 0; (at = FindStartTag(*text, at)) != std::string::npos;) {
            at = ReadMarkupTag(*text, at, tag, attributes);
            if (tag != "a" && tag != "area") {
                continue;
            }
            for (const MarkupAttribute& attribute : attributes) {
                std::string_view value = std::string_view(*text).substr(
                    attribute.valueStart, attribute.valueEnd - attribute.valueStart);
                const std::size_t hash = value.find('#');
                if (attribute.name != "href" || hash == std::string_view::npos ||
                    HasScheme(value.substr(0, hash))) {
                    continue;
                }
                const std::string target =
                    hash == 0 ? path : JoinHref(ParentOf(path), value.substr(0, hash));
                auto known = ids.find(target);
                const std::string element =
                    PercentDecode(DecodeMarkupReferences(value.substr(hash + 1)));
                if (known == ids.end() || known->second.contains(element)) {
                    continue;
                }
                out.append(*text, copied, attribute.valueStart - copied);
                out += hash == 0 ? path.substr(path.rfind('/') + 1) : value.substr(0, hash);
                copied = attribute.valueEnd;
            }
        }
        if (copied > 0) {
            out.append(*text, copied, std::string::npos);
            *text = std::move(out);
        }
    }
}

// Pages are listed by their titles, as a reader names them; a page without one keeps its name.
void LabelByTitles(std::vector<EpubNavEntry>& entries,
                   const std::map<std::string, std::string>& titles) {
    for (EpubNavEntry& entry : entries) {
        auto title = titles.find(entry.href);
        if (title != titles.end() && title->second.find_first_not_of(" \t\r\n") != std::string::npos) {
            entry.label = title->second;
        }
        LabelByTitles(entry.children, titles);
    }
}

// A file missing from the book is said once, however many pages name it.
std::vector<std::string> OnePerMissingFile(std::vector<std::string> warnings) {
    std::vector<std::string> kept;
    std::map<std::string, std::size_t> seen;  // the warning less its page, to its place in kept
    std::vector<std::size_t> counts;
    for (std::string& warning : warnings) {
        std::size_t colon = warning.find(": ");
        std::string what = colon == std::string::npos ? warning : warning.substr(colon + 2);
        auto [found, added] = seen.emplace(what, kept.size());
        if (added) {
            kept.push_back(std::move(warning));
            counts.push_back(1);
        } else {
            ++counts[found->second];
        }
    }
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (counts[i] > 1) {
            kept[i] += " (and in " + std::to_string(counts[i] - 1) + " more)";
        }
    }
    return kept;
}

// A folder heading nothing has no place in a reader's contents list.
void DropEmptyFolders(std::vector<EpubNavEntry>& entries) {
    std::vector<EpubNavEntry> kept;
    for (EpubNavEntry& entry : entries) {
        DropEmptyFolders(entry.children);
        if (!entry.href.empty() || !entry.children.empty()) {
            kept.push_back(std::move(entry));
        }
    }
    entries = std::move(kept);
}

bool IsLanguageTag(std::string_view tag) {
    if (tag.empty() || tag.size() > 35 || !std::isalpha(static_cast<unsigned char>(tag[0]))) {
        return false;
    }
    for (char c : tag) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') {
            return false;
        }
    }
    return true;
}

bool IsUuidUrn(std::string_view text) {
    constexpr std::string_view kPrefix = "urn:uuid:";
    if (text.size() != kPrefix.size() + 36 || !text.starts_with(kPrefix)) {
        return false;
    }
    for (std::size_t i = 0; i < 36; ++i) {
        char c = text[kPrefix.size() + i];
        bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

std::string MakeUuidUrn() {
    std::random_device device;
    std::mt19937_64 random((static_cast<std::uint64_t>(device()) << 32) ^ device());
    std::uniform_int_distribution<int> digit(0, 15);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string uuid = "urn:uuid:";
    for (int i = 0; i < 32; ++i) {
        if (i == 8 || i == 12 || i == 16 || i == 20) {
            uuid += '-';
        }
        int value = digit(random);
        if (i == 12) {
            value = 4;  // version 4: random
        } else if (i == 16) {
            value = 8 | (value & 3);  // the RFC 4122 variant
        }
        uuid += kHex[value];
    }
    return uuid;
}

}  // namespace

std::string ReadOrMakeEpubIdentifier(IFileSystem& files, std::string_view builtFolder,
                                     bool& stored) {
    std::string path = JoinPath(builtFolder, kEpubIdentifierFile);
    std::string earlier = JoinPath(builtFolder, kEarlierEpubIdentifierFile);
    for (const std::string& kept : {path, earlier}) {
        if (auto content = files.ReadWholeFile(kept)) {
            std::string text = *content;
            while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
                text.pop_back();
            }
            if (IsUuidUrn(text)) {
                stored = kept == path || files.WriteWholeFile(path, text + "\n", true);
                if (kept != path && stored) {
                    files.RemoveFile(earlier);
                }
                return text;
            }
        }
    }
    std::string made = MakeUuidUrn();
    stored = files.WriteWholeFile(path, made + "\n", true);
    return made;
}

CEpubBuilder::CEpubBuilder(IFileSystem& files, const IXhtmlConverter& converter, BuildItem item)
    : files_(files), converter_(converter), item_(std::move(item)) {}

EpubBuildResult CEpubBuilder::BuildEpub(IEpubArchive& archive, std::string_view modified,
                                        std::string_view bookLanguage) {
    EpubBuildResult result;
    if (item_.kind != BuildItemKind::Folder) {
        result.message = "a page is not a book: choose its folder";
        return result;
    }
    HelpProjectWriter writer(files_, files_.GetShortPath(item_.targetFolder));
    BookWalk walk(files_, writer);
    std::vector<EpubNavEntry> nav;
    walk.Walk(item_.targetFolder, "", FolderDescent{}, nav);

    // Reading starts where the compiled book opens: the help project's default topic.
    std::string firstPage;
    auto first = walk.byProjectPath.find(writer.FindFirstPage(item_.targetFolder));
    if (first != walk.byProjectPath.end() && walk.files[first->second].role != FileRole::Resource) {
        firstPage = walk.files[first->second].packagePath;
    }
    DropEmptyFolders(nav);

    std::vector<BookFile>& files = walk.files;
    bool hasPage = false;
    for (const BookFile& file : files) {
        hasPage = hasPage || file.role == FileRole::Page;
    }
    if (!hasPage) {
        result.message = "the folder " + item_.targetFolder + " holds no page";
        return result;
    }

    OutsideLinks outside(files_, item_.bookFolder.empty() ? item_.targetFolder : item_.bookFolder,
                         item_.targetFolder);
    std::vector<std::string> contents(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].role == FileRole::Resource) {
            auto content = files_.ReadWholeFile(files[i].fullPath);
            files[i].present = content.has_value();
            if (content) {
                contents[i] = std::move(*content);
            } else {
                result.warnings.push_back("cannot read " + files[i].relative + ", left out");
            }
        }
    }
    // Style sheets are rewritten once every resource is known to be there or not.
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].present && files[i].role == FileRole::Resource &&
            MediaTypeOf(files[i].packagePath) == "text/css") {
            contents[i] = RewriteOrDropCssReferences(FlattenNestedCss(contents[i]), [&](std::string_view reference) {
                return ResolveReference(walk, ReferenceKind::Resource, reference, files[i].relative,
                                        result.warnings);
            });
        }
    }

    std::string language;
    std::map<std::string, std::string> titles;  // a document's title by its package path
    // Frames' pages first, so that the page that frames them can show them by their titles.
    std::vector<std::size_t> order;
    for (FileRole role : {FileRole::FramePage, FileRole::Page}) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (files[i].role == role) {
                order.push_back(i);
            }
        }
    }
    for (std::size_t i : order) {
        BookFile& page = files[i];
        ReferenceRewrite rewrite = [&](ReferenceKind kind,
                                       std::string_view reference) -> std::optional<std::string> {
            if (kind == ReferenceKind::FrameTitle) {
                std::vector<std::string> ignored;
                std::optional<std::string> href =
                    ResolveReference(walk, ReferenceKind::Frame, reference, page.relative, ignored);
                std::string target = href ? JoinHref(ParentOf(page.packagePath), *href) : "";
                auto title = titles.find(target);
                return title == titles.end() ? std::nullopt : std::optional(title->second);
            }
            return ResolveReference(walk, kind, reference, page.relative, result.warnings,
                                    &outside);
        };
        auto html = files_.ReadWholeFile(page.fullPath);
        if (!html) {
            result.warnings.push_back("cannot read " + page.relative + ", its page is empty");
        }
        XhtmlPage converted = converter_.Convert(html ? *html : std::string(), page.label, rewrite);
        if (!converted.refusal.empty()) {
            result.warnings.push_back("cannot convert " + page.relative + ": " +
                                      converted.refusal + ", its page is empty");
        }
        if (language.empty() && page.role == FileRole::Page && IsLanguageTag(converted.language)) {
            language = converted.language;
        }
        // The reader's own sheet comes last, so that it has the last word.
        std::size_t headEnd = converted.text.find("</head>");
        if (headEnd != std::string::npos) {
            converted.text.insert(headEnd, "<link rel=\"stylesheet\" type=\"text/css\" href=\"" +
                                               RelativeHref(ParentOf(page.packagePath),
                                                            kReaderSheet) +
                                               "\"/>\n");
        }
        titles[page.packagePath] = converted.title;
        contents[i] = std::move(converted.text);
    }
    std::map<std::string, std::string*> documents;
    for (std::size_t i : order) {
        documents[files[i].packagePath] = &contents[i];
    }
    DropUndefinedFragments(documents);
    if (language.empty()) {
        language = IsLanguageTag(bookLanguage) ? std::string(bookLanguage) : "en";
    }
    LabelByTitles(nav, titles);
    result.warnings = OnePerMissingFile(std::move(result.warnings));

    EpubPackage package;
    bool identifierKept = false;
    package.identifier = ReadOrMakeEpubIdentifier(files_, item_.targetFolder, identifierKept);
    if (!identifierKept) {
        result.warnings.push_back("cannot keep the book's identifier in " + item_.targetFolder +
                                  ": a rebuild will be a new book to a reader");
    }
    package.title = item_.label;
    package.language = language;
    package.modified = modified;
    package.manifest.push_back({"nav", "nav.xhtml", std::string(kXhtmlMediaType), "nav"});
    package.manifest.push_back({"reader", std::string(kReaderSheet), "text/css", ""});
    for (std::size_t i = 0; i < files.size(); ++i) {
        const BookFile& file = files[i];
        if (!file.present) {
            continue;
        }
        std::string id = "i" + std::to_string(i + 1);
        bool isDocument = file.role != FileRole::Resource;
        package.manifest.push_back(
            {id, file.packagePath,
             isDocument ? std::string(kXhtmlMediaType) : MediaTypeOf(file.packagePath), ""});
        if (isDocument) {
            package.spine.push_back({id, file.role == FileRole::Page});
        }
    }

    std::string folder(kEpubFolder);
    bool added = archive.AddEntry("mimetype", std::string(kEpubMimeType), false) &&
                 archive.AddEntry("META-INF/container.xml", MakeContainerXml(), true) &&
                 archive.AddEntry(folder + "/package.opf", MakePackageDocument(package), true) &&
                 archive.AddEntry(folder + "/nav.xhtml",
                                  MakeNavDocument(item_.label, language, nav, firstPage), true) &&
                 archive.AddEntry(folder + "/" + std::string(kReaderSheet),
                                  std::string(ReaderStyleSheet()), true);
    for (std::size_t i = 0; added && i < files.size(); ++i) {
        if (files[i].present) {
            added =
                archive.AddEntry(folder + "/" + files[i].packagePath, std::move(contents[i]), true);
        }
    }
    std::string error;
    if (!added || !archive.Finish(error)) {
        result.message = error.empty() ? "cannot write the book" : error;
        return result;
    }
    result.built = true;
    return result;
}

}  // namespace wisp
