// The settings files and the GBK line reader: any file content reads without a
// crash, and values outside the file's lines keep their defaults.

#include "app/settings_files.h"
#include "platform/gbk_text.h"

#include <QFile>
#include <QSize>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("FormSize.ini"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const auto lines = platform::ReadGbkLines(path);
    if (!lines)
        std::abort();
    const FormSizeValues defaults = FormSizeValues::Defaults(QSize(1024, 768));
    FormSizeValues v;
    if (!ReadFormSize(path, defaults, v))
        std::abort();
    if (lines->size() < 5 && v.Top != defaults.Top)
        std::abort();
    bool ask = false;
    ReadAskBeforeApply(path, ask);
    // Whatever was read writes back as GBK or is refused whole.
    QByteArray out;
    for (const QString& line : *lines)
        platform::EncodeGbk(line, out);
    return 0;
}
