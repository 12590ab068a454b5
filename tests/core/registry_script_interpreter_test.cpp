#include <gtest/gtest.h>

#include <string>

#include "core/module/RegistryScriptParser.h"
#include "core/module/RegistryScriptRunner.h"
#include "support/MemoryRegistry.h"

namespace wisp {
namespace {

using test::MemoryRegistry;

// The shape of a class's script: shared keys kept, the class's own key force-removed.
constexpr const char* kClassScript = R"(
HKCR
{
    Test.Thing.1 = s 'Thing Class'
    {
        CLSID = s '{11111111-2222-3333-4444-555555555555}'
    }
    NoRemove CLSID
    {
        ForceRemove {11111111-2222-3333-4444-555555555555} = s 'Thing'
        {
            ForceRemove 'Programmable'
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Apartment'
            }
        }
    }
}
HKCU
{
    NoRemove SOFTWARE
    {
        NoRemove MenuExt
        {
            ForceRemove 'Save the page' = s 'res://%MODULEPATH%\Thing.DLL/Page.htm'
            {
                val Contexts = d '16'
                val Mask = d 0x1F
            }
        }
    }
}
)";

constexpr const char* kClsidPath = "CLSID\\{11111111-2222-3333-4444-555555555555}";
constexpr const char* kMenuEntryPath = "SOFTWARE\\MenuExt\\Save the page";

RegistryScript LoadScript(const std::string& modulePath, const std::string& moduleFolder) {
    auto text = SubstituteScriptVariables(kClassScript,
                                          {{"MODULE", modulePath}, {"MODULEPATH", moduleFolder}});
    EXPECT_TRUE(text.has_value());
    auto script = ParseRegistryScript(text.value_or(""));
    EXPECT_TRUE(script.has_value());
    return script.value_or(RegistryScript{});
}

std::string StringAt(const MemoryRegistry& registry, RegistryRoot root, const char* path,
                     const char* name) {
    auto* value = registry.Find(root, path, name);
    return value && std::holds_alternative<std::string>(*value) ? std::get<std::string>(*value)
                                                                : "<missing>";
}

TEST(RegistryScriptVariables, ReplaceWordsAndDoubleSingleQuotes) {
    ScriptVariables variables{{"MODULE", "C:\\it's\\M.DLL"}, {"MODULEPATH", "C:\\it's"}};
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"'%MODULE%'", "'C:\\it''s\\M.DLL'"},
        {"%MODULEPATH%\\M.DLL", "C:\\it''s\\M.DLL"},
        {"%MODULE%,202", "C:\\it''s\\M.DLL,202"},
        {"100%% sure", "100% sure"},
        {"no words", "no words"},
        {"%UNKNOWN%", std::nullopt},
        {"%MODULE", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(SubstituteScriptVariables(text, variables), expected) << text;
    }
}

TEST(RegistryScriptParser, RejectsMalformedScriptsAndReadsTheMachineRoot) {
    const char* malformed[] = {
        "HKXX { A }",                    // unknown root
        "HKCR { A = s 'unterminated }",  // open quote
        "HKCR { A = x 'y' }",            // unknown value type
        "HKCR { A = d 'twelve' }",       // number that is not one
        "HKCR { A { B }",                // unclosed key
        "HKCR { val A = s 'b' }",        // a value directly under a root
        "HKCR A",                        // root without body
    };
    for (const char* text : malformed) {
        EXPECT_FALSE(ParseRegistryScript(text).has_value()) << text;
    }
    EXPECT_TRUE(ParseRegistryScript("").has_value());
    // The class script below covers the other roots, names, rules and values.
    auto machine = ParseRegistryScript("HKLM { A }");
    ASSERT_TRUE(machine.has_value());
    EXPECT_EQ(machine->roots.at(0).root, RegistryRoot::LocalMachine);
}

TEST(RegisterScript, WritesKeysValuesAndTheModulePathWithItsQuote) {
    MemoryRegistry registry;
    ASSERT_TRUE(RegisterScript(LoadScript("C:\\it's\\Thing.DLL", "C:\\it's"), registry));

    auto root = RegistryRoot::ClassesRoot;
    EXPECT_EQ(StringAt(registry, root, "Test.Thing.1", ""), "Thing Class");
    EXPECT_EQ(StringAt(registry, root, kClsidPath, ""), "Thing");
    EXPECT_TRUE(registry.KeyExists(root, std::string(kClsidPath) + "\\Programmable"));
    std::string inproc = std::string(kClsidPath) + "\\InprocServer32";
    EXPECT_EQ(StringAt(registry, root, inproc.c_str(), ""), "C:\\it's\\Thing.DLL");
    EXPECT_EQ(StringAt(registry, root, inproc.c_str(), "ThreadingModel"), "Apartment");

    auto user = RegistryRoot::CurrentUser;
    EXPECT_EQ(StringAt(registry, user, kMenuEntryPath, ""), "res://C:\\it's\\Thing.DLL/Page.htm");
    auto* contexts = registry.Find(user, kMenuEntryPath, "Contexts");
    ASSERT_NE(contexts, nullptr);
    EXPECT_EQ(std::get<std::uint32_t>(*contexts), 16u);
    EXPECT_EQ(std::get<std::uint32_t>(*registry.Find(user, kMenuEntryPath, "Mask")), 0x1Fu);
}

TEST(RegisterScript, TwiceLeavesOneFreshCopyOfEachForceRemoveKey) {
    MemoryRegistry registry;
    RegistryScript script = LoadScript("C:\\M.DLL", "C:");
    ASSERT_TRUE(RegisterScript(script, registry));
    MemoryRegistry::Keys once = registry.keys;

    // Leftovers of an older registration under the force-remove keys, and another class.
    auto root = RegistryRoot::ClassesRoot;
    registry.CreateKey(root, std::string(kClsidPath) + "\\Stale");
    registry.SetString(root, kClsidPath, "Old", "x");
    registry.SetString(RegistryRoot::CurrentUser, kMenuEntryPath, "Old", "x");
    registry.CreateKey(root, "CLSID\\{OTHER}");

    ASSERT_TRUE(RegisterScript(script, registry));
    registry.DeleteKey(root, "CLSID\\{OTHER}");
    EXPECT_EQ(registry.keys, once);
}

TEST(RegisterScript, NeverForceRemovesTheSharedClsidAndTypeLibKeys) {
    MemoryRegistry registry;
    registry.CreateKey(RegistryRoot::ClassesRoot, "CLSID\\{OTHER}");
    registry.CreateKey(RegistryRoot::ClassesRoot, "TypeLib\\{OTHER}");
    registry.CreateKey(RegistryRoot::ClassesRoot, "Mine\\Old");
    auto script = ParseRegistryScript(
        "HKCR { ForceRemove CLSID { A = s 'a' } ForceRemove typelib { B = s 'b' } "
        "ForceRemove Mine { C = s 'c' } }");
    ASSERT_TRUE(script.has_value());
    ASSERT_TRUE(RegisterScript(*script, registry));
    EXPECT_TRUE(registry.KeyExists(RegistryRoot::ClassesRoot, "CLSID\\{OTHER}"));
    EXPECT_TRUE(registry.KeyExists(RegistryRoot::ClassesRoot, "TypeLib\\{OTHER}"));
    EXPECT_TRUE(registry.KeyExists(RegistryRoot::ClassesRoot, "CLSID\\A"));
    EXPECT_FALSE(registry.KeyExists(RegistryRoot::ClassesRoot, "Mine\\Old"));
    EXPECT_TRUE(registry.KeyExists(RegistryRoot::ClassesRoot, "Mine\\C"));
}

TEST(RegisterScript, StopsAtTheFirstFailingWriteKeepingWhatWasWritten) {
    MemoryRegistry registry;
    registry.refusedPath = "CLSID\\{11111111";
    EXPECT_FALSE(RegisterScript(LoadScript("C:\\M.DLL", "C:"), registry));
    EXPECT_EQ(StringAt(registry, RegistryRoot::ClassesRoot, "Test.Thing.1", ""), "Thing Class");
    EXPECT_FALSE(registry.KeyExists(RegistryRoot::CurrentUser, kMenuEntryPath));
}

TEST(UnregisterScript, RemovesNamedKeysAndValuesButKeepsKeptAndSharedOnes) {
    MemoryRegistry registry;
    RegistryScript script = LoadScript("C:\\M.DLL", "C:");
    auto root = RegistryRoot::ClassesRoot;
    // With nothing registered, another program's class and value stay as they are.
    registry.CreateKey(root, "CLSID\\{OTHER}");
    registry.SetString(root, "CLSID\\{OTHER}", "", "x");
    MemoryRegistry::Keys before = registry.keys;
    UnregisterScript(script, registry);
    EXPECT_EQ(registry.keys, before);

    ASSERT_TRUE(RegisterScript(script, registry));
    registry.CreateKey(root, "Test.Thing.1\\Foreign");  // another's sub-key beside ours

    UnregisterScript(script, registry);

    EXPECT_FALSE(registry.KeyExists(root, kClsidPath));
    EXPECT_TRUE(registry.KeyExists(root, "CLSID\\{OTHER}"));
    EXPECT_FALSE(registry.KeyExists(root, "Test.Thing.1\\CLSID"));
    EXPECT_TRUE(registry.KeyExists(root, "Test.Thing.1")) << "still holds another's sub-key";
    EXPECT_EQ(registry.Find(root, "Test.Thing.1", ""), nullptr) << "its named value goes";
    EXPECT_FALSE(registry.KeyExists(RegistryRoot::CurrentUser, kMenuEntryPath));
    EXPECT_TRUE(registry.KeyExists(RegistryRoot::CurrentUser, "SOFTWARE\\MenuExt"));
}

}  // namespace
}  // namespace wisp
