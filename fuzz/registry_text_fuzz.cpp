// Any bytes either parse or raise the file's own error; what parses writes back to text that
// parses to the same tree and writes again to the same text.
#include "framework/exceptions.h"
#include "settings/registry_text.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    velkor::TRegKey tree;
    try {
        tree = velkor::ParseRegistryText(input);
    } catch (const velkor::ERegistryException &) {
        return 0;
    }
    const std::string text = velkor::FormatRegistryText(tree);
    const velkor::TRegKey again = velkor::ParseRegistryText(text);
    if (!(again == tree) || velkor::FormatRegistryText(again) != text)
        std::abort();
    return 0;
}
