#include "program_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {
QString& overrideDir()
{
    static QString dir;
    return dir;
}

QString withSlash(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}
} // namespace

QString ProgramDir()
{
    if (!overrideDir().isEmpty())
        return overrideDir();
    return withSlash(QCoreApplication::applicationDirPath());
}

void SetProgramDirOverride(const QString& dir)
{
    overrideDir() = dir.isEmpty() ? QString() : withSlash(QDir::cleanPath(dir));
}

QString ResolveIn(const QString& base, const QString& relative)
{
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool trailing = rel.endsWith(QLatin1Char('/'));
    const QStringList parts = rel.split(QLatin1Char('/'), Qt::SkipEmptyParts);

    QString path = withSlash(base);
    bool existing = QFileInfo(path).isDir();
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QString chosen = part;
        if (existing && part != QLatin1String(".") && part != QLatin1String("..")) {
            QDir dir(path);
            if (!dir.exists(part)) {
                // QDir::entryList sorts by name, so the first match is the first in sorted order.
                const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                              | QDir::NoDotAndDotDot,
                                                          QDir::Name);
                chosen.clear();
                for (const QString& e : entries) {
                    if (e.compare(part, Qt::CaseInsensitive) == 0) {
                        chosen = e;
                        break;
                    }
                }
                if (chosen.isEmpty()) {
                    chosen = part;
                    existing = false;
                }
            }
        }
        path += chosen;
        const bool last = i == parts.size() - 1;
        if (!last || trailing)
            path += QLatin1Char('/');
        if (existing && !last)
            existing = QFileInfo(path).isDir();
    }
    return path;
}

QString ResolvePath(const QString& relative)
{
    return ResolveIn(ProgramDir(), relative);
}

} // namespace platform
