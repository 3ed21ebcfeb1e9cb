// The desktop backends: the choice from XDG_CURRENT_DESKTOP and a real run of
// the GNOME backend against gsettings with its keyfile backend.
#include "wallpaper/desktop_wallpaper.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace wallpaper;

struct DesktopCase {
    const char* name;
    const char* xdg;
    const char* backend; // empty: none
};

class DesktopChoice : public ::testing::TestWithParam<DesktopCase> {};

TEST_P(DesktopChoice, PicksTheBackendOfTheFirstKnownName)
{
    const auto backend = DesktopWallpaperFor(QString::fromUtf8(GetParam().xdg));
    EXPECT_EQ(backend ? backend->Name() : QString(), QString::fromUtf8(GetParam().backend));
}

INSTANTIATE_TEST_SUITE_P(Desktops, DesktopChoice,
                         ::testing::Values(DesktopCase{"ubuntu_gnome", "ubuntu:GNOME", "GNOME"},
                                           DesktopCase{"cinnamon", "X-Cinnamon", "GNOME"},
                                           DesktopCase{"budgie", "Budgie:GNOME", "GNOME"},
                                           DesktopCase{"kde", "KDE", "KDE Plasma"},
                                           DesktopCase{"xfce", "XFCE", "XFCE"},
                                           DesktopCase{"mate", "MATE", "MATE"},
                                           DesktopCase{"unknown", "LXQt", ""},
                                           DesktopCase{"unset", "", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PlasmaScript, QuotesTheUriAndStretches)
{
    const QString script = PlasmaScript(QStringLiteral("file:///tmp/it's/Mix.bmp"));
    EXPECT_TRUE(script.contains(QStringLiteral("'file:///tmp/it\\'s/Mix.bmp'")));
    EXPECT_TRUE(script.contains(QStringLiteral("writeConfig('FillMode', 0)")));
}

namespace {
QString gsettingsGet(const QString& key)
{
    QProcess p;
    p.start(QStringLiteral("gsettings"), {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.background"), key});
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}
} // namespace

TEST(GnomeWallpaper, StoresTheUriStretchedAndAgainForTheSameFile)
{
    if (QStandardPaths::findExecutable(QStringLiteral("gsettings")).isEmpty())
        GTEST_SKIP() << "gsettings is not installed";
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    const QByteArray oldBackend = qgetenv("GSETTINGS_BACKEND"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("GSETTINGS_BACKEND", "keyfile");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));

    const QString file = config.filePath(QStringLiteral("图片 dir/Mix.bmp"));
    const QString uri = QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded);
    auto gnome = MakeGnomeWallpaper();
    gnome->Apply(file);
    EXPECT_EQ(gsettingsGet(QStringLiteral("picture-uri")), QLatin1Char('\'') + uri + QLatin1Char('\''));
    EXPECT_EQ(gsettingsGet(QStringLiteral("picture-options")), QStringLiteral("'stretched'"));
    const QString dark = gsettingsGet(QStringLiteral("picture-uri-dark"));
    if (!dark.isEmpty()) {
        EXPECT_EQ(dark, QLatin1Char('\'') + uri + QLatin1Char('\''));
    }
    // Same file again: still stored (it is reset first so the desktop hears a change).
    EXPECT_NO_THROW(gnome->Apply(file));
    EXPECT_EQ(gsettingsGet(QStringLiteral("picture-uri")), QLatin1Char('\'') + uri + QLatin1Char('\''));
    EXPECT_TRUE(QFile::exists(config.filePath(QStringLiteral("glib-2.0/settings/keyfile"))));

    for (const auto& [name, value] : {std::pair{"GSETTINGS_BACKEND", oldBackend}, std::pair{"XDG_CONFIG_HOME", oldConfig}}) {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
}
