// The file's grammar: the text form parses back to the same tree, damaged text is refused with
// its line, and a deep tree needs no recursion.
#include "framework/exceptions.h"
#include "settings/registry.h"
#include "settings/registry_text.h"
#include "tests/settings/registry_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <pthread.h>

namespace velkor {
namespace {

TEST_F(RegistryTest, the_text_form_parses_back_to_the_same_tree)
{
    TRegKey root;
    for (const std::string &name : AwkwardNames()) {
        root.values[name] = StringValue(name);
        if (!name.empty() && name.find('\\') == std::string::npos) {
            TRegKey &key = CreateKey(root, {name, name + "x"});
            key.values[name] = {TRegDataType::rdBinary, name};
            key.values["n"] = IntegerValue(-1);
            key.values["odd string"] = {TRegDataType::rdString, "no zero"};
            key.values["odd dword"] = {TRegDataType::rdInteger, "123"};
            key.values["type 7"] = {static_cast<TRegDataType>(7), name};
        }
    }
    CreateKey(root, {"empty"});
    const std::string text = FormatRegistryText(root);
    EXPECT_TRUE(ParseRegistryText(text) == root);
    EXPECT_EQ(FormatRegistryText(ParseRegistryText(text)), text);
    EXPECT_TRUE(ParseRegistryText(text.substr(0, text.size() - 1)) == root); // no last LF
    // Readable where it can be: the non-ASCII name is written as UTF-8, the bad bytes escaped.
    EXPECT_NE(text.find("\"Привет, Zoë\""), std::string::npos);
    EXPECT_NE(text.find("\\x01\\x7F\\xFF\\xC3(\\x00end"), std::string::npos);
}

TEST_F(RegistryTest, damaged_text_is_refused_with_its_line)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "Registry file line 1: not a registry file"},
        {"velkor-registry 2\n", "Registry file line 1: not a registry file"},
        {"velkor-registry 1\nkey \"a\"\nvalue \"x\" string \"unterminated\n",
         "Registry file line 3: unterminated quoted text"},
        {"velkor-registry 1\nkey \"a\\\\b\"\n", "Registry file line 2: bad key name"},
        {"velkor-registry 1\nkey \"\"\n", "Registry file line 2: bad key name"},
        {"velkor-registry 1\nvalue \"x\" dword 4294967296\n", "Registry file line 2: bad dword"},
        {"velkor-registry 1\nvalue \"x\" binary hex:ABC\n",
         "Registry file line 2: odd number of hex digits"},
        {"velkor-registry 1\nvalue \"x\" binary \"text\"\n",
         "Registry file line 2: quoted data for a value that is not a string"},
        {"velkor-registry 1\nvalue \"x\" string \"a\"\nvalue \"X\" string \"b\"\n",
         "Registry file line 3: value named twice"},
        {"velkor-registry 1\nvalue \"x\" string \"a\" \n",
         "Registry file line 2: text after the value"},
        {"velkor-registry 1\nvalue \"\\q\" string \"a\"\n", "Registry file line 2: unknown escape"},
        {"velkor-registry 1\nsection \"x\"\n", "Registry file line 2: unknown record"},
        {"velkor-registry 1\nkey \"a\"\n", "Registry file line 2: the file ends too early"},
        {"velkor-registry 1\nend\nkey \"a\"\n", "Registry file line 3: text after the end"},
    };
    for (const auto &[text, message] : cases) {
        SCOPED_TRACE(text);
        try {
            (void)ParseRegistryText(text);
            ADD_FAILURE() << "parsed";
        } catch (const ERegistryException &error) {
            EXPECT_EQ(error.Message(), message);
        }
    }
}

TEST_F(RegistryTest, the_text_refuses_paths_past_the_bounds_at_the_first_level_too_many)
{
    const auto keyLine = [](std::size_t levels, const std::string &name) {
        std::string line = "key";
        for (std::size_t i = 0; i < levels; ++i)
            line += " \"" + name + "\"";
        return line + "\n";
    };
    const std::string head = "velkor-registry 1\nkey \"a\"\n";
    EXPECT_NO_THROW((void)ParseRegistryText(head + keyLine(kMaxKeyDepth, "k") + "end\n"));
    EXPECT_NO_THROW((void)ParseRegistryText(head + keyLine(5, std::string(204, 'w')) + "end\n"));
    const std::pair<std::string, std::string> cases[] = {
        {keyLine(kMaxKeyDepth + 1, "k"),
         "Registry file line 3: key path too deep: more than 64 levels"},
        // A hand-made file of 50,000 levels is refused, not read and then choked on.
        {keyLine(50000, "k"), "Registry file line 3: key path too deep: more than 64 levels"},
        {keyLine(1, std::string(256, 'n')),
         "Registry file line 3: key name too long: 256 bytes, at most 255"},
        {keyLine(5, std::string(205, 'p')),
         "Registry file line 3: key path too long: more than 1024 bytes"},
    };
    for (const auto &[line, message] : cases) {
        SCOPED_TRACE(message);
        try {
            (void)ParseRegistryText(head + line + "end\n");
            ADD_FAILURE() << "parsed";
        } catch (const ERegistryException &error) {
            EXPECT_EQ(error.Message(), message);
        }
    }
}

// A tree far deeper than any file may hold, built by hand, on a thread with a small stack:
// writing, copying, comparing and freeing it must not recurse once a level.
TEST_F(RegistryTest, a_deep_tree_is_written_compared_and_freed_without_recursion)
{
    struct Result
    {
        std::size_t lines = 0;
        bool equal = false;
        bool differs = false;
    } result;
    const auto body = [](void *out) -> void * {
        auto &result = *static_cast<Result *>(out);
        constexpr int depth = 2000; // a frame a level would need far more than 64 KB
        TRegKey a;
        TRegKey *key = &a;
        for (int i = 0; i < depth; ++i)
            key = &key->subkeys["k"];
        key->values["v"] = StringValue("bottom");
        const std::string text = FormatRegistryText(a);
        result.lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        TRegKey b = a;
        result.equal = a == b;
        key = &b;
        for (int i = 0; i < depth; ++i)
            key = &key->subkeys["k"];
        key->values["v"] = StringValue("other");
        result.differs = !(a == b);
        return nullptr;
    };
    pthread_attr_t attributes;
    ASSERT_EQ(::pthread_attr_init(&attributes), 0);
    ASSERT_EQ(::pthread_attr_setstacksize(&attributes, 64 * 1024), 0);
    pthread_t thread;
    ASSERT_EQ(::pthread_create(&thread, &attributes, body, &result), 0);
    ::pthread_join(thread, nullptr);
    ::pthread_attr_destroy(&attributes);
    EXPECT_EQ(result.lines, 2000u + 3u); // header, a line a key, the value, "end"
    EXPECT_TRUE(result.equal);
    EXPECT_TRUE(result.differs);
}

} // namespace
} // namespace velkor
