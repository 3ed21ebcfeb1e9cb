// Makes the data supplied with the program in a program directory:
//   Data/UserData.mdb      the note database with its empty table UserCon
//   source/DeskTopBG/A1.bmp the default wallpaper background, 1920 x 1080
//   source/Month/           the folder of the month pictures
// Files that exist already are left alone, so a rebuild never touches notes.
//
// usage: dorvel-make-data PROGRAM_DIR

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

namespace {

bool makeDatabase(const QString& path)
{
    if (QFileInfo::exists(path))
        return true;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("create table UserCon (conIndex varchar(8) not null, data blob)"))
                 && q.exec(QStringLiteral("create index UserCon_conIndex on UserCon (conIndex)"));
            if (!ok)
                std::fprintf(stderr, "dorvel-make-data: %s\n", qPrintable(q.lastError().text()));
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("make"));
    return ok;
}

// A calm background: a deep blue-green evening sky with soft hills and light.
QImage drawBackground(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, QColor(0x1f, 0x3b, 0x5c));
    sky.setColorAt(0.55, QColor(0x4f, 0x86, 0x9c));
    sky.setColorAt(1.0, QColor(0xd9, 0xc8, 0xa0));
    p.fillRect(img.rect(), sky);

    QRadialGradient glow(w * 0.72, h * 0.58, h * 0.45);
    glow.setColorAt(0.0, QColor(255, 236, 200, 150));
    glow.setColorAt(1.0, QColor(255, 236, 200, 0));
    p.fillRect(img.rect(), glow);

    const QColor hills[] = {QColor(0x3e, 0x6b, 0x6e, 200), QColor(0x2c, 0x52, 0x57, 220), QColor(0x1d, 0x3a, 0x40, 240)};
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath path;
        const double base = h * (0.68 + 0.1 * layer);
        path.moveTo(0, h);
        path.lineTo(0, base);
        const int steps = 6;
        for (int i = 0; i < steps; ++i) {
            const double x0 = w * i / double(steps);
            const double x1 = w * (i + 1) / double(steps);
            const double lift = h * (0.05 + 0.03 * ((i + layer) % 3));
            path.cubicTo(x0 + (x1 - x0) * 0.3, base - lift, x0 + (x1 - x0) * 0.7, base - lift, x1, base);
        }
        path.lineTo(w, h);
        path.closeSubpath();
        p.fillPath(path, hills[layer]);
    }
    p.end();
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dorvel-make-data PROGRAM_DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    for (const char* sub : {"Data", "source/Month", "source/DeskTopBG", "source/Navigate"}) {
        if (!dir.mkpath(QString::fromLatin1(sub))) {
            std::fprintf(stderr, "dorvel-make-data: cannot create %s\n", sub);
            return 1;
        }
    }
    if (!makeDatabase(dir.filePath(QStringLiteral("Data/UserData.mdb")))) {
        std::fprintf(stderr, "dorvel-make-data: cannot create the note database\n");
        return 1;
    }
    const QString bg = dir.filePath(QStringLiteral("source/DeskTopBG/A1.bmp"));
    if (!QFileInfo::exists(bg) && !drawBackground(1920, 1080).convertToFormat(QImage::Format_RGB888).save(bg, "BMP")) {
        std::fprintf(stderr, "dorvel-make-data: cannot write A1.bmp\n");
        return 1;
    }
    return 0;
}
