#include "core/capture/TagResources.h"

#include <set>

#include "core/capture/AddressRules.h"
#include "core/capture/DocumentBase.h"
#include "core/capture/LinkRelations.h"
#include "core/capture/PageLinks.h"
#include "core/capture/ResourceScan.h"
#include "core/library/LibraryNaming.h"
#include "core/text/MarkupEscape.h"

namespace wisp {

std::vector<std::string> TagResourceAddresses(std::string_view html, const std::string& pageUrl,
                                              const IUrlCombiner& urls) {
    const std::string base = BaseUrlOfPage(html, pageUrl, urls);
    std::vector<std::string> addresses;
    std::set<std::string, std::less<>> listed;
    RewriteResourceReferences(std::string(html),
                              [&](const ResourceTag& tag, std::string_view tagText,
                                  std::string_view reference) -> ReferenceDecision {
                                  // Links to other documents (next, index, search, ...) are not the
                                  // page's.
                                  if (tag.tagText == "<LINK" && !IsNeededLink(tagText)) {
                                      return {};
                                  }
                                  std::string url = DecodeMarkupReferences(reference);
                                  if (url.empty() || url.front() == '#') {
                                      return {};
                                  }
                                  if (!IsWebUrl(url)) {
                                      if (HasUrlScheme(url) || !IsWebUrl(base)) {
                                          return {};
                                      }
                                      url = urls.Combine(base, url).value_or("");
                                  }
                                  url.resize(std::min(url.find('#'), url.size()));
                                  // A name a saved file cannot have is not saved.
                                  std::string name;
                                  if (IsWebUrl(url) && MakeResourceFileName(url, name) &&
                                      !name.empty() && listed.insert(url).second) {
                                      addresses.push_back(std::move(url));
                                  }
                                  return {};
                              });
    return addresses;
}

}  // namespace wisp
