#pragma once
// A fresh program directory for each test: the data and picture folders, the
// composer's windows made anew, the desktop and the dialogs replaced.

#include "platform/gbk_text.h"
#include "platform/program_dir.h"
#include "wallpaper/compose.h"
#include "wallpaper/composer_windows.h"
#include "wallpaper/desktop_wallpaper.h"
#include "wallpaper/global.h"
#include "wallpaper/image_io.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Stands in for the desktop and records what it was asked to show.
class RecordingDesktop : public wallpaper::DesktopWallpaper {
public:
    QString Name() const override { return QStringLiteral("recorder"); }
    void Apply(const QString& path) override
    {
        if (fail)
            throw std::runtime_error("desktop refused");
        applied.append(path);
    }
    QStringList applied;
    bool fail = false;
};

inline QImage Solid(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

class ComposerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        QDir root(tmp.path());
        root.mkpath(QStringLiteral("Data"));
        root.mkpath(QStringLiteral("source/DeskTopBG"));
        root.mkpath(QStringLiteral("source/Month"));
        platform::SetProgramDirOverride(tmp.path());
        dropWindows();
        wallpaper::EnsureComposerWindows();
        BackgroundList.clear();
        BackgroundCount = 0;
        AskBeforeApply = false;
        ApplyConfirmed = false;
        ConfigSetBgPath = path(QStringLiteral("Data/configSetBg.ini"));
        wallpaper::SetDesktopWallpaperForTesting(&desktop);
        messages.clear();
        TPicSelFrm::ShowMessage = [](QWidget*, const QString& m) { messages.append(m); };
    }
    void TearDown() override
    {
        wallpaper::SetDesktopWallpaperForTesting(nullptr);
        dropWindows();
        platform::SetProgramDirOverride({});
    }
    static void dropWindows()
    {
        delete DeskBGSetFrm;
        DeskBGSetFrm = nullptr;
        delete PicPreviewFrm;
        PicPreviewFrm = nullptr;
        delete PicSelFrm;
        PicSelFrm = nullptr;
        delete InforFrm;
        InforFrm = nullptr;
        delete MixPicFrm;
        MixPicFrm = nullptr;
    }

    QString path(const QString& rel) const { return tmp.filePath(rel); }
    QString pic(const QString& name) const { return path(QStringLiteral("source/DeskTopBG/") + name); }
    void writeBmp(const QString& rel, const QImage& img) const { wallpaper::WriteBmp24(img, path(rel)); }
    void writeList(const QStringList& lines) const
    {
        ASSERT_TRUE(platform::WriteGbkLines(path(QStringLiteral("Data/BGPicList.ini")), lines));
    }
    QStringList readList() const
    {
        return platform::ReadGbkLines(path(QStringLiteral("Data/BGPicList.ini"))).value_or(QStringList{QStringLiteral("<missing>")});
    }

    QTemporaryDir tmp;
    RecordingDesktop desktop;
    QString FBackgroundName;
    int FBackgroundIndex = 0;
    static inline QStringList messages;
};
