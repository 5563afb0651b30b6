// Keys: opened, created and deleted by backslash levels, and paths past the bounds refused.
#include "framework/exceptions.h"
#include "settings/registry.h"
#include "settings/registry_text.h"
#include "tests/settings/registry_fixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace velkor {
namespace {

TEST_F(RegistryTest, keys_open_create_and_go_by_backslash_levels_only)
{
    TRegistry registry;
    EXPECT_FALSE(registry.OpenKey("\\/SOFTWARE/Trelvan", false));
    EXPECT_FALSE(registry.OpenKeyReadOnly("/SOFTWARE/Trelvan"));
    ASSERT_TRUE(registry.OpenKey("/SOFTWARE/Trelvan", true));
    EXPECT_EQ(registry.CurrentPath(), "/SOFTWARE/Trelvan");
    ASSERT_TRUE(registry.OpenKey("ControlPanel\\Deeper", true)); // relative to the open key
    EXPECT_EQ(registry.CurrentPath(), "/SOFTWARE/Trelvan\\ControlPanel\\Deeper");
    registry.CloseKey();

    TRegistry root;
    ASSERT_TRUE(root.OpenKeyReadOnly("\\"));
    EXPECT_EQ(root.GetKeyNames(), std::vector<std::string>{"/SOFTWARE/Trelvan"});
    EXPECT_FALSE(root.KeyExists("SOFTWARE"));
    EXPECT_TRUE(root.KeyExists("/software/trelvan\\CONTROLPANEL")); // case does not matter
    EXPECT_NE(FileText().find("key \"/SOFTWARE/Trelvan\" \"ControlPanel\" \"Deeper\"\n"),
              std::string::npos);

    EXPECT_TRUE(root.DeleteKey("\\/SOFTWARE/Trelvan"));
    EXPECT_FALSE(root.KeyExists("\\/SOFTWARE/Trelvan\\ControlPanel"));
    EXPECT_FALSE(root.DeleteKey("\\/SOFTWARE/Trelvan"));
}

std::string Levels(std::size_t count, const std::string &name = "k")
{
    std::string path;
    for (std::size_t i = 0; i < count; ++i)
        path += "\\" + name;
    return path;
}

TEST_F(RegistryTest, key_paths_past_the_bounds_are_refused_and_the_file_stays_valid)
{
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\keep", true));
    registry.WriteString("v", "x");
    const std::string before = FileText();
    const std::string longName(kMaxKeyNameLength + 1, 'n');
    const std::pair<std::string, std::string> refused[] = {
        {Levels(kMaxKeyDepth + 1), "Key path too deep: more than 64 levels"},
        {Levels(5000), "Key path too deep: more than 64 levels"},
        {"\\a\\" + longName, "Key name too long: 256 bytes, at most 255"},
        {Levels(5, std::string(205, 'p')), "Key path too long: more than 1024 bytes"},
    };
    for (const auto &[path, message] : refused) {
        SCOPED_TRACE(message);
        for (const auto &use : std::vector<std::function<void(TRegistry &)>>{
                 [&path](TRegistry &r) { (void)r.OpenKey(path, true); },
                 [&path](TRegistry &r) { (void)r.OpenKeyReadOnly(path); },
                 [&path](TRegistry &r) { (void)r.CreateKey(path); },
                 [&path](TRegistry &r) { (void)r.KeyExists(path); },
                 [&path](TRegistry &r) { (void)r.DeleteKey(path); }}) {
            try {
                TRegistry fresh;
                use(fresh);
                ADD_FAILURE() << "took the path";
            } catch (const ERegistryException &error) {
                EXPECT_EQ(error.Message(), message);
            }
        }
        TRegKey tree;
        EXPECT_THROW(CreateKey(tree, SplitKeyPath(path)), ERegistryException);
    }
    // Relative to an open key the whole path counts.
    ASSERT_TRUE(registry.OpenKey(Levels(kMaxKeyDepth - 1), true));
    EXPECT_THROW((void)registry.OpenKey("one\\more", true), ERegistryException);
    ASSERT_TRUE(registry.OpenKey("last", true));
    EXPECT_EQ(SplitKeyPath(registry.CurrentPath()).size(), kMaxKeyDepth);
    registry.WriteString("at the bottom", "deep");
    EXPECT_NE(FileText(), before);
    ASSERT_TRUE(TRegistry().DeleteKey("\\k"));
    EXPECT_EQ(FileText(), before);

    // The largest paths still come back, through the store and through the text.
    const std::string widest = Levels(5, std::string(204, 'w')); // 5 * 204 + 4 = 1024 bytes
    const std::string deepest = Levels(kMaxKeyDepth, "d");
    for (const std::string &path : {widest, deepest, "\\" + std::string(255, 'n')}) {
        ASSERT_TRUE(TRegistry().OpenKey(path, true));
        TRegistry writer;
        ASSERT_TRUE(writer.OpenKey(path, true));
        writer.WriteString("v", path.substr(0, 20));
        TRegistry reader;
        ASSERT_TRUE(reader.OpenKeyReadOnly(path));
        EXPECT_EQ(reader.ReadString("v"), path.substr(0, 20));
    }
    const std::string text = FileText();
    EXPECT_EQ(FormatRegistryText(ParseRegistryText(text)), text);
    EXPECT_LT(text.size(), 1'000'000u);
    EXPECT_TRUE(warnings_.empty());
}

} // namespace
} // namespace velkor
