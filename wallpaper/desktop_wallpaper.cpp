#include "desktop_wallpaper.h"

#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#endif

namespace wallpaper {

namespace {

DesktopWallpaper* testBackend = nullptr;

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

struct ToolResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a desktop tool and waits for it; a tool that cannot start or hangs throws.
ToolResult runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(5000))
        fail(QStringLiteral("无法运行 %1：%2").arg(program, p.errorString()));
    p.closeWriteChannel();
    if (!p.waitForFinished(15000)) {
        p.kill();
        p.waitForFinished(1000);
        fail(QStringLiteral("%1 没有响应").arg(program));
    }
    ToolResult r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    r.err = QString::fromUtf8(p.readAllStandardError()).trimmed();
    return r;
}

ToolResult runOk(const QString& program, const QStringList& args)
{
    ToolResult r = runTool(program, args);
    if (r.exitCode != 0)
        fail(QStringLiteral("%1 %2 失败：%3").arg(program, args.join(QLatin1Char(' ')), r.err));
    return r;
}

QString fileUri(const QString& path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

// A GVariant string literal.
QString gvariantString(const QString& s)
{
    QString out = s;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    out.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

// The text of a GVariant string as gsettings prints it ('...' or "...").
QString parseGvariantString(const QString& printed)
{
    QString s = printed.trimmed();
    if (s.size() < 2 || (s.front() != QLatin1Char('\'') && s.front() != QLatin1Char('"')) || s.back() != s.front())
        return s;
    QString out;
    for (qsizetype i = 1; i + 1 < s.size(); ++i) {
        if (s[i] == QLatin1Char('\\') && i + 2 < s.size())
            ++i;
        out += s[i];
    }
    return out;
}

// Desktops of the GNOME family keep the wallpaper in GSettings. GNOME Shell
// watches the file it shows and drops its cached copy when the file changes, but
// it loads a picture again only when it hears of a change of the setting, and
// writing the value it holds already is no change. Since our file name is the
// same on every run, a key that holds our file already is reset first, so that
// the new value is a real change and the shell loads the new picture.
class GSettingsWallpaper : public DesktopWallpaper {
public:
    GSettingsWallpaper(QString name, QString schema, QStringList keys, bool asUri)
        : FName(std::move(name)), FSchema(std::move(schema)), FKeys(std::move(keys)), FAsUri(asUri)
    {
    }
    QString Name() const override { return FName; }

    void Apply(const QString& path) override
    {
        const QString value = FAsUri ? fileUri(path) : QFileInfo(path).absoluteFilePath();
        const QString gsettings = QStringLiteral("gsettings");
        const QStringList known = runOk(gsettings, {QStringLiteral("list-keys"), FSchema}).out.split(QLatin1Char('\n'));
        QStringList keys;
        for (const QString& key : FKeys)
            if (known.contains(key))
                keys.append(key);
        if (keys.isEmpty())
            fail(QStringLiteral("%1 中没有壁纸设置").arg(FSchema));

        for (const QString& key : keys) {
            const ToolResult now = runTool(gsettings, {QStringLiteral("get"), FSchema, key});
            if (now.exitCode == 0 && parseGvariantString(now.out) == value)
                runOk(gsettings, {QStringLiteral("reset"), FSchema, key});
        }
        runOk(gsettings, {QStringLiteral("set"), FSchema, QStringLiteral("picture-options"), QStringLiteral("'stretched'")});
        for (const QString& key : keys)
            runOk(gsettings, {QStringLiteral("set"), FSchema, key, gvariantString(value)});

        // Without a session bus gsettings stores nothing and still succeeds.
        const ToolResult back = runOk(gsettings, {QStringLiteral("get"), FSchema, keys.first()});
        if (parseGvariantString(back.out) != value)
            fail(QStringLiteral("桌面没有保存壁纸设置"));
    }

private:
    QString FName, FSchema;
    QStringList FKeys;
    bool FAsUri;
};

QString jsString(const QString& s)
{
    QString out = s;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    out.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

class PlasmaWallpaper : public DesktopWallpaper {
public:
    QString Name() const override { return QStringLiteral("KDE Plasma"); }
    void Apply(const QString& path) override
    {
        runOk(QStringLiteral("dbus-send"),
              {QStringLiteral("--session"), QStringLiteral("--dest=org.kde.plasmashell"), QStringLiteral("--type=method_call"),
               QStringLiteral("--print-reply"), QStringLiteral("/PlasmaShell"), QStringLiteral("org.kde.PlasmaShell.evaluateScript"),
               QStringLiteral("string:") + PlasmaScript(fileUri(path))});
    }
};

class XfceWallpaper : public DesktopWallpaper {
public:
    QString Name() const override { return QStringLiteral("XFCE"); }
    void Apply(const QString& path) override
    {
        const QString tool = QStringLiteral("xfconf-query");
        const QString channel = QStringLiteral("xfce4-desktop");
        const QString file = QFileInfo(path).absoluteFilePath();
        QStringList images;
        for (const QString& prop : runOk(tool, {QStringLiteral("-c"), channel, QStringLiteral("-l")}).out.split(QLatin1Char('\n')))
            if (prop.trimmed().endsWith(QLatin1String("/last-image")))
                images.append(prop.trimmed());
        const bool create = images.isEmpty();
        if (create)
            images.append(QStringLiteral("/backdrop/screen0/monitor0/workspace0/last-image"));
        for (const QString& prop : images) {
            QString style = prop;
            style.replace(QLatin1String("/last-image"), QLatin1String("/image-style"));
            runOk(tool, {QStringLiteral("-c"), channel, QStringLiteral("-p"), style, QStringLiteral("-n"), QStringLiteral("-t"),
                         QStringLiteral("int"), QStringLiteral("-s"), QStringLiteral("3")}); // 3: stretched
            // xfdesktop reloads a backdrop when the property changes; the name is
            // the same on every run, so it is blanked first.
            if (!create)
                runTool(tool, {QStringLiteral("-c"), channel, QStringLiteral("-p"), prop, QStringLiteral("-s"), QString()});
            runOk(tool, {QStringLiteral("-c"), channel, QStringLiteral("-p"), prop, QStringLiteral("-n"), QStringLiteral("-t"),
                         QStringLiteral("string"), QStringLiteral("-s"), file});
        }
    }
};

#ifdef _WIN32
class WindowsWallpaper : public DesktopWallpaper {
public:
    QString Name() const override { return QStringLiteral("Windows"); }
    void Apply(const QString& path) override
    {
        const std::wstring file = QFileInfo(path).absoluteFilePath().replace(QLatin1Char('/'), QLatin1Char('\\')).toStdWString();
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
            fail(QStringLiteral("无法打开注册表项 Control Panel\\Desktop"));
        const wchar_t style[] = L"2"; // stretched
        const LONG a = RegSetValueExW(key, L"Wallpaper", 0, REG_SZ, reinterpret_cast<const BYTE*>(file.c_str()),
                                      DWORD((file.size() + 1) * sizeof(wchar_t)));
        const LONG b = a == ERROR_SUCCESS
                           ? RegSetValueExW(key, L"WallpaperStyle", 0, REG_SZ, reinterpret_cast<const BYTE*>(style), sizeof style)
                           : a;
        RegCloseKey(key);
        if (b != ERROR_SUCCESS)
            fail(QStringLiteral("无法写入注册表值 Wallpaper"));
        // Current Windows reads a null file name as "back to the default
        // wallpaper", so the path is passed itself.
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(file.c_str()), SPIF_UPDATEINIFILE);
    }
};
#endif

} // namespace

QString PlasmaScript(const QString& uri)
{
    // FillMode 0 is Image.Stretch. The image is blanked first: Plasma reloads a
    // wallpaper only when its configured URL changes.
    return QStringLiteral(
               "var all = desktops();"
               "for (var i = 0; i < all.length; i++) {"
               " var d = all[i];"
               " d.wallpaperPlugin = 'org.kde.image';"
               " d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];"
               " d.writeConfig('FillMode', 0);"
               " d.writeConfig('Image', '');"
               " d.writeConfig('Image', %1);"
               "}")
        .arg(jsString(uri));
}

std::unique_ptr<DesktopWallpaper> MakeGnomeWallpaper(const QString& schema)
{
    return std::make_unique<GSettingsWallpaper>(QStringLiteral("GNOME"), schema,
                                                QStringList{QStringLiteral("picture-uri"), QStringLiteral("picture-uri-dark")}, true);
}

std::unique_ptr<DesktopWallpaper> MakeMateWallpaper()
{
    return std::make_unique<GSettingsWallpaper>(QStringLiteral("MATE"), QStringLiteral("org.mate.background"),
                                                QStringList{QStringLiteral("picture-filename")}, false);
}

std::unique_ptr<DesktopWallpaper> MakePlasmaWallpaper() { return std::make_unique<PlasmaWallpaper>(); }
std::unique_ptr<DesktopWallpaper> MakeXfceWallpaper() { return std::make_unique<XfceWallpaper>(); }
#ifdef _WIN32
std::unique_ptr<DesktopWallpaper> MakeWindowsWallpaper() { return std::make_unique<WindowsWallpaper>(); }
#endif

std::unique_ptr<DesktopWallpaper> DesktopWallpaperFor(const QString& currentDesktop)
{
    for (const QString& part : currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString name = part.trimmed().toLower();
        if (name == QLatin1String("x-cinnamon") || name == QLatin1String("cinnamon"))
            return MakeGnomeWallpaper(QStringLiteral("org.cinnamon.desktop.background"));
        if (name == QLatin1String("gnome") || name == QLatin1String("gnome-classic") || name == QLatin1String("gnome-flashback")
            || name == QLatin1String("unity") || name == QLatin1String("budgie") || name == QLatin1String("budgie-desktop")
            || name == QLatin1String("pantheon"))
            return MakeGnomeWallpaper();
        if (name == QLatin1String("kde"))
            return MakePlasmaWallpaper();
        if (name == QLatin1String("xfce"))
            return MakeXfceWallpaper();
        if (name == QLatin1String("mate"))
            return MakeMateWallpaper();
    }
    return nullptr;
}

DesktopWallpaper* CurrentDesktopWallpaper()
{
    if (testBackend)
        return testBackend;
#ifdef _WIN32
    static const std::unique_ptr<DesktopWallpaper> session = MakeWindowsWallpaper();
#else
    static const std::unique_ptr<DesktopWallpaper> session = DesktopWallpaperFor(qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
#endif
    return session.get();
}

void SetDesktopWallpaperForTesting(DesktopWallpaper* backend)
{
    testBackend = backend;
}

} // namespace wallpaper
