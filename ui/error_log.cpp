#include "ui/error_log.h"

#include "ui/text_codec.h"

namespace velkor {

Q_LOGGING_CATEGORY(lcErrors, "velkor.errors")

void LogIgnoredError(std::string_view doing, const std::exception &error)
{
    // Read as the box reads them.
    qCWarning(lcErrors).noquote() << Utf8Text(doing) + QStringLiteral(": ") +
                                         MessageText(error.what());
}

} // namespace velkor
