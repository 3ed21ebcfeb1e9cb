#include "global.h"

#include "image_io.h"

#include "platform/gbk_text.h"
#include "platform/program_dir.h"

#include <QFileInfo>

#include <stdexcept>

QList<TPicBGList> BackgroundList;
int BackgroundCount = 0;

bool AskBeforeApply = true;
bool ApplyConfirmed = false;
QString ConfigSetBgPath;

namespace wallpaper {

QString BackgroundListPath()
{
    return platform::ResolvePath(QStringLiteral("Data\\BGPicList.ini"));
}

QString PictureDir()
{
    return platform::ResolvePath(QStringLiteral("source\\DeskTopBG\\"));
}

bool IsBareFileName(const QString& name)
{
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.unicode() < 0x20)
            return false;
    }
    return true;
}

bool ReadBackgroundListFile(QStringList& lines)
{
    const QString path = BackgroundListPath();
    if (!QFileInfo::exists(path))
        return false;
    const auto read = platform::ReadGbkLines(path);
    if (!read)
        throw std::runtime_error(QStringLiteral("无法读取文件“%1”").arg(path).toStdString());
    lines.clear();
    for (qsizetype i = 0; i < read->size(); ++i) {
        const QString& line = read->at(i);
        if (IsBareFileName(line))
            lines.append(line);
        else if (i == 0)
            lines.append(DefaultBackground);
    }
    return true;
}

void WriteBackgroundListFile(const QString& current, const QStringList& entries)
{
    QStringList lines{current};
    lines += entries;
    QString error;
    if (!platform::WriteGbkLines(BackgroundListPath(), lines, &error))
        throw std::runtime_error(QStringLiteral("无法写入背景图片列表：%1").arg(error).toStdString());
}

void WriteDefaultBackgroundList()
{
    WriteBackgroundListFile(DefaultBackground, {DefaultBackground});
}

int IndexAfterApply(int index, int count)
{
    const int next = index - 1;
    return next <= 0 ? std::max(count - 1, 0) : next;
}

int IndexAfterMissing(int index, int count)
{
    if (index == 0)
        return 0;
    const int next = index + 1;
    return next >= count ? 1 : next;
}

QString BackgroundNameAt(int index)
{
    if (BackgroundList.isEmpty())
        return DefaultBackground;
    if (index < 0 || index >= BackgroundList.size())
        index = 0;
    return BackgroundList.at(index).FileName;
}

} // namespace wallpaper

void LoadBackgroundList(bool chosen, QString& FBackgroundName, int& FBackgroundIndex)
{
    BackgroundCount = 0;
    QStringList lines;
    if (wallpaper::ReadBackgroundListFile(lines)) {
        BackgroundList.clear();
        if (lines.isEmpty()) {
            // An empty file names no background: the next composition takes the
            // default one, and the index cannot point past the list.
            FBackgroundIndex = 0;
            return;
        }
        FBackgroundName = lines.first();
        BackgroundCount = int(lines.size());
        BackgroundList.reserve(BackgroundCount);
        for (int i = 0; i < BackgroundCount; ++i) {
            BackgroundList.append(TPicBGList{i, lines.at(i)});
            if (lines.at(i) == FBackgroundName)
                FBackgroundIndex = chosen ? i : BackgroundCount - 1;
        }
        return;
    }
    try {
        wallpaper::WriteDefaultBackgroundList();
    } catch (const std::exception&) {
        // A read-only folder still gives the default list in memory.
    }
    FBackgroundName = wallpaper::DefaultBackground;
    BackgroundCount = 2;
    BackgroundList = {TPicBGList{0, wallpaper::DefaultBackground}, TPicBGList{1, wallpaper::DefaultBackground}};
    FBackgroundIndex = 0;
}

namespace {

QString besideAsBmp(const QString& path)
{
    const QFileInfo info(path);
    QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    return platform::ResolveIn(info.absolutePath() + QLatin1Char('/'), name + QStringLiteral(".bmp"));
}

} // namespace

QString ToBmpFile(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("bmp"))
        return path;
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return JpgToBmp(path);
    if (ext == QLatin1String("gif"))
        return GifToBmp(path);
    return {};
}

QString JpgToBmp(const QString& path)
{
    const QString target = besideAsBmp(path);
    wallpaper::DecodeJpegToBmp(wallpaper::ReadWholeFile(path), path, target);
    return target;
}

QString GifToBmp(const QString& path)
{
    const QImage img = wallpaper::DecodeGif(wallpaper::ReadWholeFile(path), path);
    const QString target = besideAsBmp(path);
    wallpaper::WriteBmp24(img, target);
    return target;
}
