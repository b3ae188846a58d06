#include "platform/codepage.h"

#include <gtest/gtest.h>

TEST(CodePage, Windows1252RoundTrips) {
    struct Case {
        std::string ansi;
        QString text;
    } cases[] = {
        {"plain", "plain"},
        {"caf\xE9 M\xFCller Stra\xDF" "e", QString::fromUtf8("café Müller Straße")},
        {"\x80 \x8A \x9C", QString::fromUtf8("€ Š œ")},
        // Bytes Windows-1252 leaves undefined stay themselves both ways.
        {"\x81\x8D\x8F\x90\x9D", QString(QChar(0x81)) + QChar(0x8D) + QChar(0x8F) + QChar(0x90) + QChar(0x9D)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::AnsiToUtf16(c.ansi), c.text);
        EXPECT_EQ(platform::Utf16ToAnsi(c.text), c.ansi);
    }
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(platform::Utf16ToAnsi(QString::fromUtf8("a\u4E2Db")), "a?b");
    EXPECT_EQ(platform::Utf16ToAnsi(QString(QChar(0xD800)) + "x"), "?x");
    EXPECT_EQ(platform::Utf16ToAnsi(QString::fromUtf8("\U0001F600")), "?");
}
