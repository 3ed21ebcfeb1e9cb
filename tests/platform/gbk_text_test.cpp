#include "platform/gbk_text.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(Gbk, RoundTripWritesCrLfAndTwoBytesPerHanzi)
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("BGPicList.ini"));
    const QStringList lines{QStringLiteral("A1.bmp"), QStringLiteral("春节.bmp"), QString()};
    ASSERT_TRUE(platform::WriteGbkLines(path, lines));
    // 春 = B4 BA, 节 = BD DA in GBK.
    EXPECT_EQ(readAll(path), QByteArray("A1.bmp\r\n\xB4\xBA\xBD\xDA.bmp\r\n\r\n"));
    const auto back = platform::ReadGbkLines(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, lines);
}

TEST(Gbk, ReadersAcceptLfAndCrAlone)
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("x.ini"));
    writeAll(path, QByteArray("1\n750\r500\r\n137"));
    const auto lines = platform::ReadGbkLines(path);
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, (QStringList{"1", "750", "500", "137"}));
}

TEST(Gbk, NamesOutsideGbkAreRefusedAndNothingIsWritten)
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("list.ini"));
    writeAll(path, "A1.bmp\r\nA1.bmp\r\n");
    QString error;
    // An emoji and a Hangul syllable have no GBK form.
    EXPECT_FALSE(platform::WriteGbkLines(path, {QStringLiteral("A1.bmp"), QString::fromUtf8("\xF0\x9F\x98\x80.bmp")}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(platform::WriteGbkLines(path, {QString::fromUtf8("\xED\x95\x9C.bmp")}, &error));
    EXPECT_EQ(readAll(path), QByteArray("A1.bmp\r\nA1.bmp\r\n"));
    QByteArray out = "untouched";
    EXPECT_FALSE(platform::EncodeGbk(QString::fromUtf8("\xF0\x9F\x98\x80"), out));
    EXPECT_EQ(out, QByteArray("untouched"));
}

TEST(Gbk, DamagedBytesDecodeWithReplacementCharacters)
{
    // A lead byte without its trail byte, at the end and in the middle.
    EXPECT_EQ(platform::DecodeGbk(QByteArray("ab\xB4")), QStringLiteral("ab\uFFFD"));
    EXPECT_EQ(platform::DecodeGbk(QByteArray("\xB4\xBA\xFF" "c")), QStringLiteral("春\uFFFDc"));
}

TEST(Gbk, MissingFileIsNoValue)
{
    EXPECT_FALSE(platform::ReadGbkLines(QStringLiteral("/nonexistent/dir/x.ini")).has_value());
    EXPECT_FALSE(platform::WriteGbkLines(QStringLiteral("/nonexistent/dir/x.ini"), {QStringLiteral("1")}));
}

} // namespace
