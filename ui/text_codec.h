#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace velkor {

// The database layer speaks the connection's character set, WIN1251; the widgets speak QString.
// These are the only places where the two meet.
[[nodiscard]] QString DatabaseText(std::string_view bytes);
[[nodiscard]] std::string DatabaseBytes(const QString &text);

// Paths and stored settings are UTF-8.
[[nodiscard]] inline QString Utf8Text(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
[[nodiscard]] inline std::string Utf8Bytes(const QString &text)
{
    return text.toStdString();
}

} // namespace velkor
