#include "ui/text_codec.h"

#include <QStringDecoder>

#include <array>

namespace velkor {

namespace {

// WIN1251 bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F. 0x98 is unassigned.
constexpr std::array<char16_t, 64> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char16_t FromByte(unsigned char byte) noexcept
{
    if (byte < 0x80)
        return byte;
    if (byte >= 0xC0)
        return static_cast<char16_t>(0x0410 + (byte - 0xC0));
    return kHighHalf[byte - 0x80];
}

} // namespace

QString DatabaseText(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar *out = text.data();
    for (char byte : bytes)
        *out++ = QChar(FromByte(static_cast<unsigned char>(byte)));
    return text;
}

QString MessageText(std::string_view bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text =
        utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return utf8.hasError() ? DatabaseText(bytes) : text;
}

std::string DatabaseBytes(const QString &text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            bytes += '?'; // one character beyond the BMP, one replacement
            ++i;
        } else if (unit < 0x80) {
            bytes += static_cast<char>(unit);
        } else if (unit >= 0x0410 && unit <= 0x044F) {
            bytes += static_cast<char>(0xC0 + (unit - 0x0410));
        } else {
            char replacement = '?'; // no WIN1251 form
            for (std::size_t i = 0; i < kHighHalf.size(); ++i)
                if (kHighHalf[i] == unit && unit != 0xFFFD) {
                    replacement = static_cast<char>(0x80 + i);
                    break;
                }
            bytes += replacement;
        }
    }
    return bytes;
}

} // namespace velkor
