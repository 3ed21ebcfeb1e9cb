// Draws the month pictures supplied with the program into a program directory:
//   source/Month/YYYYMM.bmp for every month of FIRST_YEAR..LAST_YEAR
//
// usage: dorvel-month-pictures PROGRAM_DIR [FIRST_YEAR LAST_YEAR]   (2024 2040)

#include "month_picture.h"

#include "platform/fonts.h"
#include "wallpaper/image_io.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: dorvel-month-pictures PROGRAM_DIR [FIRST_YEAR LAST_YEAR]\n");
        return 2;
    }
    // A build step: it never needs a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The pictures are the same on every build machine: Chinese weekday names.
    qputenv("LC_ALL", "zh_CN.UTF-8");
    QApplication app(argc, argv);
    platform::InstallFontSubstitutions();

    const int firstYear = argc == 4 ? std::atoi(argv[2]) : 2024;
    const int lastYear = argc == 4 ? std::atoi(argv[3]) : 2040;
    if (firstYear < 1 || lastYear > 2100 || firstYear > lastYear) {
        std::fprintf(stderr, "dorvel-month-pictures: years must lie in 1..2100, first before last\n");
        return 2;
    }

    const QDir dir(QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("source/Month")));
    if (!QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "dorvel-month-pictures: cannot make %s\n", qPrintable(dir.path()));
        return 1;
    }
    try {
        for (int year = firstYear; year <= lastYear; ++year)
            for (int month = 1; month <= 12; ++month)
                wallpaper::WriteBmp24(month_pictures::DrawMonthPicture(year, month),
                                      dir.filePath(month_pictures::MonthPictureName(year, month)));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dorvel-month-pictures: %s\n", e.what());
        return 1;
    }
    return 0;
}
