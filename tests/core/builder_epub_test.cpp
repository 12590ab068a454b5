#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "builder_test_files.h"
#include "core/builder/StyleSheetRewrite.h"
#include "core/builder/EpubBuilder.h"
#include "core/builder/EpubText.h"
#include "support/TempFolder.h"

// EPUB builds of small books on disk, listed in a fixed order (see ListedFileSystem), read
// back from a recording archive.
namespace wisp {
namespace {

using test::ListedFileSystem;
using test::TempFolder;

struct ArchiveEntry {
    std::string name;
    std::string content;
    bool compressed;
};

class RecordingArchive final : public IEpubArchive {
public:
    std::vector<ArchiveEntry> entries;
    bool finished = false;

    bool AddEntry(std::string_view name, std::string content, bool compress) override {
        entries.push_back({std::string(name), std::move(content), compress});
        return true;
    }
    bool Finish(std::string&) override {
        finished = true;
        return true;
    }
    const ArchiveEntry* Find(const std::string& name) const {
        auto found =
            std::find_if(entries.begin(), entries.end(),
                         [&name](const ArchiveEntry& entry) { return entry.name == name; });
        return found == entries.end() ? nullptr : &*found;
    }
};

// Stands in for the HTML parser: passes every src="..." as a resource and every href="..."
// as a link, and writes what came back, one per line, after the page's name.
class ReferenceEchoConverter final : public IXhtmlConverter {
public:
    XhtmlPage Convert(std::string_view html, std::string_view fallbackTitle,
                      const ReferenceRewrite& rewrite) const override {
        std::string text = "page " + std::string(fallbackTitle) + "\n";
        std::string source(html);
        std::regex reference("(src|href)=\"([^\"]*)\"");
        for (std::sregex_iterator it(source.begin(), source.end(), reference), end; it != end;
             ++it) {
            auto kind = (*it)[1] == "src" ? ReferenceKind::Resource : ReferenceKind::Link;
            text += (*it)[2].str() + " -> " + rewrite(kind, (*it)[2].str()).value_or("(dropped)") +
                    "\n";
        }
        return {text, "de"};
    }
};

std::vector<std::string> AllMatches(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    std::regex expression(pattern);
    for (std::sregex_iterator it(text.begin(), text.end(), expression), end; it != end; ++it) {
        found.push_back((*it)[1].str());
    }
    return found;
}

class EpubBuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        temp.MakeFile("Garden/Alpha.htm", "<a href=\"Winter/March.htm#frost\">march</a>");
        temp.MakeFile("Garden/Beta.htm",
                      "<img src=\"Beta.files/pic.png\"><img src=\"Beta.files/gone.png\">"
                      "<a href=\"http://example.com/\"><a href=\"Beta.files/pic.png\">"
                      "<img src=\"../Outside.png\">");
        temp.MakeFile("Garden/Beta.files/pic.png", "PNG");
        temp.MakeFile("Garden/Beta.files/site.css", "p { background: url(pic.png) }");
        temp.MakeFile("Garden/Winter/March.htm",
                      "<img src=\"..\\Beta.files\\pic.png\"><img src=\"March.files/old map.png\">");
        temp.MakeFile("Garden/Winter/March.files/old map.png", "PNG");
        temp.MakeFolder("Garden/Empty");
    }

    EpubBuildResult Build(const std::string& folder, const std::string& label,
                          BuildItemKind kind = BuildItemKind::Folder) {
        archive = RecordingArchive{};
        CEpubBuilder builder(files, converter, {kind, label, temp.Path(folder)});
        return builder.BuildEpub(archive, "2026-01-02T03:04:05Z");
    }

    std::string Text(const std::string& name) {
        const ArchiveEntry* entry = archive.Find(name);
        return entry ? entry->content : "(missing " + name + ")";
    }

    TempFolder temp;
    ListedFileSystem files;
    ReferenceEchoConverter converter;
    RecordingArchive archive;
};

TEST_F(EpubBuildTest, SpineFollowsTheSiteMapAndEveryItemIsInTheContainer) {
    EpubBuildResult result = Build("Garden", "My Garden");
    ASSERT_TRUE(result.built) << result.message;
    ASSERT_TRUE(archive.finished);
    ASSERT_FALSE(archive.entries.empty());
    EXPECT_EQ(archive.entries[0].name, "mimetype");
    EXPECT_EQ(archive.entries[0].content, "application/epub+zip");
    EXPECT_FALSE(archive.entries[0].compressed);

    std::string opf = Text("EPUB/package.opf");
    std::vector<std::string> spinePages;
    for (const std::string& idref : AllMatches(opf, "<itemref idref=\"([^\"]+)\"/>")) {
        std::string href = AllMatches(opf, "<item id=\"" + idref + "\" href=\"([^\"]+)\"").at(0);
        spinePages.push_back(
            AllMatches(Text("EPUB/" + href), "^page ([^\n]*)").at(0));  // the page's name
    }
    // The site map's order: pages depth first by name.
    EXPECT_EQ(spinePages, (std::vector<std::string>{"Alpha", "Beta", "March"}));

    for (const std::string& href : AllMatches(opf, "href=\"([^\"]+)\"")) {
        EXPECT_TRUE(archive.Find("EPUB/" + href)) << href;
    }
    EXPECT_EQ(AllMatches(opf, "<dc:title>([^<]*)<").at(0), "My Garden");
    EXPECT_EQ(AllMatches(opf, "<dc:language>([^<]*)<").at(0), "de");
    EXPECT_TRUE(opf.find("<meta property=\"dcterms:modified\">2026-01-02T03:04:05Z</meta>") !=
                std::string::npos);

    // The tree by name; an empty folder heads nothing and is left out.
    std::string nav = Text("EPUB/nav.xhtml");
    EXPECT_NE(nav.find("<ol><li><a href=\"text/p0001.xhtml\">Alpha</a></li>\n"
                       "<li><a href=\"text/p0002.xhtml\">Beta</a></li>\n"
                       "<li><span>Winter</span><ol><li><a href=\"text/p0003.xhtml\">March</a>"
                       "</li>\n</ol></li>\n</ol>"),
              std::string::npos)
        << nav;
    EXPECT_EQ(nav.find("Empty"), std::string::npos);
    // Reading starts at the compiled book's default topic, the first page met depth first.
    EXPECT_NE(nav.find("epub:type=\"bodymatter\" href=\"text/p0001.xhtml\""), std::string::npos);
}

TEST_F(EpubBuildTest, ReferencesResolveInsideThePackageAndMissingFilesAreLeftOut) {
    EpubBuildResult result = Build("Garden", "Garden");
    ASSERT_TRUE(result.built) << result.message;
    EXPECT_EQ(Text("EPUB/text/p0002.xhtml"),
              "page Beta\n"
              "Beta.files/pic.png -> ../files/c001/pic.png\n"
              "Beta.files/gone.png -> (dropped)\n"
              "http://example.com/ -> http://example.com/\n"
              "Beta.files/pic.png -> (dropped)\n"  // a reader cannot open a picture as a page
              "../Outside.png -> (dropped)\n");
    EXPECT_EQ(Text("EPUB/text/p0001.xhtml"),
              "page Alpha\nWinter/March.htm#frost -> p0003.xhtml#frost\n");
    EXPECT_EQ(Text("EPUB/text/p0003.xhtml"),
              "page March\n..\\Beta.files\\pic.png -> ../files/c001/pic.png\n"
              "March.files/old map.png -> ../files/c002/item1.png\n");  // a name a reader takes
    EXPECT_EQ(Text("EPUB/files/c001/site.css"), "p { background: url(\"pic.png\"); }\n");
    EXPECT_EQ(Text("EPUB/files/c001/pic.png"), "PNG");
    ASSERT_EQ(result.warnings.size(), 2u);
    EXPECT_NE(result.warnings[0].find("Beta.htm: no file Beta.files/gone.png"), std::string::npos);
    EXPECT_NE(result.warnings[1].find("Outside.png"), std::string::npos);
}

TEST_F(EpubBuildTest, ARebuildKeepsTheIdentifierAndAChapterIsTitledByItsLabel) {
    ASSERT_TRUE(Build("Garden", "Garden").built);
    std::string opf = Text("EPUB/package.opf");
    std::vector<std::string> first = AllMatches(opf, "<dc:identifier id=\"book-id\">([^<]*)<");
    ASSERT_EQ(first.size(), 1u);
    EXPECT_TRUE(std::regex_match(
        first[0], std::regex("urn:uuid:[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-"
                             "[0-9a-f]{12}")))
        << first[0];
    ASSERT_TRUE(Build("Garden", "Garden").built);
    EXPECT_EQ(AllMatches(Text("EPUB/package.opf"), "<dc:identifier id=\"book-id\">([^<]*)<"),
              first);

    ASSERT_TRUE(Build("Garden/Winter", "Winter").built);
    std::string chapter = Text("EPUB/package.opf");
    EXPECT_EQ(AllMatches(chapter, "<dc:title>([^<]*)<").at(0), "Winter");
    EXPECT_NE(AllMatches(chapter, "<dc:identifier id=\"book-id\">([^<]*)<").at(0), first[0]);

    EpubBuildResult empty = Build("Garden/Empty", "Empty");
    EXPECT_FALSE(empty.built);
    EXPECT_NE(empty.message.find("holds no page"), std::string::npos);
    EXPECT_FALSE(archive.finished);
    EXPECT_FALSE(Build("Garden", "Alpha", BuildItemKind::Page).built);
}

TEST(CssReferences, RewritesKeepsOrDropsEachReference) {
    auto rewrite = [](std::string_view reference) -> std::optional<std::string> {
        if (reference == "keep.png" || reference == "a \"b\".css") {
            return "new/" + std::string(reference);
        }
        return std::nullopt;
    };
    const std::pair<std::string, std::string> cases[] = {
        {"p{background:url(keep.png) no-repeat}", "p{background:url(\"new/keep.png\") no-repeat}"},
        {"p{background:URL( 'gone.png' )}", "p{background:none}"},
        {"@import url(gone.css);\np{}", "\np{}"},
        {"@import 'a \"b\".css' screen;", "@import url(\"new/a \\\"b\\\".css\") screen;"},
        {"/* url(gone.png) */ i{}", "/* url(gone.png) */ i{}"},
        {"b{background:url(data:image/png;base64,AA)}",
         "b{background:url(data:image/png;base64,AA)}"},
        {"x{mask:myurl(keep.png)}", "x{mask:myurl(keep.png)}"},
        {"u{background:url(unclosed", "u{background:url(unclosed"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(RewriteOrDropCssReferences(in, rewrite), out) << in;
    }
}

}  // namespace
}  // namespace wisp
