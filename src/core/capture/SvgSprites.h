#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Icons drawn with <use href="sprite.svg#icon">: a browser follows such a reference to another
// file only for a page from the web, not for a saved copy opened from disk (nor does a
// compiled help viewer), so a copy carries the sprites it uses inside itself.
namespace wisp {

// The sprite file a page reference names, as it was saved; nullopt for one not saved.
using SavedSprite = std::function<std::optional<std::string>(std::string_view reference)>;

// The page with each <use> whose href names a symbol in a saved sprite pointing at "#symbol",
// and the content of each such sprite put once, without scripts, in an invisible SVG before
// the end of the body. A reference to anything else stays as it is.
std::string InlineSvgSprites(std::string_view html, const SavedSprite& savedSprite);

}  // namespace wisp
