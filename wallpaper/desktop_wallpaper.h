#pragma once
// Makes a picture file the current user's desktop wallpaper, stretched to the
// screen, so that the desktop shows it at once and again after the next log-on.
// One backend per desktop family; the one in use is chosen from
// XDG_CURRENT_DESKTOP.

#include <QString>
#include <QStringList>

#include <memory>

namespace wallpaper {

class DesktopWallpaper {
public:
    virtual ~DesktopWallpaper() = default;
    virtual QString Name() const = 0;
    // Stores the path with the stretched style and tells the desktop. Throws
    // std::runtime_error when the desktop did not take the picture.
    virtual void Apply(const QString& path) = 0;
};

// GNOME, Unity, Budgie, Pantheon (org.gnome.desktop.background) and Cinnamon
// (org.cinnamon.desktop.background) through the gsettings tool.
std::unique_ptr<DesktopWallpaper> MakeGnomeWallpaper(const QString& schema = QStringLiteral("org.gnome.desktop.background"));
// MATE: org.mate.background picture-filename, through gsettings.
std::unique_ptr<DesktopWallpaper> MakeMateWallpaper();
// KDE Plasma: a script for org.kde.PlasmaShell.evaluateScript, through dbus-send.
std::unique_ptr<DesktopWallpaper> MakePlasmaWallpaper();
// XFCE: every backdrop's last-image through xfconf-query.
std::unique_ptr<DesktopWallpaper> MakeXfceWallpaper();
#ifdef _WIN32
// Windows: "Control Panel\Desktop" values and SystemParametersInfoW.
std::unique_ptr<DesktopWallpaper> MakeWindowsWallpaper();
#endif

// The backend for a value of XDG_CURRENT_DESKTOP (a colon-separated list, the
// first known name wins); nullptr when none fits.
std::unique_ptr<DesktopWallpaper> DesktopWallpaperFor(const QString& currentDesktop);

// The backend of this session (Windows, or from XDG_CURRENT_DESKTOP), or the
// one set for tests. nullptr when there is none.
DesktopWallpaper* CurrentDesktopWallpaper();
// Tests put a recorder in place of the desktop; nullptr returns to the real one.
void SetDesktopWallpaperForTesting(DesktopWallpaper* backend);

// The script the Plasma backend sends, for the file URI given.
QString PlasmaScript(const QString& uri);

} // namespace wallpaper
