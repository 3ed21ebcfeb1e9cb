#include "settings_files.h"

#include "platform/gbk_text.h"

#include <QFileInfo>
#include <QSize>
#include <QStringList>

namespace {
bool parseInt(const QStringList& lines, int index, int& out)
{
    if (index >= lines.size())
        return false;
    bool ok = false;
    const int v = lines[index].trimmed().toInt(&ok);
    if (ok)
        out = v;
    return ok;
}
} // namespace

FormSizeValues FormSizeValues::Defaults(const QSize& screen)
{
    FormSizeValues v;
    // Integer division truncates toward zero, as C++ does.
    v.Left = (screen.width() - 750) / 2;
    v.Top = (screen.height() - 30 - 500) / 2;
    return v;
}

bool ReadFormSize(const QString& path, const FormSizeValues& defaults, FormSizeValues& out)
{
    if (!QFileInfo(path).isFile())
        return false;
    const auto lines = platform::ReadGbkLines(path);
    FormSizeValues v = defaults;
    if (lines) {
        parseInt(*lines, 0, v.NotePage);
        parseInt(*lines, 1, v.Width);
        parseInt(*lines, 2, v.Height);
        parseInt(*lines, 3, v.Left);
        parseInt(*lines, 4, v.Top);
    }
    out = v;
    return true;
}

bool WriteFormSize(const QString& path, const FormSizeValues& v)
{
    return platform::WriteGbkLines(path, {QString::number(v.NotePage), QString::number(v.Width),
                                          QString::number(v.Height), QString::number(v.Left),
                                          QString::number(v.Top)});
}

bool ReadAskBeforeApply(const QString& path, bool& ask)
{
    if (!QFileInfo(path).isFile())
        return false;
    const auto lines = platform::ReadGbkLines(path);
    int value = 1;
    if (lines)
        parseInt(*lines, 0, value);
    ask = value > 0;
    return true;
}

bool WriteAskBeforeApply(const QString& path, bool ask)
{
    return platform::WriteGbkLines(path, {ask ? QStringLiteral("1") : QStringLiteral("0")});
}
