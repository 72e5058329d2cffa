#include "platform/core/ansi.h"

#include <gtest/gtest.h>

TEST(Ansi, AllBytesRoundTripThroughWindows1252)
{
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    const QString text = AnsiToString(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(StringToAnsi(text), all);
    EXPECT_TRUE(IsAnsiRepresentable(text));

    EXPECT_EQ(text[0x41].unicode(), u'A');
    EXPECT_EQ(text[0x80].unicode(), 0x20AC); // euro sign
    EXPECT_EQ(text[0x81].unicode(), 0x0081); // undefined: kept as the control
    EXPECT_EQ(text[0x9F].unicode(), 0x0178); // Y with diaeresis
    EXPECT_EQ(text[0xA0].unicode(), 0x00A0);
    EXPECT_EQ(text[0xE9].unicode(), 0x00E9);
}

TEST(Ansi, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    const QString text = QString::fromUtf8("a\xCE\xB1\xF0\x9F\x98\x80\xC4\x80z"); // a, alpha, emoji, A-macron, z
    EXPECT_EQ(StringToAnsi(text), QByteArrayLiteral("a????z"));
    EXPECT_FALSE(IsAnsiRepresentable(text));
    EXPECT_FALSE(IsAnsiRepresentable(QString(QChar(0x0100))));
    EXPECT_TRUE(IsAnsiRepresentable(QString::fromUtf8("\xE2\x82\xAC\xC3\xA9"))); // euro, e-acute
    EXPECT_TRUE(IsAnsiRepresentable(QString()));
}

TEST(Ansi, CaseFunctionsTouchOnlyAsciiLetters)
{
    // The neighbours of the letter ranges ('@', '[', '`', '{') stay too.
    const QString mixed = QString::fromUtf8("@AZ[`az{ \xC3\xA9\xC3\x89\xC3\xBF");
    EXPECT_EQ(AnsiUpperCaseAscii(mixed), QString::fromUtf8("@AZ[`AZ{ \xC3\xA9\xC3\x89\xC3\xBF"));
    EXPECT_EQ(AnsiLowerCaseAscii(mixed), QString::fromUtf8("@az[`az{ \xC3\xA9\xC3\x89\xC3\xBF"));
}
