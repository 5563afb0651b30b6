#include "ui/registry_log.h"

#include "settings/registry_file.h"
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
}

} // namespace velkor
