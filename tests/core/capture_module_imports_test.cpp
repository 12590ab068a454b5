#include <gtest/gtest.h>

#include "core/capture/ImportMaps.h"
#include "core/capture/ModuleImports.h"

namespace wisp {
namespace {

TEST(RewriteModuleSpecifiers, TakesTheImportsOfFilesAndNothingElse) {
    struct Case {
        std::string_view source;
        std::string_view rewritten;  // each specifier given to the rewrite in brackets
    };
    const Case cases[] = {
        {"import a from './a.js'", "import a from '[./a.js]'"},
        {"import {a,\n B as c} from \"../b.js\";import * as n from '/n.js'",
         "import {a,\n B as c} from \"[../b.js]\";import * as n from '[/n.js]'"},
        {"import d, {e} from 'https://cdn.test/e.js'; import './side.js'",
         "import d, {e} from '[https://cdn.test/e.js]'; import '[./side.js]'"},
        {"export {a} from './a.js'; export * as m from './m.js'",
         "export {a} from '[./a.js]'; export * as m from '[./m.js]'"},
        {"n = 2*3; const m = await import('./lazy.js', {with: {}}); import from from './f.js'",
         "n = 2*3; const m = await import('[./lazy.js]', {with: {}}); import from from '[./f.js]'"},
        {"x = `a${ import('./w.js') }b`", "x = `a${ import('[./w.js]') }b`"},
        // Kept: bare names, specifiers built or escaped, properties, and imports inside
        // comments, strings, regular expressions and template text.
        {"import x from 'lodash'; import('./' + name); import(`./t.js`); import('./\\x61.js')", ""},
        {"import.meta.url; o.import('./p.js'); export const q = './q.js'; export {r};", ""},
        {"// import './c.js'\n/* import './d.js' */ s = 'import \"./s.js\"'", ""},
        {"x = a / 2; y = /import '.\\/r.js'/g; z = `${ {k: 1}.k } import './t.js'`", ""},
        {"`${`${b}`}` + 1 / 2; /**/import './v.js'", "`${`${b}`}` + 1 / 2; /**/import '[./v.js]'"},
        // A slash inside a regular expression's class does not end it.
        {"r = /[/'\"]/; import './u.js'", "r = /[/'\"]/; import '[./u.js]'"},
    };
    for (const Case& c : cases) {
        const std::string rewritten = RewriteModuleSpecifiers(
            c.source, [](std::string_view s) { return "[" + std::string(s) + "]"; });
        EXPECT_EQ(rewritten, c.rewritten.empty() ? c.source : c.rewritten) << c.source;
    }
}

TEST(RewriteImportMapAddresses, TakesTheAddressesOfModulesAndNothingElse) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {R"({"imports": {"vue": "https://cdn.test/vue.js", "a": "./a.js"}})",
         R"({"imports": {"vue": "[https://cdn.test/vue.js]", "a": "[./a.js]"}})"},
        {R"({"scopes": {"/app/": {"b": "/b.js"}}, "integrity": {"/b.js": "sha384-x"}})",
         R"({"scopes": {"/app/": {"b": "[/b.js]"}}, "integrity": {"/b.js": "sha384-x"}})"},
        // A folder's address, an escaped one and a map's own names are kept.
        {R"({"imports":{"lib/":"./lib/","e":"./\u0065.js","imports":"./i.js"}})",
         R"({"imports":{"lib/":"./lib/","e":"./\u0065.js","imports":"[./i.js]"}})"},
        {R"({"imports": {"x": "./x.js)", R"({"imports": {"x": "./x.js)"},
    };
    for (const auto& [json, rewritten] : cases) {
        EXPECT_EQ(RewriteImportMapAddresses(
                      json, [](std::string_view s) { return "[" + std::string(s) + "]"; }),
                  rewritten)
            << json;
    }
}

}  // namespace
}  // namespace wisp
