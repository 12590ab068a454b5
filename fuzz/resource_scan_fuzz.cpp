#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "LiteralRewrite.h"
#include "core/capture/ResourceScan.h"

// Any page: the scan must not fail and must agree with the rule applied literally.
namespace {

wisp::ReferenceDecision Decide(const wisp::ResourceTag&, std::string_view value) {
    if (value.find("stop") != std::string_view::npos) {
        return {wisp::ReferenceDecision::Outcome::Abort, {}};
    }
    if (value.find('!') != std::string_view::npos) {
        return {};
    }
    std::size_t slash = value.rfind('/');
    std::string name(slash == std::string_view::npos ? value : value.substr(slash + 1));
    return {wisp::ReferenceDecision::Outcome::Rewrite, "N.f/" + name};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string page(reinterpret_cast<const char*>(data), size);
    std::optional<std::string> scanned = wisp::RewriteResourceReferences(page, Decide);
    std::optional<std::string> literal = wisp::test::RewriteByTheLetter(page, Decide);
    if (scanned != literal) {
        std::abort();
    }
    return 0;
}
