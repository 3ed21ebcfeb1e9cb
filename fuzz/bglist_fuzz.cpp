// The background list file: any content reads without a crash, and no entry that
// could name a file outside the picture folder survives the reading.

#include "gui_init.h"

#include "platform/program_dir.h"
#include "wallpaper/global.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InitGuiOnce();
    static QTemporaryDir dir;
    static const bool prepared = [] {
        platform::SetProgramDirOverride(dir.path());
        return QDir(dir.path()).mkpath(QStringLiteral("Data")) && QDir(dir.path()).mkpath(QStringLiteral("source/DeskTopBG"));
    }();
    if (!prepared)
        return 0;
    {
        QFile f(wallpaper::BackgroundListPath());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    try {
        QStringList lines;
        if (wallpaper::ReadBackgroundListFile(lines))
            for (const QString& line : lines)
                if (!wallpaper::IsBareFileName(line))
                    std::abort();
        QString name;
        int index = 0;
        LoadBackgroundList(false, name, index);
        if (BackgroundCount != BackgroundList.size())
            std::abort();
        const QString next = wallpaper::BackgroundNameAt(index);
        if (!wallpaper::IsBareFileName(next))
            std::abort();
    } catch (const std::runtime_error&) {
    }
    return 0;
}
