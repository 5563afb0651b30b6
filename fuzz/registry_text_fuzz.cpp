// Any bytes either parse or raise the file's own error; what parses keeps its key paths within
// the bounds, and writes back to text that parses to the same tree and writes again to the
// same text.
#include "framework/exceptions.h"
#include "settings/registry_text.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Every key's path is one the store would take.
bool WithinBounds(const velkor::TRegKey &root)
{
    struct Level
    {
        const velkor::TRegKey *key;
        std::size_t depth;
        std::size_t pathLength;
    };
    std::vector<Level> pending{{&root, 0, 0}};
    while (!pending.empty()) {
        const Level level = pending.back();
        pending.pop_back();
        for (const auto &[name, subkey] : level.key->subkeys) {
            const std::size_t length = level.pathLength + name.size() + (level.depth > 0 ? 1 : 0);
            if (!velkor::KeyLevelFault(level.depth + 1, name.size(), length).empty())
                return false;
            pending.push_back({&subkey, level.depth + 1, length});
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    velkor::TRegKey tree;
    try {
        tree = velkor::ParseRegistryText(input);
    } catch (const velkor::ERegistryException &) {
        return 0;
    }
    if (!WithinBounds(tree))
        std::abort();
    const std::string text = velkor::FormatRegistryText(tree);
    const velkor::TRegKey again = velkor::ParseRegistryText(text);
    if (!(again == tree) || velkor::FormatRegistryText(again) != text)
        std::abort();
    return 0;
}
