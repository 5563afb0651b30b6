#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace velkor {

// The database layer speaks the connection's character set, WIN1251; the widgets speak QString.
// These are the only places where the two meet.
[[nodiscard]] QString DatabaseText(std::string_view bytes);
[[nodiscard]] std::string DatabaseBytes(const QString &text);

// An error message: the client library's English text with the names it reports put in as
// they came. A path or host name comes as the panel sent it, in UTF-8; texts the server turned
// into the connection's character set come in WIN1251. Well-formed UTF-8 is read as UTF-8
// (Russian WIN1251 text practically never is), anything else as WIN1251.
[[nodiscard]] QString MessageText(std::string_view bytes);

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
