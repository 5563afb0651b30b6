#include "ui/error_log.h"

#include "ui/text_codec.h"

namespace velkor {

Q_LOGGING_CATEGORY(lcErrors, "velkor.errors")

void LogIgnoredError(std::string_view doing, const std::exception &error)
{
    // Messages of the database layer are in the connection's character set, as in the box.
    qCWarning(lcErrors).noquote() << Utf8Text(doing) + QStringLiteral(": ") +
                                         DatabaseText(error.what());
}

} // namespace velkor
