#pragma once
// Picture files of the wallpaper composer: BMP reading and writing, JPEG through
// libjpeg and GIF through giflib. Every reader refuses damaged, empty or absurdly
// large pictures with a std::runtime_error whose text names the file; none of
// them ever reads or writes outside its buffers.

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>

#include <stdexcept>

namespace wallpaper {

// Largest picture any reader accepts, in pixels (a damaged header must not make
// us allocate gigabytes).
inline constexpr qint64 MaxPicturePixels = qint64(16384) * 16384;

// Reads a picture file. Uncompressed 24- and 32-bit BMP files are read directly
// into Format_RGB32; every other format Qt knows (other BMP depths, a JPEG or PNG
// named in a hand-edited list) goes through QImageReader. Throws on failure.
QImage ReadPicture(const QString& path);

// Writes the picture as an uncompressed 24-bit BMP file, replacing any file of
// that name only once the new file is complete. Throws on failure.
void WriteBmp24(const QImage& image, const QString& path);

// The BMP file bytes of the picture (24 bits per pixel, bottom-up rows).
QByteArray EncodeBmp24(const QImage& image);

// JPEG, baseline, colour. Throws on failure.
QByteArray EncodeJpeg(const QImage& image, int quality);
void WriteJpeg(const QImage& image, const QString& path, int quality);

// Decodes a JPEG at full size into a 24-bit picture (Format_BGR888). Throws on
// failure.
QImage DecodeJpeg(const QByteArray& bytes, const QString& nameForErrors);

// A JPEG that could not be decoded (as opposed to a file that could not be written).
class JpegDecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decodes a JPEG at full size and writes it as an uncompressed 24-bit BMP file
// while it decodes, replacing any file of that name only once the new file is
// complete. Throws JpegDecodeError when the JPEG cannot be decoded and
// std::runtime_error when the file cannot be written.
void DecodeJpegToBmp(const QByteArray& bytes, const QString& nameForErrors, const QString& bmpPath);

// Decodes the first frame of a GIF drawn on its logical screen (the screen's
// background colour where the frame does not cover it or is transparent). Throws
// on failure, a GIF without frames included.
QImage DecodeGif(const QByteArray& bytes, const QString& nameForErrors);

// The whole file, or a throw naming it.
QByteArray ReadWholeFile(const QString& path);

// Replaces the file with the bytes through a temporary file. Throws on failure.
void WriteWholeFile(const QString& path, const QByteArray& bytes);

// Closes the temporary file `part` and renames it over `path` when it was
// written completely; otherwise removes it. Throws on failure.
void CommitPart(QFile& part, const QString& partPath, const QString& path, bool written);

} // namespace wallpaper
