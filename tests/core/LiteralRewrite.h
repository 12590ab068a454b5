#pragma once

#include <optional>
#include <string>

#include "core/capture/ResourceScan.h"
#include "core/capture/TextReplace.h"

// The rewrite rule applied step by step on one flat string, rebuilding the page for every
// rewritten tag: slow, but plainly the rule. The scan must give the same result.
namespace wisp::test {

inline std::optional<std::string> RewriteByTheLetter(std::string page,
                                                     const ReferenceHandler& handler) {
    for (const ResourceTag& tag : kResourceTags) {
        std::size_t position = 0;
        for (;;) {
            std::size_t start = page.find(tag.tagText, position);
            if (start == std::string::npos) {
                break;
            }
            std::size_t end = page.find('>', start);
            if (end == std::string::npos) {
                break;
            }
            position = end;
            const std::string oldTag = page.substr(start, end - start);
            std::optional<AttributeValue> value = FindAttributeValue(oldTag, tag.attribute);
            if (!value) {
                continue;
            }
            const std::string oldValue = oldTag.substr(value->start, value->length);
            if (tag.zipArchivesOnly && !IsZipArchiveReference(oldValue)) {
                continue;
            }
            ReferenceDecision decision = handler(tag, oldTag, oldValue);
            if (decision.outcome == ReferenceDecision::Outcome::Abort) {
                return std::nullopt;
            }
            if (decision.outcome == ReferenceDecision::Outcome::Keep || oldValue.empty()) {
                continue;
            }
            std::string newTag = oldTag;
            ReplaceAll(newTag, oldValue, decision.newReference);
            position = end + decision.newReference.size() - oldValue.size();
            ReplaceAll(page, oldTag, newTag);
        }
    }
    return page;
}

}  // namespace wisp::test
