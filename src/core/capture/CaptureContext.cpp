#include "core/capture/CaptureContext.h"

#include <algorithm>
#include <functional>
#include <random>

#include "core/capture/AddressRules.h"
#include "core/capture/CssReferences.h"
#include "core/capture/DocumentBase.h"
#include "core/capture/LinkRelations.h"
#include "core/capture/LocalReference.h"
#include "core/capture/MarkupCase.h"
#include "core/capture/MarkupReferences.h"
#include "core/capture/ImportMaps.h"
#include "core/capture/ModuleImports.h"
#include "core/capture/PageLinks.h"
#include "core/capture/ReferenceText.h"
#include "core/capture/ResourceScan.h"
#include "core/capture/SvgSprites.h"
#include "core/library/LibraryNaming.h"
#include "core/library/PathLimits.h"
#include "core/platform/PathSeparator.h"
#include "core/text/AsciiCase.h"
#include "core/text/MarkupEscape.h"

namespace wisp {
namespace {

// How an import of a module is written: a module specifier must start with "./" to be a path.
constexpr std::string_view kImportPrefix = "./";

// A combined URL must fit a 256-character buffer, a queued URL or local path a 512 one;
// a reference beyond them is left as written rather than cut to another address.
constexpr std::size_t kMaxCombinedUrlChars = 255;
constexpr std::size_t kMaxQueuedChars = 511;
// How deep style sheets importing sheets and frames holding frames are followed; the queue
// holds each address once, so a cycle ends anyway.
constexpr int kMaxFollowDepth = 4;
// A graph of modules is often deeper than nested style sheets; each is fetched once.
constexpr int kMaxModuleDepth = 24;

// "name.ext" becomes "name-2.ext", "name-3.ext", ...
std::string NumberedName(std::string_view name, int number) {
    std::size_t dot = name.rfind('.');
    if (dot == 0 || dot == std::string_view::npos) {
        dot = name.size();
    }
    std::string numbered(name.substr(0, dot));
    numbered += '-';
    numbered += std::to_string(number);
    numbered += name.substr(dot);
    return numbered;
}

bool EndsReference(char c) {
    return std::string_view("\"' \t\r\n\f)>,#;").find(c) != std::string_view::npos;
}
bool StartsReference(char c) {
    return std::string_view("\"' \t\r\n\f(=,").find(c) != std::string_view::npos;
}

bool LooksLikeText(std::string_view content) {
    return content.substr(0, 4096).find('\0') == std::string_view::npos;
}

// A hidden name of this job's own: two jobs at once, in one process or in two, draw
// different ones.
std::string MakeFetchSuffix() {
    static const char kDigits[] = "0123456789abcdef";
    std::random_device random;
    std::string suffix = ".~";
    for (int i = 0; i < 4; ++i) {
        unsigned value = random();
        for (int j = 0; j < 4; ++j, value >>= 4) {
            suffix += kDigits[value & 15];
        }
    }
    return suffix;
}

}  // namespace

CCaptureContext::CCaptureContext(const CapturePorts& ports)
    : ports_(ports), fetchSuffix_(MakeFetchSuffix()) {}

bool CCaptureContext::Init(std::string html, std::string pageUrl, std::string_view pagePath) {
    html_ = std::move(html);
    pageUrl_ = std::move(pageUrl);
    std::size_t separator = pagePath.rfind(kPathSeparator);
    pageFolder_ = separator == std::string_view::npos ? std::string()
                                                      : std::string(pagePath.substr(0, separator));
    companionName_ = MakeCompanionFolderName(pagePath);
    return true;
}

std::string CCaptureContext::CompanionFolderPath() const {
    // A page path without a folder keeps its companion beside it, not at the file system's
    // root.
    return pageFolder_.empty() ? companionName_ : JoinPath(pageFolder_, companionName_);
}

bool CCaptureContext::ResolveResourceUrl(std::string_view pageUrl, std::string& url) const {
    if (url.empty()) {
        return false;
    }
    // HTML with no address of its own (a paste, a drop) still names some resources in full.
    if (pageUrl.empty()) {
        return IsWebUrl(url);
    }
    // A web address whose scheme is written in capitals is a web address all the same.
    const bool webPage = MentionsWebScheme(pageUrl) || IsWebUrl(pageUrl);
    std::string resolved;
    // Only a reference that starts with a web scheme is absolute: one that carries an
    // address in its query ("go.php?to=http://...") is relative like any other.
    if (IsWebUrl(url) || HasDrivePathMarker(url)) {
        resolved = url;
    } else if (webPage) {
        std::optional<std::string> combined = ports_.urlCombiner.Combine(pageUrl, url);
        if (!combined || Utf16Length(*combined) > kMaxCombinedUrlChars) {
            return false;
        }
        resolved = std::move(*combined);
    } else {
        std::optional<std::string> local = ResolveLocalReference(pageUrl, url);
        if (!local) {
            return false;
        }
        resolved = std::move(*local);
    }
    if (!MayFetchFor(pageUrl, resolved)) {
        return false;
    }
    url = std::move(resolved);
    return true;
}

bool CCaptureContext::LocalizeResources() {
    sourceUrls_.clear();
    localPaths_.clear();
    fileNames_.clear();
    kinds_.clear();
    depths_.clear();
    fetched_.clear();
    entryOfUrl_.clear();
    usedNames_.clear();
    writtenReferences_.clear();
    followed_.clear();
    page_ = Document{};
    bool abort = false;
    std::string page = html_;
    const std::string baseUrl = DocumentBaseUrl(page);
    std::optional<std::string> rewritten =
        LocalizeTagTable(std::move(page), baseUrl, companionName_, 0, page_, abort);
    if (!rewritten) {
        page_.references.clear();
        return false;
    }
    // The kinds beyond the tag table come after it.
    std::string text = LocalizeMarkup(*rewritten, baseUrl, companionName_, 0, page_, abort);
    if (abort) {
        page_.references.clear();
        return false;
    }
    html_ = std::move(text);
    return true;
}

std::string CCaptureContext::DocumentBaseUrl(std::string& page) const {
    std::optional<BaseElement> base = FindBaseElement(page);
    if (!base) {
        return pageUrl_;
    }
    // The references this job writes are relative to the copy's own file.
    const std::string url = BaseUrlOf(*base, pageUrl_, ports_.urlCombiner);
    page.replace(base->start, base->end - base->start, CopyBaseElement(*base));
    return url;
}

std::optional<std::string> CCaptureContext::LocalizeTagTable(std::string html,
                                                             std::string_view baseUrl,
                                                             std::string_view prefix, int depth,
                                                             Document& document, bool& abort) {
    return RewriteResourceReferences(
        std::move(html),
        [&](const ResourceTag& tag, std::string_view tagText,
            std::string_view reference) -> ReferenceDecision {
            ResourceKind kind = ResourceKind::Plain;
            if (tag.tagText == "<LINK") {
                // Links to other documents (next, index, search, ...) are not the page's.
                if (!IsNeededLink(tagText)) {
                    return {};
                }
                if (IsStyleSheetLink(tagText)) {
                    kind = ResourceKind::StyleSheet;
                } else if (IsModulePreloadLink(tagText)) {
                    kind = ResourceKind::Module;
                }
            } else if (tag.tagText == "<FRAME") {
                kind = ResourceKind::Frame;
            } else if (tag.tagText == "<SCRIPT" && IsModuleScript(tagText)) {
                kind = ResourceKind::Module;
            }
            // The value as the browser reads it: "a.css?v=1&amp;t=2" asks for "&".
            std::optional<std::string> written =
                LocalizeReference(DecodeMarkupReferences(reference), baseUrl, prefix, kind,
                                  depth + 1, document, abort);
            if (abort) {
                return {ReferenceDecision::Outcome::Abort, {}};
            }
            if (!written) {
                return {};
            }
            return {ReferenceDecision::Outcome::Rewrite, std::move(*written)};
        });
}

std::optional<std::string> CCaptureContext::LocalizeReference(std::string_view reference,
                                                              std::string_view baseUrl,
                                                              std::string_view prefix,
                                                              ResourceKind kind, int depth,
                                                              Document& document, bool& abort) {
    if (abort || reference.empty() || reference.front() == '#') {
        return std::nullopt;
    }
    // A reference this job wrote already names its file; resolving it again against the
    // page's address would fetch a file that does not exist.
    if (writtenReferences_.contains(std::string(reference))) {
        return std::nullopt;
    }
    std::string url(reference);
    if (!ResolveResourceUrl(baseUrl, url)) {
        return std::nullopt;
    }
    std::string fragment;
    if (std::size_t hash = url.find('#'); hash != std::string::npos) {
        fragment = url.substr(hash);
        url.resize(hash);
    }
    std::size_t entry = 0;
    if (auto known = entryOfUrl_.find(url); known != entryOfUrl_.end()) {
        entry = known->second;
        if (kind != ResourceKind::Plain && entry >= fetched_.size()) {
            kinds_[entry] = kind;
        }
    } else {
        std::string fileName;
        if (!MakeResourceFileName(url, fileName) || fileName.empty()) {
            return std::nullopt;
        }
        // Another address with the same last segment gets a file of its own.
        std::string unique = fileName;
        for (int number = 2; usedNames_.contains(ToLowerAscii(unique)); ++number) {
            unique = NumberedName(fileName, number);
        }
        const std::string companionFolder = CompanionFolderPath();
        std::string localPath = JoinPath(companionFolder, unique);
        if (Utf16Length(url) > kMaxQueuedChars || Utf16Length(localPath) > kMaxQueuedChars) {
            return std::nullopt;
        }
        // Made once for the page's resources, not once for each of them.
        if (companionFolder != madeFolder_) {
            if (ports_.files.CreateFolder(companionFolder) == CreateFolderResult::Failed) {
                abort = true;
                return std::nullopt;
            }
            madeFolder_ = companionFolder;
        }
        entry = sourceUrls_.size();
        entryOfUrl_.emplace(url, entry);
        usedNames_.insert(ToLowerAscii(unique));
        sourceUrls_.push_back(std::move(url));
        localPaths_.push_back(std::move(localPath));
        fileNames_.push_back(std::move(unique));
        kinds_.push_back(kind);
        depths_.push_back(depth);
    }
    std::string written = MakeLocalReference(prefix, fileNames_[entry]);
    document.references.emplace(written, entry);
    written += fragment;
    writtenReferences_.insert(written);
    return written;
}

std::string CCaptureContext::LocalizeCss(std::string_view css, std::string_view baseUrl,
                                         std::string_view prefix, int depth, Document& document,
                                         bool& abort) {
    return RewriteCssReferences(
        css, [&](const CssReference& reference) -> std::optional<std::string> {
            return LocalizeReference(
                reference.url, baseUrl, prefix,
                reference.import ? ResourceKind::StyleSheet : ResourceKind::Plain, depth + 1,
                document, abort);
        });
}

std::optional<std::string> CCaptureContext::LocalizeImport(std::string_view specifier,
                                                           std::string_view baseUrl,
                                                           std::string_view prefix, int depth,
                                                           Document& document, bool& abort) {
    std::optional<std::string> written = LocalizeReference(
        specifier, baseUrl, prefix, ResourceKind::Module, depth + 1, document, abort);
    if (!written) {
        return std::nullopt;
    }
    // Recorded as written, so that a failed fetch gives the address back.
    std::string imported = std::string(kImportPrefix) + *written;
    if (std::optional<std::size_t> entry = document.EntryOf(*written)) {
        document.references.emplace(imported, *entry);
    }
    writtenReferences_.insert(imported);
    return imported;
}

std::string CCaptureContext::LocalizeModule(std::string_view module, std::string_view baseUrl,
                                            std::string_view prefix, int depth,
                                            Document& document, bool& abort) {
    return RewriteModuleSpecifiers(module, [&](std::string_view specifier) {
        return LocalizeImport(specifier, baseUrl, prefix, depth, document, abort);
    });
}

std::string CCaptureContext::LocalizeMarkup(std::string_view html, std::string_view baseUrl,
                                            std::string_view prefix, int depth, Document& document,
                                            bool& abort) {
    MarkupHandlers handlers;
    handlers.reference = [&](std::string_view url,
                             MarkupReferenceKind kind) -> std::optional<std::string> {
        return LocalizeReference(
            url, baseUrl, prefix,
            kind == MarkupReferenceKind::Frame ? ResourceKind::Frame : ResourceKind::Plain,
            depth + 1, document, abort);
    };
    handlers.css = [&](std::string_view css) {
        return LocalizeCss(css, baseUrl, prefix, depth, document, abort);
    };
    handlers.link = [&](std::string_view href) {
        return RewriteLink(href, baseUrl, prefix.empty());
    };
    handlers.module = [&](std::string_view module) {
        return LocalizeModule(module, baseUrl, prefix, depth, document, abort);
    };
    handlers.importMap = [&](std::string_view json) {
        return RewriteImportMapAddresses(json, [&](std::string_view address) {
            return LocalizeImport(address, baseUrl, prefix, depth, document, abort);
        });
    };
    return RewriteMarkupReferences(html, handlers);
}

std::optional<std::string> CCaptureContext::RewriteLink(std::string_view href,
                                                        std::string_view baseUrl,
                                                        bool inCompanion) const {
    // A page from disk links to its neighbours there; a link this job wrote is the page's own.
    if (href.empty() || href.front() == '#' || !IsWebUrl(baseUrl) ||
        writtenReferences_.contains(std::string(href))) {
        return std::nullopt;
    }
    const bool absolute = HasUrlScheme(href);
    std::string url(href);
    if (!absolute) {
        std::optional<std::string> combined = ports_.urlCombiner.Combine(baseUrl, href);
        if (!combined || !IsWebUrl(*combined)) {
            return std::nullopt;
        }
        url = std::move(*combined);
    } else if (!IsWebUrl(url)) {
        return std::nullopt;  // mailto:, javascript: and the like
    }
    const std::string_view address = WithoutFragment(url);
    if (linkTargets_.savedPage) {
        if (std::optional<std::string> page = linkTargets_.savedPage(address)) {
            std::string reference = PageLinkReference(linkTargets_.folder, *page);
            if (inCompanion) {
                reference.insert(0, "../");
            }
            return reference + url.substr(address.size());
        }
    }
    if (absolute) {
        return std::nullopt;
    }
    return url;
}

bool CCaptureContext::IsFollowed(std::size_t entry) const {
    const int maxDepth = kinds_[entry] == ResourceKind::Module ? kMaxModuleDepth : kMaxFollowDepth;
    return kinds_[entry] != ResourceKind::Plain && depths_[entry] <= maxDepth;
}

std::string CCaptureContext::FetchPath(std::size_t entry) const {
    std::string path = localPaths_[entry];
    if (IsFollowed(entry) && path.size() + fetchSuffix_.size() < kMaxPathChars) {
        path += fetchSuffix_;
    }
    return path;
}

bool CCaptureContext::FollowFetched(std::size_t entry, const std::string& content) {
    if (!LooksLikeText(content) ||
        (kinds_[entry] == ResourceKind::Frame && content.find('<') == std::string::npos)) {
        return false;
    }
    Document document{entry, {}, {}};
    bool abort = false;
    const std::string baseUrl = sourceUrls_[entry];
    const int depth = depths_[entry];
    // Files inside the companion folder name each other by their bare names.
    if (kinds_[entry] == ResourceKind::StyleSheet) {
        document.text = LocalizeCss(content, baseUrl, "", depth, document, abort);
    } else if (kinds_[entry] == ResourceKind::Module) {
        document.text = LocalizeModule(content, baseUrl, "", depth, document, abort);
    } else {
        std::optional<std::string> tags =
            LocalizeTagTable(NormaliseMarkupCase(content), baseUrl, "", depth, document, abort);
        if (!tags) {
            return false;
        }
        document.text = LocalizeMarkup(*tags, baseUrl, "", depth, document, abort);
    }
    if (abort) {
        return false;
    }
    followed_.push_back(std::move(document));
    return true;
}

std::string CCaptureContext::RestoreFailed(std::string text, const Document& document,
                                           bool markup) const {
    // Each place a failed reference stands, found in the text as written; the text is then
    // rebuilt once, however many failed.
    struct Place {
        std::size_t at;
        std::size_t length;
        std::size_t address;  // in `addresses`
    };
    std::vector<std::string_view> failed;
    std::vector<std::string> addresses;  // of each failed reference
    for (const auto& [reference, entry] : document.references) {
        if (entry < fetched_.size() && fetched_[entry]) {
            continue;
        }
        // An import stands in a script, whose text holds no character references.
        const bool inScript = reference.starts_with(kImportPrefix);
        failed.push_back(reference);
        addresses.push_back(AbsoluteAddressText(sourceUrls_[entry], markup && !inScript));
    }
    if (failed.empty()) {
        return text;
    }
    // The references of a page start alike (its companion folder's name): the start they
    // share is looked for once, by a search that skips ahead by its whole length, and each
    // failed reference is compared where it stands.
    std::string_view shared = failed.front();
    for (std::string_view reference : failed) {
        std::size_t same = 0;
        while (same < shared.size() && same < reference.size() && shared[same] == reference[same]) {
            ++same;
        }
        shared = shared.substr(0, same);
    }
    std::vector<Place> places;
    auto placeAt = [&](std::size_t at, std::size_t index) {
        const std::size_t end = at + failed[index].size();
        if (text.compare(at, failed[index].size(), failed[index]) == 0 &&
            (at == 0 || StartsReference(text[at - 1])) &&
            (end == text.size() || EndsReference(text[end]))) {
            places.push_back({at, failed[index].size(), index});
        }
    };
    auto searchFor = [&](std::string_view wanted, const auto& atEach) {
        const std::boyer_moore_horspool_searcher searcher(wanted.begin(), wanted.end());
        for (auto found = std::search(text.begin(), text.end(), searcher); found != text.end();
             found = std::search(found + 1, text.end(), searcher)) {
            atEach(static_cast<std::size_t>(found - text.begin()));
        }
    };
    if (!shared.empty()) {
        searchFor(shared, [&](std::size_t at) {
            for (std::size_t index = 0; index < failed.size(); ++index) {
                placeAt(at, index);
            }
        });
    } else {
        // References that share no start are each looked for on their own.
        for (std::size_t index = 0; index < failed.size(); ++index) {
            searchFor(failed[index], [&](std::size_t at) { placeAt(at, index); });
        }
    }
    if (places.empty()) {
        return text;
    }
    std::sort(places.begin(), places.end(),
              [](const Place& a, const Place& b) { return a.at < b.at; });
    std::string restored;
    restored.reserve(text.size());
    std::size_t copied = 0;
    for (const Place& place : places) {
        if (place.at < copied) {
            continue;  // within a reference restored already
        }
        restored.append(text, copied, place.at - copied);
        restored += addresses[place.address];
        copied = place.at + place.length;
    }
    restored.append(text, copied, std::string::npos);
    return restored;
}

bool CCaptureContext::DownloadResources() {
    ports_.progress.Show();
    fetched_.clear();
    followed_.clear();
    std::size_t next = 0;
    // Each round fetches what the previous round's style sheets, frames and modules referenced.
    while (next < sourceUrls_.size()) {
        const std::size_t end = sourceUrls_.size();
        // What is followed comes from the downloader's own copy where it keeps one, without a
        // file written only to be read back; the rest is fetched.
        std::vector<std::optional<std::string>> kept(end - next);
        std::vector<std::string> paths(end - next);  // where each fetched one is put
        std::vector<std::string> urls;
        std::vector<std::string> fetchPaths;
        for (std::size_t i = next; i < end; ++i) {
            if (IsFollowed(i)) {
                kept[i - next] = ports_.downloader.KeptContent(sourceUrls_[i]);
            }
            if (!kept[i - next]) {
                paths[i - next] = FetchPath(i);
                urls.push_back(sourceUrls_[i]);
                fetchPaths.push_back(paths[i - next]);
            }
        }
        std::vector<bool> fetched =
            ports_.downloader.DownloadAll(urls, fetchPaths, ports_.progress);
        fetched.resize(urls.size(), false);
        for (std::size_t i = next, n = 0; i < end; ++i) {
            fetched_.push_back(kept[i - next] ? true : static_cast<bool>(fetched[n++]));
        }
        for (std::size_t i = next; i < end; ++i) {
            if (!fetched_[i] || !IsFollowed(i)) {
                continue;
            }
            std::optional<std::string>& content = kept[i - next];
            // A copy under a name of its own is read back and removed; the entry's own file
            // is written only if the text is not followed.
            bool ownName = true;
            if (!content) {
                const std::string& path = paths[i - next];
                ownName = path != localPaths_[i];
                content = ports_.files.ReadWholeFile(path);
                if (ownName) {
                    ports_.files.RemoveFile(path);
                }
            }
            if (!content) {
                fetched_[i] = !ownName;
            } else if (!FollowFetched(i, *content) && ownName) {
                fetched_[i] = ports_.files.WriteWholeFile(localPaths_[i], *content);
            }
        }
        next = end;
    }
    // A reference whose file could not be fetched keeps the address it had, so the saved
    // page still shows it when online.
    html_ = RestoreFailed(std::move(html_), page_, true);
    html_ = InlineSvgSprites(html_, [&](std::string_view reference) -> std::optional<std::string> {
        std::optional<std::size_t> entry = page_.EntryOf(reference);
        if (!entry || !fetched_[*entry]) {
            return std::nullopt;
        }
        return ports_.files.ReadWholeFile(localPaths_[*entry]);
    });
    for (Document& document : followed_) {
        const bool markup = kinds_[document.entry] == ResourceKind::Frame;
        ports_.files.WriteWholeFile(localPaths_[document.entry],
                                    RestoreFailed(std::move(document.text), document, markup));
    }
    ports_.progress.Close();
    return true;
}

}  // namespace wisp
