#include "core/capture/ResourceScan.h"

#include "core/capture/TextReplace.h"

namespace wisp {

bool RewriteResourceReferences(std::string& html, const ReferenceHandler& handler) {
    std::string page = html;
    for (const ResourceTag& tag : kResourceTags) {
        std::size_t position = 0;
        for (;;) {
            std::size_t tagStart = page.find(tag.tagText, position);
            if (tagStart == std::string::npos) {
                break;
            }
            std::size_t tagEnd = page.find('>', tagStart);
            if (tagEnd == std::string::npos) {
                break;
            }
            position = tagEnd;
            std::string_view tagText = std::string_view(page).substr(tagStart, tagEnd - tagStart);
            std::optional<AttributeValue> value = FindAttributeValue(tagText, tag.attribute);
            if (!value) {
                continue;
            }
            std::string oldValue(tagText.substr(value->start, value->length));
            if (tag.zipArchivesOnly && !IsZipArchiveReference(oldValue)) {
                continue;
            }
            ReferenceDecision decision = handler(tag, oldValue);
            if (decision.outcome == ReferenceDecision::Outcome::Abort) {
                return false;
            }
            if (decision.outcome == ReferenceDecision::Outcome::Keep || oldValue.empty()) {
                continue;
            }
            std::string oldTag(tagText);
            std::string newTag = oldTag;
            ReplaceAll(newTag, oldValue, decision.newReference);
            // One adjustment, however often the value stood in the tag.
            position = tagEnd + decision.newReference.size() - oldValue.size();
            if (newTag != oldTag) {
                ReplaceAll(page, oldTag, newTag);
            }
        }
    }
    html = std::move(page);
    return true;
}

}  // namespace wisp
