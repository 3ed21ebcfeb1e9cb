// The supplied month pictures: drawn by the calendar control on white, without
// a selection, one file per month in the program directory.

#include "month_picture.h"

#include "platform/fonts.h"
#include "wallpaper/image_io.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using month_pictures::DrawMonthPicture;
using month_pictures::MonthPictureName;

// The selected day's green gradient (#00AE53 to #00D565) and its frame (#009346).
bool IsSelectionColour(QRgb c)
{
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    return r == 0 && ((g >= 0xAE && g <= 0xD5 && b >= 0x53 && b <= 0x65) || (g == 0x93 && b == 0x46));
}

TEST(MonthPicture, IsTheMonthGridOnWhiteWithoutSelection)
{
    const QImage feb = DrawMonthPicture(2024, 2);
    ASSERT_EQ(feb.size(), QSize(350, 300));

    int white = 0, ink = 0, selection = 0;
    for (int y = 0; y < feb.height(); ++y)
        for (int x = 0; x < feb.width(); ++x) {
            const QRgb c = feb.pixel(x, y);
            if ((c & 0xFFFFFF) == 0xFFFFFF)
                ++white;
            else
                ++ink;
            if (IsSelectionColour(c))
                ++selection;
        }
    // Mostly white ground, so that only the drawing shows in the mix.
    EXPECT_GT(white, feb.width() * feb.height() / 2);
    EXPECT_GT(ink, 5000) << "the grid and its texts are drawn";
    EXPECT_EQ(selection, 0);
    EXPECT_EQ(feb.pixel(349, 299) & 0xFFFFFF, 0xFFFFFFu);

    // Another month draws another grid.
    EXPECT_NE(DrawMonthPicture(2024, 3), feb);
}

TEST(MonthPicture, FileNamesAreSixDigits)
{
    EXPECT_EQ(MonthPictureName(2024, 1), QStringLiteral("202401.bmp"));
    EXPECT_EQ(MonthPictureName(2040, 12), QStringLiteral("204012.bmp"));
}

// The build draws every month of 2024..2040 into the program directory.
TEST(MonthPicture, BuildSuppliesEveryMonthOf2024To2040)
{
    const QByteArray dist = qgetenv("DORVEL_DIST_DIR");
    if (dist.isEmpty())
        GTEST_SKIP() << "DORVEL_DIST_DIR not set";
    const QDir dir(QString::fromLocal8Bit(dist) + QStringLiteral("/source/Month"));
    int found = 0;
    for (int year = 2024; year <= 2040; ++year)
        for (int month = 1; month <= 12; ++month) {
            const QString path = dir.filePath(MonthPictureName(year, month));
            ASSERT_TRUE(QFileInfo::exists(path)) << path.toStdString();
            ++found;
        }
    EXPECT_EQ(found, 204);
    // Readable by the composer at the size its layout counts on.
    for (const char* name : {"202401.bmp", "202612.bmp", "204012.bmp"})
        EXPECT_EQ(wallpaper::ReadPicture(dir.filePath(QString::fromLatin1(name))).size(), QSize(350, 300));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("202312.bmp"))));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("204101.bmp"))));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::InstallFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
