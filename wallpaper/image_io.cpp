#include "image_io.h"

#include <QFile>
#include <QImageReader>

#include <gif_lib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#ifdef __linux__
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
#include <jerror.h>

namespace wallpaper {

namespace {

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

QString readError(const QString& path, const QString& why)
{
    return QStringLiteral("无法读取图片“%1”：%2").arg(path, why);
}

QString writeError(const QString& path, const QString& why)
{
    return QStringLiteral("无法写入文件“%1”：%2").arg(path, why);
}

// Bytes per row of a 24-bit BMP, and of a decoded JPEG: padded to four.
qint64 bmpStrideFor(qint64 width) { return (width * 3 + 3) & ~qint64(3); }

quint32 le32(const uchar* p) { return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24; }
quint16 le16(const uchar* p) { return quint16(p[0] | p[1] << 8); }
void put32(uchar* p, quint32 v) { p[0] = uchar(v); p[1] = uchar(v >> 8); p[2] = uchar(v >> 16); p[3] = uchar(v >> 24); }
void put16(uchar* p, quint16 v) { p[0] = uchar(v); p[1] = uchar(v >> 8); }

// Uncompressed 24- and 32-bit BMP read straight from the open file into
// Format_RGB32, a block of rows at a time through one small buffer, so no copy
// of the whole file is ever held. Returns a null image (and no error) for every
// BMP this fast path does not handle; the file's position is then undefined.
QImage readPlainBmp(QFile& f, const QString& path)
{
    uchar head[54];
    if (f.read(reinterpret_cast<char*>(head), 54) != 54 || head[0] != 'B' || head[1] != 'M')
        return {};
    const quint32 offBits = le32(head + 10);
    const quint32 headerSize = le32(head + 14);
    if (headerSize < 40)
        return {};
    const qint64 w = qint32(le32(head + 18));
    const qint64 hRaw = qint32(le32(head + 22));
    const int bpp = le16(head + 28);
    const quint32 compression = le32(head + 30);
    if (compression != 0 || (bpp != 24 && bpp != 32))
        return {};
    const qint64 h = hRaw < 0 ? -hRaw : hRaw;
    if (w <= 0 || h <= 0)
        fail(readError(path, QStringLiteral("图片大小为零")));
    if (w * h > MaxPicturePixels)
        fail(readError(path, QStringLiteral("图片过大")));
    const qint64 stride = ((w * bpp + 31) / 32) * 4;
    if (qint64(offBits) + stride * h > f.size() || !f.seek(offBits))
        fail(readError(path, QStringLiteral("文件不完整")));

    QImage img(int(w), int(h), QImage::Format_RGB32);
    if (img.isNull())
        fail(readError(path, QStringLiteral("内存不足")));
    // About 256 KB of rows per read: large reads, and the rows are still in the
    // cache when they are converted.
    const qint64 rowsPerBlock = std::max<qint64>(1, (256 * 1024) / stride);
    std::vector<uchar> block(size_t(stride * std::min(rowsPerBlock, h)));
    for (qint64 fileRow = 0; fileRow < h;) {
        const qint64 n = std::min(rowsPerBlock, h - fileRow);
        // A file that shrinks while it is read ends here.
        if (f.read(reinterpret_cast<char*>(block.data()), stride * n) != stride * n)
            fail(readError(path, QStringLiteral("文件不完整")));
        for (qint64 i = 0; i < n; ++i, ++fileRow) {
            const uchar* src = block.data() + stride * i;
            const qint64 y = hRaw < 0 ? fileRow : h - 1 - fileRow; // bottom-up unless the height is negative
            auto* dst = reinterpret_cast<quint32*>(img.scanLine(int(y)));
            if (bpp == 24) {
                // Four bytes are loaded per pixel; the last pixel of a row is
                // read by itself so nothing past the row's bytes is touched.
                for (qint64 x = 0; x + 1 < w; ++x, src += 3) {
                    quint32 v;
                    std::memcpy(&v, src, 4);
                    dst[x] = v | 0xFF000000u;
                }
                dst[w - 1] = 0xFF000000u | quint32(src[0]) | quint32(src[1]) << 8 | quint32(src[2]) << 16;
            } else {
                for (qint64 x = 0; x < w; ++x, src += 4)
                    dst[x] = 0xFF000000u | quint32(src[0]) | quint32(src[1]) << 8 | quint32(src[2]) << 16;
            }
        }
    }
    return img;
}

// ---- libjpeg ---------------------------------------------------------------
// The functions below run inside a setjmp scope: they hold only plain C data so
// that the long jump of the error handler skips no destructor.

struct JpegError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jpegErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void jpegSilence(j_common_ptr) {}

// A growing malloc buffer as the encoder's destination.
struct JpegMemDest {
    jpeg_destination_mgr pub;
    unsigned char* data;
    size_t capacity;
    size_t size;
};

void memDestInit(j_compress_ptr cinfo)
{
    auto* d = reinterpret_cast<JpegMemDest*>(cinfo->dest);
    d->data = static_cast<unsigned char*>(std::malloc(d->capacity));
    if (!d->data) {
        cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
        (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
    }
    d->pub.next_output_byte = d->data;
    d->pub.free_in_buffer = d->capacity;
}

boolean memDestEmpty(j_compress_ptr cinfo)
{
    auto* d = reinterpret_cast<JpegMemDest*>(cinfo->dest);
    const size_t grown = d->capacity * 2;
    auto* bigger = static_cast<unsigned char*>(std::realloc(d->data, grown));
    if (!bigger) {
        cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
        (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
    }
    d->data = bigger;
    d->pub.next_output_byte = bigger + d->capacity;
    d->pub.free_in_buffer = grown - d->capacity;
    d->capacity = grown;
    return TRUE;
}

void memDestTerm(j_compress_ptr cinfo)
{
    auto* d = reinterpret_cast<JpegMemDest*>(cinfo->dest);
    d->size = d->capacity - d->pub.free_in_buffer;
}

// rows: 32-bit pixels in blue, green, red, unused order.
bool jpegEncodeRows(const uchar* bits, qsizetype bytesPerLine, int width, int height, int quality, JpegMemDest* dest,
                    char* message)
{
    jpeg_compress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jpegErrorExit;
    err.pub.output_message = jpegSilence;
    dest->data = nullptr;
    dest->size = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(dest->data);
        dest->data = nullptr;
        std::memcpy(message, err.message, sizeof err.message);
        return false;
    }
    jpeg_create_compress(&cinfo);
    dest->pub.init_destination = memDestInit;
    dest->pub.empty_output_buffer = memDestEmpty;
    dest->pub.term_destination = memDestTerm;
    cinfo.dest = &dest->pub;
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo); // baseline, sequential, YCbCr
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(bits + qsizetype(cinfo.next_scanline) * bytesPerLine);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

struct JpegPixels {
    unsigned char* data; // malloc'd, rows of width * 3 bytes padded to 4, blue, green, red
    int width;
    int height;
    size_t stride;
    unsigned char* scratch; // malloc'd row for CMYK pictures
    // Optional, for a reader of the rows on another thread: called with 0 once
    // the rows are allocated, with the number of finished rows as they come
    // and, when decoding fails after the rows were allocated, with -1 before
    // they are freed (it must return only when nobody reads them any more).
    // It never throws.
    void (*progress)(void* context, int rowsDone);
    void* progressContext;
};

bool jpegDecodeRows(const unsigned char* bytes, unsigned long size, JpegPixels* out, char* message)
{
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jpegErrorExit;
    err.pub.output_message = jpegSilence;
    out->data = nullptr;
    out->scratch = nullptr;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        if (out->data && out->progress)
            out->progress(out->progressContext, -1);
        std::free(out->data);
        out->data = nullptr;
        std::free(out->scratch);
        out->scratch = nullptr;
        std::memcpy(message, err.message, sizeof err.message);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes, size);
    jpeg_read_header(&cinfo, TRUE);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    cinfo.scale_num = 1; // full size
    cinfo.scale_denom = 1;
    jpeg_start_decompress(&cinfo);
    out->width = int(cinfo.output_width);
    out->height = int(cinfo.output_height);
    if (out->width <= 0 || out->height <= 0 || qint64(out->width) * out->height > MaxPicturePixels) {
        std::snprintf(err.message, sizeof err.message, "picture size %dx%d refused", out->width, out->height);
        std::longjmp(err.jump, 1);
    }
    out->stride = size_t(bmpStrideFor(out->width));
    out->data = static_cast<unsigned char*>(std::malloc(out->stride * size_t(out->height)));
    if (out->data && out->stride > size_t(out->width) * 3) // the padding bytes of each row
        for (int y = 0; y < out->height; ++y)
            std::memset(out->data + size_t(y) * out->stride + size_t(out->width) * 3, 0, out->stride - size_t(out->width) * 3);
    if (cmyk)
        out->scratch = static_cast<unsigned char*>(std::malloc(size_t(out->width) * 4));
    if (!out->data || (cmyk && !out->scratch)) {
        cinfo.err->msg_code = JERR_OUT_OF_MEMORY;
        (*cinfo.err->error_exit)(reinterpret_cast<j_common_ptr>(&cinfo));
    }
    if (out->progress)
        out->progress(out->progressContext, 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        unsigned char* dst = out->data + size_t(cinfo.output_scanline) * out->stride;
        JSAMPROW row = cmyk ? out->scratch : dst;
        jpeg_read_scanlines(&cinfo, &row, 1);
        if (cmyk) {
            // Adobe writes CMYK inverted: each byte is 255 - ink.
            for (int x = 0; x < out->width; ++x) {
                const unsigned char* p = out->scratch + 4 * x;
                const unsigned k = p[3];
                dst[3 * x + 0] = static_cast<unsigned char>(p[2] * k / 255);
                dst[3 * x + 1] = static_cast<unsigned char>(p[1] * k / 255);
                dst[3 * x + 2] = static_cast<unsigned char>(p[0] * k / 255);
            }
        }
        if (out->progress && (cinfo.output_scanline % 16 == 0 || cinfo.output_scanline == cinfo.output_height))
            out->progress(out->progressContext, int(cinfo.output_scanline));
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::free(out->scratch);
    out->scratch = nullptr;
    return true;
}

// ---- giflib ----------------------------------------------------------------

struct GifMemory {
    const uchar* data;
    qsizetype size;
    qsizetype pos;
};

int gifRead(GifFileType* gif, GifByteType* buf, int len)
{
    auto* m = static_cast<GifMemory*>(gif->UserData);
    const qsizetype n = qMin<qsizetype>(len, m->size - m->pos);
    if (n <= 0)
        return 0;
    std::memcpy(buf, m->data + m->pos, size_t(n));
    m->pos += n;
    return int(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int err = 0;
        DGifCloseFile(gif, &err);
    }
};

} // namespace

QByteArray ReadWholeFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail(readError(path, f.errorString()));
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        fail(readError(path, f.errorString()));
    return bytes;
}

void WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    // A temporary file beside the target, renamed over it once complete: a failed
    // write never leaves half a picture. No sync to disk: these files are made
    // again by the next action, and a sync costs more than the whole write.
    const QString part = path + QStringLiteral(".part");
    QFile f(part);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(writeError(path, f.errorString()));
    const bool written = f.write(bytes) == bytes.size() && f.flush();
    CommitPart(f, part, path, written);
}

namespace {

#ifdef __linux__
// Freeing the storage of a replaced picture of several megabytes takes the file
// system a millisecond or two. A handle on the old file keeps it alive past the
// rename; closing that handle on a thread of its own frees it there.
int holdLargeFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    struct stat st{};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || st.st_size < 1024 * 1024)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void releaseInBackground(int fd)
{
    if (fd < 0)
        return;
    try {
        std::thread([fd] { ::close(fd); }).detach();
    } catch (const std::system_error&) {
        ::close(fd);
    }
}
#endif

} // namespace

void CommitPart(QFile& f, const QString& part, const QString& path, bool written)
{
    const QString why = f.errorString();
    f.close();
    std::error_code ec;
#ifdef __linux__
    const int old = written ? holdLargeFile(path) : -1;
#endif
    if (written)
        std::filesystem::rename(std::filesystem::path(part.toStdU16String()), std::filesystem::path(path.toStdU16String()), ec);
#ifdef __linux__
    releaseInBackground(old);
#endif
    if (!written || ec) {
        QFile::remove(part);
        fail(writeError(path, written ? QString::fromLocal8Bit(ec.message().c_str()) : why));
    }
}

QImage ReadPicture(const QString& path)
{
    QImage img;
    {
        QFile f(path);
        // Unbuffered: the reads go straight into our buffer.
        if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            fail(readError(path, f.errorString()));
        img = readPlainBmp(f, path);
        if (f.error() != QFileDevice::NoError)
            fail(readError(path, f.errorString()));
    }
    if (!img.isNull())
        return img;

    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize s = reader.size();
    if (s.isValid() && (s.isEmpty() || qint64(s.width()) * s.height() > MaxPicturePixels))
        fail(readError(path, s.isEmpty() ? QStringLiteral("图片大小为零") : QStringLiteral("图片过大")));
    img = reader.read();
    if (img.isNull())
        fail(readError(path, reader.errorString()));
    return img;
}

namespace {

// The picture in a format whose rows the BMP writer copies directly.
QImage bmpSource(const QImage& image)
{
    if (image.isNull())
        fail(QStringLiteral("没有可写入的图片"));
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_BGR888)
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

qint64 bmpStride(const QImage& src) { return bmpStrideFor(src.width()); }

void bmpHeaderFor(int width, int height, uchar* d)
{
    const qint64 imageBytes = bmpStrideFor(width) * height;
    if (54 + imageBytes > qint64(0x7FFFFFFF))
        fail(QStringLiteral("图片过大，无法写成BMP文件"));
    std::memset(d, 0, 54);
    d[0] = 'B';
    d[1] = 'M';
    put32(d + 2, quint32(54 + imageBytes));
    put32(d + 10, 54);
    put32(d + 14, 40);
    put32(d + 18, quint32(width));
    put32(d + 22, quint32(height));
    put16(d + 26, 1);
    put16(d + 28, 24);
    put32(d + 34, quint32(imageBytes));
    put32(d + 38, 3780); // 96 dots per inch
    put32(d + 42, 3780);
}

void bmpHeader(const QImage& src, uchar* d) { bmpHeaderFor(src.width(), src.height(), d); }

// File row `fileRow` (counted from the bottom) as blue, green, red plus padding.
void bmpRow(const QImage& src, int fileRow, uchar* dst)
{
    const qint64 w = src.width();
    const uchar* row = src.constScanLine(src.height() - 1 - fileRow);
    if (src.format() == QImage::Format_BGR888) {
        std::memcpy(dst, row, size_t(w * 3));
    } else {
        // Four bytes stored per pixel, each store overlapping the next pixel;
        // the last pixel is stored by itself.
        const uchar* s = row;
        uchar* o = dst;
        for (qint64 x = 0; x + 1 < w; ++x, s += 4, o += 3)
            std::memcpy(o, s, 4);
        o[0] = s[0];
        o[1] = s[1];
        o[2] = s[2];
    }
    std::memset(dst + w * 3, 0, size_t(bmpStride(src) - w * 3));
}

} // namespace

QByteArray EncodeBmp24(const QImage& image)
{
    const QImage src = bmpSource(image);
    const qint64 stride = bmpStride(src);
    QByteArray out(54 + stride * src.height(), Qt::Uninitialized);
    auto* d = reinterpret_cast<uchar*>(out.data());
    bmpHeader(src, d);
    for (int y = 0; y < src.height(); ++y)
        bmpRow(src, y, d + 54 + stride * y);
    return out;
}

void WriteBmp24(const QImage& image, const QString& path)
{
    // Rows go out in blocks of about 256 KB through one reused buffer.
    const QImage src = bmpSource(image);
    const qint64 stride = bmpStride(src) + 1; // one spare byte for the overlapping stores
    const int rowsPerBlock = int(std::max<qint64>(1, (256 * 1024) / stride));
    std::vector<uchar> block(size_t(std::max<qint64>(54, stride * rowsPerBlock)));
    bmpHeader(src, block.data());

    const QString part = path + QStringLiteral(".part");
    QFile f(part);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(writeError(path, f.errorString()));
    bool written = f.write(reinterpret_cast<const char*>(block.data()), 54) == 54;
    const qint64 rowBytes = stride - 1;
    for (int y = 0; written && y < src.height(); y += rowsPerBlock) {
        const int n = std::min(rowsPerBlock, src.height() - y);
        for (int i = 0; i < n; ++i)
            bmpRow(src, y + i, block.data() + rowBytes * i);
        written = f.write(reinterpret_cast<const char*>(block.data()), rowBytes * n) == rowBytes * n;
    }
    written = written && f.flush();
    CommitPart(f, part, path, written);
}

QByteArray EncodeJpeg(const QImage& image, int quality)
{
    if (image.isNull())
        fail(QStringLiteral("没有可编码的图片"));
    QImage src = image;
    if (src.format() != QImage::Format_RGB32 && src.format() != QImage::Format_ARGB32)
        src = src.convertToFormat(QImage::Format_RGB32);
    JpegMemDest dest{};
    dest.capacity = qMax<size_t>(size_t(src.width()) * size_t(src.height()) / 4, 65536);
    char message[JMSG_LENGTH_MAX] = {};
    if (!jpegEncodeRows(src.constBits(), src.bytesPerLine(), src.width(), src.height(), quality, &dest, message))
        fail(QStringLiteral("JPEG编码失败：%1").arg(QString::fromLocal8Bit(message)));
    QByteArray out(reinterpret_cast<const char*>(dest.data), qsizetype(dest.size));
    std::free(dest.data);
    return out;
}

void WriteJpeg(const QImage& image, const QString& path, int quality)
{
    WriteWholeFile(path, EncodeJpeg(image, quality));
}

namespace {

// Writes the rows of a JPEG that is still being decoded into a 24-bit BMP file,
// on a thread of its own, so that writing the file overlaps decoding. Rows
// arrive top-down and the file holds them bottom-up: each block of rows goes
// to its own place in the file, which is complete once the last row is in.
// The decoded rows are padded to four bytes with zeros, like BMP rows, so they
// are copied whole.
class BmpStripWriter {
public:
    explicit BmpStripWriter(const QString& path)
        : FPath(path), FPartPath(path + QStringLiteral(".part")), FPart(FPartPath), FThread([this] { Run(); })
    {
    }
    ~BmpStripWriter() { StopAndJoin(); }

    // JpegPixels::progress, on the decoding thread.
    static void Progress(void* context, int rowsDone)
    {
        auto* self = static_cast<BmpStripWriter*>(context);
        if (rowsDone < 0) {
            self->StopAndJoin(); // the rows are about to be freed
            return;
        }
        {
            const std::lock_guard<std::mutex> lock(self->FMutex);
            self->FRowsDone = rowsDone;
        }
        self->FWake.notify_one();
    }
    void Attach(JpegPixels* px)
    {
        FPixels = px;
        px->progress = Progress;
        px->progressContext = this;
    }

    // After a successful decode: waits for the last rows and puts the file in
    // place. Throws when the file could not be written.
    void Finish()
    {
        if (FThread.joinable())
            FThread.join();
        if (!FWriteError.isEmpty()) {
            FPart.close();
            QFile::remove(FPartPath);
            fail(FWriteError);
        }
        CommitPart(FPart, FPartPath, FPath, true);
    }

    // Abandons the file, for a decode that failed.
    void Discard()
    {
        StopAndJoin();
        FPart.close();
        QFile::remove(FPartPath);
    }

private:
    void StopAndJoin()
    {
        {
            const std::lock_guard<std::mutex> lock(FMutex);
            FStop = true;
        }
        FWake.notify_one();
        if (FThread.joinable())
            FThread.join();
    }

    // Waits until rows beyond `written` are decoded; false when told to stop.
    bool WaitForRows(int written, int& rowsDone)
    {
        std::unique_lock<std::mutex> lock(FMutex);
        FWake.wait(lock, [&] { return FStop || FRowsDone > written; });
        rowsDone = FRowsDone;
        return !FStop;
    }

    void Run()
    {
        try {
            WriteRows();
        } catch (const std::exception& e) {
            FWriteError = QString::fromUtf8(e.what());
        }
    }

    void WriteRows()
    {
        int rowsDone = 0;
        if (!WaitForRows(-1, rowsDone))
            return;
        // FPixels is complete from here on except for the rows still to come.
        const JpegPixels& px = *FPixels;
        const qint64 stride = qint64(px.stride);
        uchar head[54];
        bmpHeaderFor(px.width, px.height, head);
        if (!FPart.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)
            || FPart.write(reinterpret_cast<const char*>(head), 54) != 54) {
            FWriteError = writeError(FPath, FPart.errorString());
            return;
        }
        const int rowsPerBlock = int(std::max<qint64>(1, (256 * 1024) / stride));
        std::vector<uchar> block(size_t(stride * std::min(rowsPerBlock, px.height)));
        int written = 0;
        while (written < px.height) {
            if (!WaitForRows(written, rowsDone))
                return;
            while (written < rowsDone) {
                const int n = std::min(rowsPerBlock, rowsDone - written);
                // Picture rows written .. written + n - 1 are file rows
                // h - written - n .. h - 1 - written, in reverse order.
                for (int i = 0; i < n; ++i)
                    std::memcpy(block.data() + stride * (n - 1 - i), px.data + stride * (written + i), size_t(stride));
                const qint64 at = 54 + stride * (px.height - written - n);
                if (!FPart.seek(at) || FPart.write(reinterpret_cast<const char*>(block.data()), stride * n) != stride * n) {
                    FWriteError = writeError(FPath, FPart.errorString());
                    return;
                }
                written += n;
#ifdef __linux__
                // Start writing the block out now, on this thread: a file put in
                // place of another by rename is flushed by the file system
                // (ext4), and that flush then finds little left to do.
                ::sync_file_range(FPart.handle(), at, stride * n, SYNC_FILE_RANGE_WRITE);
#endif
            }
        }
    }

    QString FPath;
    QString FPartPath;
    QFile FPart;
    JpegPixels* FPixels = nullptr;
    std::mutex FMutex;
    std::condition_variable FWake;
    int FRowsDone = -1;
    bool FStop = false;
    QString FWriteError;
    std::thread FThread; // last: it starts running once everything above is made
};

} // namespace

void DecodeJpegToBmp(const QByteArray& bytes, const QString& nameForErrors, const QString& bmpPath)
{
    if (bytes.isEmpty())
        throw JpegDecodeError(readError(nameForErrors, QStringLiteral("文件为空")).toStdString());
    BmpStripWriter writer(bmpPath);
    JpegPixels px{};
    writer.Attach(&px);
    char message[JMSG_LENGTH_MAX] = {};
    if (!jpegDecodeRows(reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<unsigned long>(bytes.size()),
                        &px, message)) {
        writer.Discard();
        throw JpegDecodeError(readError(nameForErrors, QString::fromLocal8Bit(message)).toStdString());
    }
    const std::unique_ptr<unsigned char, decltype(&std::free)> rows(px.data, &std::free);
    BmpStripWriter::Progress(&writer, px.height); // every row is in, whatever the decoder last said
    writer.Finish();
}

QImage DecodeJpeg(const QByteArray& bytes, const QString& nameForErrors)
{
    JpegPixels px{};
    char message[JMSG_LENGTH_MAX] = {};
    if (bytes.isEmpty())
        fail(readError(nameForErrors, QStringLiteral("文件为空")));
    if (!jpegDecodeRows(reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<unsigned long>(bytes.size()),
                        &px, message))
        fail(readError(nameForErrors, QString::fromLocal8Bit(message)));
    QImage img(px.data, px.width, px.height, qsizetype(px.stride), QImage::Format_BGR888,
               [](void* p) { std::free(p); }, px.data);
    return img;
}

QImage DecodeGif(const QByteArray& bytes, const QString& nameForErrors)
{
    GifMemory mem{reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), 0};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&mem, gifRead, &error));
    auto gifFail = [&](int code) { fail(readError(nameForErrors, QString::fromLatin1(GifErrorString(code)))); };
    if (!gif)
        gifFail(error);

    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            gifFail(gif->Error);
        if (type == TERMINATE_RECORD_TYPE)
            fail(readError(nameForErrors, QStringLiteral("GIF文件中没有图像")));
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif.get(), &code, &ext) == GIF_ERROR)
                gifFail(gif->Error);
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) {
                GraphicsControlBlock gcb{};
                if (DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK)
                    transparent = gcb.TransparentColor;
            }
            while (ext) {
                if (DGifGetExtensionNext(gif.get(), &ext) == GIF_ERROR)
                    gifFail(gif->Error);
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;

        if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
            gifFail(gif->Error);
        const GifImageDesc& desc = gif->Image;
        const qint64 fw = desc.Width, fh = desc.Height;
        qint64 sw = gif->SWidth, sh = gif->SHeight;
        if (sw <= 0 || sh <= 0) { // some writers leave the logical screen empty
            sw = desc.Left + fw;
            sh = desc.Top + fh;
        }
        if (fw <= 0 || fh <= 0 || sw <= 0 || sh <= 0)
            fail(readError(nameForErrors, QStringLiteral("图片大小为零")));
        if (sw * sh > MaxPicturePixels || fw * fh > MaxPicturePixels)
            fail(readError(nameForErrors, QStringLiteral("图片过大")));
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        if (!map || map->ColorCount <= 0)
            fail(readError(nameForErrors, QStringLiteral("GIF文件没有调色板")));

        QImage canvas(int(sw), int(sh), QImage::Format_RGB32);
        if (canvas.isNull())
            fail(readError(nameForErrors, QStringLiteral("内存不足")));
        QRgb ground = qRgb(255, 255, 255);
        if (gif->SColorMap && gif->SBackGroundColor >= 0 && gif->SBackGroundColor < gif->SColorMap->ColorCount
            && gif->SBackGroundColor != transparent) {
            const GifColorType& c = gif->SColorMap->Colors[gif->SBackGroundColor];
            ground = qRgb(c.Red, c.Green, c.Blue);
        }
        canvas.fill(ground);

        std::vector<GifPixelType> line(static_cast<size_t>(fw));
        auto putRow = [&](qint64 row) {
            const qint64 y = desc.Top + row;
            if (y < 0 || y >= sh)
                return;
            auto* dst = reinterpret_cast<QRgb*>(canvas.scanLine(int(y)));
            for (qint64 x = 0; x < fw; ++x) {
                const qint64 cx = desc.Left + x;
                const int index = line[size_t(x)];
                if (cx < 0 || cx >= sw || index == transparent || index >= map->ColorCount)
                    continue;
                const GifColorType& c = map->Colors[index];
                dst[cx] = qRgb(c.Red, c.Green, c.Blue);
            }
        };
        if (desc.Interlace) {
            static constexpr int offsets[] = {0, 4, 2, 1};
            static constexpr int steps[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (qint64 row = offsets[pass]; row < fh; row += steps[pass]) {
                    if (DGifGetLine(gif.get(), line.data(), int(fw)) == GIF_ERROR)
                        gifFail(gif->Error);
                    putRow(row);
                }
        } else {
            for (qint64 row = 0; row < fh; ++row) {
                if (DGifGetLine(gif.get(), line.data(), int(fw)) == GIF_ERROR)
                    gifFail(gif->Error);
                putRow(row);
            }
        }
        return canvas;
    }
}

} // namespace wallpaper
