#include "fonts.h"

#include <QFont>
#include <QStringList>

namespace platform {

void InstallFontSubstitutions()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const QStringList serifCjk{QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                               QStringLiteral("WenQuanYi Zen Hei")};
    const QStringList sansCjk{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                              QStringLiteral("Noto Serif CJK SC")};
    const QStringList arial{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                            QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), serifCjk);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), serifCjk);
    QFont::insertSubstitutions(QStringLiteral("黑体"), sansCjk);
    QFont::insertSubstitutions(QStringLiteral("微软雅黑"), sansCjk);
    QFont::insertSubstitutions(QStringLiteral("幼圆"), sansCjk);
    QFont::insertSubstitutions(QStringLiteral("Arial"), arial);
    QFont::insertSubstitutions(QStringLiteral("Arial Black"), arial);
}

QFont MakeFont(const QString& family, int pointSize)
{
    QFont f(family);
    if (pointSize > 0)
        f.setPointSize(pointSize);
    if (family == QLatin1String("Arial Black"))
        f.setWeight(QFont::Black);
    return f;
}

QFont MakePixelFont(const char* family, int pixels, bool bold)
{
    QFont f = MakeFont(QString::fromUtf8(family), 0);
    f.setPixelSize(pixels);
    if (bold)
        f.setBold(true);
    return f;
}

} // namespace platform
