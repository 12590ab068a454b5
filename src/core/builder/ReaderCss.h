#pragma once

#include <string>
#include <string_view>

// Style sheets made fit for EPUB reading systems. Written here over the CSS syntax rules
// (tokens, blocks, declarations, rules) because no C or C++ CSS parser in Debian reads
// current CSS: libcroco is gone from bookworm, NetSurf's libcss is not packaged on its own,
// libcss-parser knows CSS1 only, and libsass (a Sass compiler) rejects valid CSS such as
// min() of mixed units.
namespace wisp {

// The sheet with nested rules (CSS nesting) written as the flat rules they stand for, which
// reading systems and the EPUB checker read: "a { & b {} }" becomes "a b {}", a nested
// "@media" rule keeps its selector inside. A rule with a relational selector (":has()"),
// which the checker rejects, is left out, and so are comments; everything else is kept as
// written. An unbalanced sheet is closed where it ends.
std::string FlattenNestedCss(std::string_view css);

// The package's own sheet, linked after a page's sheets: undoes what fights a reader's
// pagination (fixed and minimum widths, floats, positioned and multi-column layouts, page
// grids) and fits pictures and code to the page.
std::string_view ReaderStyleSheet();

}  // namespace wisp
