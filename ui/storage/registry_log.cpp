#include "ui/storage/registry_log.h"

#include "settings/registry_file.h"
#include "ui/error_box.h"
#include "ui/text_codec.h"

#include <QLoggingCategory>

namespace velkor {

namespace {
Q_LOGGING_CATEGORY(lcRegistry, "velkor.registry")
} // namespace

void LogRegistryWarnings()
{
    SetRegistryWarningHandler(
        [](std::string_view message) { qCWarning(lcRegistry).noquote() << Utf8Text(message); });
    // The defaults that follow are right, but without a word the operator would only find a
    // forgotten path. The file's path is UTF-8, as every path is.
    SetRegistryDamageHandler([](std::string_view message, const std::filesystem::path &) {
        ShowErrorText(nullptr, Utf8Text(message));
    });
}

} // namespace velkor
