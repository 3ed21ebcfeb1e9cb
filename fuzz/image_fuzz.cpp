// The picture readers of the wallpaper composer: a damaged BMP, JPEG or GIF is
// refused with an error, never a crash, and a picture that reads has a sane size.
// The first byte picks the reader, the rest is the file.

#include "gui_init.h"

#include "wallpaper/image_io.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InitGuiOnce();
    if (size == 0)
        return 0;
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QImage picture;
    try {
        switch (data[0] % 3) {
        case 0: {
            const QString path = dir.filePath(QStringLiteral("fuzz.bmp"));
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return 0;
            f.write(bytes);
            f.close();
            picture = wallpaper::ReadPicture(path);
            break;
        }
        case 1: {
            picture = wallpaper::DecodeJpeg(bytes, QStringLiteral("fuzz.jpg"));
            // The same JPEG decoded straight into a BMP file gives the same
            // picture (for small pictures: the file costs time).
            if (qint64(picture.width()) * picture.height() <= 1024 * 1024) {
                const QString bmp = dir.filePath(QStringLiteral("fuzz-jpeg.bmp"));
                wallpaper::DecodeJpegToBmp(bytes, QStringLiteral("fuzz.jpg"), bmp);
                if (wallpaper::ReadPicture(bmp) != picture.convertToFormat(QImage::Format_RGB32))
                    std::abort();
            }
            break;
        }
        default: picture = wallpaper::DecodeGif(bytes, QStringLiteral("fuzz.gif")); break;
        }
    } catch (const std::runtime_error&) {
        return 0; // refused with a message
    }
    if (picture.isNull() || qint64(picture.width()) * picture.height() > wallpaper::MaxPicturePixels)
        std::abort();
    // What was read can always be written again.
    if (wallpaper::EncodeBmp24(picture).isEmpty())
        std::abort();
    return 0;
}
