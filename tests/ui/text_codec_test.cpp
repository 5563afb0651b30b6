// The connection's character set at the Qt boundary: every byte of WIN1251's upper half both
// ways, the lower half unchanged, and what has no WIN1251 form.
#include "ui/text_codec.h"

#include <QtTest>

#include <array>
#include <string>

namespace velkor {

namespace {

struct TCodePoint
{
    unsigned char byte;
    char16_t unit;
};

// WIN1251 as the code page is published; 0x98 is unassigned there and reads as U+FFFD.
constexpr std::array<TCodePoint, 128> kUpperHalf = {{
    {0x80, 0x0402}, {0x81, 0x0403}, {0x82, 0x201A}, {0x83, 0x0453}, {0x84, 0x201E}, {0x85, 0x2026},
    {0x86, 0x2020}, {0x87, 0x2021}, {0x88, 0x20AC}, {0x89, 0x2030}, {0x8A, 0x0409}, {0x8B, 0x2039},
    {0x8C, 0x040A}, {0x8D, 0x040C}, {0x8E, 0x040B}, {0x8F, 0x040F}, {0x90, 0x0452}, {0x91, 0x2018},
    {0x92, 0x2019}, {0x93, 0x201C}, {0x94, 0x201D}, {0x95, 0x2022}, {0x96, 0x2013}, {0x97, 0x2014},
    {0x98, 0xFFFD}, {0x99, 0x2122}, {0x9A, 0x0459}, {0x9B, 0x203A}, {0x9C, 0x045A}, {0x9D, 0x045C},
    {0x9E, 0x045B}, {0x9F, 0x045F}, {0xA0, 0x00A0}, {0xA1, 0x040E}, {0xA2, 0x045E}, {0xA3, 0x0408},
    {0xA4, 0x00A4}, {0xA5, 0x0490}, {0xA6, 0x00A6}, {0xA7, 0x00A7}, {0xA8, 0x0401}, {0xA9, 0x00A9},
    {0xAA, 0x0404}, {0xAB, 0x00AB}, {0xAC, 0x00AC}, {0xAD, 0x00AD}, {0xAE, 0x00AE}, {0xAF, 0x0407},
    {0xB0, 0x00B0}, {0xB1, 0x00B1}, {0xB2, 0x0406}, {0xB3, 0x0456}, {0xB4, 0x0491}, {0xB5, 0x00B5},
    {0xB6, 0x00B6}, {0xB7, 0x00B7}, {0xB8, 0x0451}, {0xB9, 0x2116}, {0xBA, 0x0454}, {0xBB, 0x00BB},
    {0xBC, 0x0458}, {0xBD, 0x0405}, {0xBE, 0x0455}, {0xBF, 0x0457}, {0xC0, 0x0410}, {0xC1, 0x0411},
    {0xC2, 0x0412}, {0xC3, 0x0413}, {0xC4, 0x0414}, {0xC5, 0x0415}, {0xC6, 0x0416}, {0xC7, 0x0417},
    {0xC8, 0x0418}, {0xC9, 0x0419}, {0xCA, 0x041A}, {0xCB, 0x041B}, {0xCC, 0x041C}, {0xCD, 0x041D},
    {0xCE, 0x041E}, {0xCF, 0x041F}, {0xD0, 0x0420}, {0xD1, 0x0421}, {0xD2, 0x0422}, {0xD3, 0x0423},
    {0xD4, 0x0424}, {0xD5, 0x0425}, {0xD6, 0x0426}, {0xD7, 0x0427}, {0xD8, 0x0428}, {0xD9, 0x0429},
    {0xDA, 0x042A}, {0xDB, 0x042B}, {0xDC, 0x042C}, {0xDD, 0x042D}, {0xDE, 0x042E}, {0xDF, 0x042F},
    {0xE0, 0x0430}, {0xE1, 0x0431}, {0xE2, 0x0432}, {0xE3, 0x0433}, {0xE4, 0x0434}, {0xE5, 0x0435},
    {0xE6, 0x0436}, {0xE7, 0x0437}, {0xE8, 0x0438}, {0xE9, 0x0439}, {0xEA, 0x043A}, {0xEB, 0x043B},
    {0xEC, 0x043C}, {0xED, 0x043D}, {0xEE, 0x043E}, {0xEF, 0x043F}, {0xF0, 0x0440}, {0xF1, 0x0441},
    {0xF2, 0x0442}, {0xF3, 0x0443}, {0xF4, 0x0444}, {0xF5, 0x0445}, {0xF6, 0x0446}, {0xF7, 0x0447},
    {0xF8, 0x0448}, {0xF9, 0x0449}, {0xFA, 0x044A}, {0xFB, 0x044B}, {0xFC, 0x044C}, {0xFD, 0x044D},
    {0xFE, 0x044E}, {0xFF, 0x044F},
}};

constexpr unsigned char kUnassigned = 0x98;

} // namespace

class TextCodecTest : public QObject
{
    Q_OBJECT

private slots:
    void every_upper_half_byte_reads_as_its_character()
    {
        for (const TCodePoint &point : kUpperHalf) {
            const QString text = DatabaseText(std::string(1, static_cast<char>(point.byte)));
            QCOMPARE(text.size(), 1);
            QCOMPARE(static_cast<int>(text.front().unicode()), static_cast<int>(point.unit));
        }
    }

    void every_upper_half_character_writes_back_as_its_byte()
    {
        for (const TCodePoint &point : kUpperHalf) {
            if (point.byte == kUnassigned)
                continue;
            const std::string bytes = DatabaseBytes(QString(QChar(point.unit)));
            QCOMPARE(bytes.size(), std::size_t{1});
            QCOMPARE(static_cast<int>(static_cast<unsigned char>(bytes.front())),
                     static_cast<int>(point.byte));
        }
    }

    void the_lower_half_passes_unchanged_both_ways()
    {
        std::string bytes;
        for (int byte = 0; byte < 0x80; ++byte)
            bytes += static_cast<char>(byte);
        const QString text = DatabaseText(bytes);
        QCOMPARE(text.size(), 0x80);
        for (int i = 0; i < 0x80; ++i)
            QCOMPARE(static_cast<int>(text.at(i).unicode()), i);
        QCOMPARE(DatabaseBytes(text), bytes);
    }

    void a_mixed_text_survives_the_round_trip()
    {
        const QString text = QStringLiteral("Процесс №7 «приоритет» – Ёж, ї, € 100%");
        const std::string bytes = DatabaseBytes(text);
        QCOMPARE(bytes.size(), static_cast<std::size_t>(text.size()));
        QCOMPARE(DatabaseText(bytes), text);
    }

    void a_character_without_a_win1251_form_writes_as_a_question_mark_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("latin e acute") << QStringLiteral("caf\u00e9") << QByteArray("caf?");
        QTest::newRow("han") << QStringLiteral("a\u4e2db") << QByteArray("a?b");
        QTest::newRow("replacement character") << QStringLiteral("\ufffd") << QByteArray("?");
        QTest::newRow("unassigned byte read back") << DatabaseText("\x98") << QByteArray("?");
        QTest::newRow("surrogate pair") << QStringLiteral("x\U0001F600y") << QByteArray("x?y");
    }
    void a_character_without_a_win1251_form_writes_as_a_question_mark()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(QByteArray::fromStdString(DatabaseBytes(text)), bytes);
    }

    void a_message_reads_as_the_text_it_carries_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString path = QStringLiteral("/tmp/базы/демо.fdb");
        const QString russian = QStringLiteral("Процедура остановлена: ЁЖИК, № 5");
        QTest::newRow("English only")
            << QByteArray("Database name is missing") << QStringLiteral("Database name is missing");
        QTest::newRow("a path as it was sent")
            << (QByteArray("I/O error for file \"") + path.toUtf8() + "\"")
            << QStringLiteral("I/O error for file \"") + path + QStringLiteral("\"");
        QTest::newRow("the server's text in WIN1251")
            << QByteArray::fromStdString("exception: " + DatabaseBytes(russian))
            << QStringLiteral("exception: ") + russian;
        QTest::newRow("capitals alone in WIN1251")
            << QByteArray::fromStdString(DatabaseBytes(QStringLiteral("СТОП")))
            << QStringLiteral("СТОП");
    }
    void a_message_reads_as_the_text_it_carries()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(MessageText(bytes.toStdString()), text);
    }
};

} // namespace velkor

QTEST_MAIN(velkor::TextCodecTest)
#include "text_codec_test.moc"
