// Any text through the marker scanner: a parse error or a text no longer than the input.
#include "db/client/ib_error.h"
#include "db/sql/translate_params.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view sql(reinterpret_cast<const char *>(data), size);
    for (const bool autoNames : {false, true}) {
        try {
            const velkor::TTranslatedSQL result = velkor::TranslateParams(sql, autoNames);
            if (result.text.size() > sql.size())
                std::abort();
        } catch (const velkor::EIBClientError &) {
            // Refusing a malformed text is what the scanner is for.
        }
    }
    return 0;
}
