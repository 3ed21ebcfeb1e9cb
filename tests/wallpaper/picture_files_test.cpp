// Picture files: BMP reading and writing, the JPEG and GIF conversions, and the
// damaged files that must fail with an error instead of a crash.
#include "fixture.h"

#include <gif_lib.h>

#include <QBuffer>
#include <QFileInfo>

namespace {

QByteArray bmpBytes(const QImage& img) { return wallpaper::EncodeBmp24(img); }

void put32(QByteArray& b, int at, qint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((quint32(v) >> (8 * i)) & 0xFF);
}

// A GIF with a logical screen of 20 x 10 (background index 1, blue) and one frame
// of 4 x 3 at 5, 2 whose index 0 is transparent and index 2 is red.
bool writeGif(const QString& path, int frames)
{
    int err = 0;
    GifFileType* gif = EGifOpenFileName(QFile::encodeName(path).constData(), false, &err);
    if (!gif)
        return false;
    GifColorType colours[4] = {{0, 0, 0}, {0, 0, 255}, {255, 0, 0}, {0, 255, 0}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    bool ok = EGifPutScreenDesc(gif, 20, 10, 8, 1, map) == GIF_OK;
    for (int f = 0; ok && f < frames; ++f) {
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = 0;
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext) == GIF_OK
             && EGifPutImageDesc(gif, 5, 2, 4, 3, false, nullptr) == GIF_OK;
        GifPixelType rows[3][4] = {{2, 2, 2, 2}, {2, 0, 0, 2}, {2, 2, 2, GifPixelType(f == 0 ? 2 : 3)}};
        for (int r = 0; ok && r < 3; ++r)
            ok = EGifPutLine(gif, rows[r], 4) == GIF_OK;
    }
    ok = EGifCloseFile(gif, &err) == GIF_OK && ok;
    GifFreeMapObject(map);
    return ok;
}

} // namespace

TEST_F(ComposerTest, BmpRoundTripKeepsEveryPixelAt24Bits)
{
    QImage img(7, 5, QImage::Format_RGB32); // odd width: rows are padded
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            img.setPixel(x, y, qRgb(x * 30, y * 50, (x + y) * 10));
    writeBmp(QStringLiteral("p.bmp"), img);
    const QByteArray bytes = wallpaper::ReadWholeFile(path(QStringLiteral("p.bmp")));
    EXPECT_EQ(bytes.at(28), 24);
    EXPECT_EQ(wallpaper::ReadPicture(path(QStringLiteral("p.bmp"))), img);
    // Qt reads our files the same way.
    EXPECT_EQ(QImage(path(QStringLiteral("p.bmp"))).convertToFormat(QImage::Format_RGB32), img);

    // Larger than one block of the reader, every row different; and the same
    // picture as a top-down 32-bit file.
    QImage big(301, 900, QImage::Format_RGB32);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            big.setPixel(x, y, qRgb(x % 256, y % 256, (y / 256) * 60 + x / 256));
    writeBmp(QStringLiteral("big.bmp"), big);
    EXPECT_EQ(wallpaper::ReadPicture(path(QStringLiteral("big.bmp"))), big);
    QByteArray top32 = bmpBytes(big).left(54);
    put32(top32, 2, 54 + big.width() * 4 * big.height());
    put32(top32, 22, -big.height());
    top32[28] = 32;
    put32(top32, 34, big.width() * 4 * big.height());
    for (int y = 0; y < big.height(); ++y)
        top32.append(reinterpret_cast<const char*>(big.constScanLine(y)), big.width() * 4);
    QFile f(path(QStringLiteral("top.bmp")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(top32);
    f.close();
    EXPECT_EQ(wallpaper::ReadPicture(path(QStringLiteral("top.bmp"))), big);
}

TEST_F(ComposerTest, DamagedBmpFilesFailWithAnError)
{
    const QByteArray good = bmpBytes(Solid(40, 30, qRgb(1, 2, 3)));
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    QByteArray truncated = good.left(good.size() / 2);
    QByteArray zeroWidth = good;
    put32(zeroWidth, 18, 0);
    QByteArray huge = good;
    put32(huge, 18, 100000);
    put32(huge, 22, 100000);
    QByteArray pastEnd = good;
    put32(pastEnd, 10, 0x7FFFFF00);
    const Case cases[] = {{"empty", {}}, {"truncated", truncated}, {"zero_width", zeroWidth}, {"huge", huge},
                          {"offset_past_end", pastEnd}, {"not_a_picture", QByteArray("BMxxxxxxxxxxxxxxxxxxxx")}};
    for (const Case& c : cases) {
        QFile f(path(QStringLiteral("bad.bmp")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        EXPECT_THROW(wallpaper::ReadPicture(path(QStringLiteral("bad.bmp"))), std::runtime_error) << c.name;
    }
    EXPECT_THROW(wallpaper::ReadPicture(path(QStringLiteral("missing.bmp"))), std::runtime_error);
}

TEST_F(ComposerTest, JpgToBmpDecodesAtFullSizeBesideTheSource)
{
    QImage img = Solid(333, 211, qRgb(40, 120, 200));
    wallpaper::WriteJpeg(img, pic(QStringLiteral("Photo.Big.JPG")), 90);
    const QByteArray jpeg = wallpaper::ReadWholeFile(pic(QStringLiteral("Photo.Big.JPG")));
    EXPECT_TRUE(jpeg.startsWith("\xFF\xD8"));
    EXPECT_FALSE(jpeg.contains("\xFF\xC2")) << "baseline, not progressive";

    const QString bmp = JpgToBmp(pic(QStringLiteral("Photo.Big.JPG")));
    EXPECT_EQ(QFileInfo(bmp).fileName(), QStringLiteral("Photo.Big.bmp"));
    const QImage back = wallpaper::ReadPicture(bmp);
    ASSERT_EQ(back.size(), QSize(333, 211));
    EXPECT_EQ(wallpaper::ReadWholeFile(bmp).at(28), 24);
    EXPECT_NEAR(qBlue(back.pixel(100, 100)), 200, 3);
    EXPECT_NEAR(qRed(back.pixel(100, 100)), 40, 3);
}

TEST_F(ComposerTest, DecodeJpegToBmpWritesWhatTheDecoderGives)
{
    // Odd width (padded rows), many blocks of rows, every row different.
    QImage img(1001, 1500, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb((x * 7) % 256, (y * 3) % 256, (x + y) % 256));
    const QByteArray jpeg = wallpaper::EncodeJpeg(img, 90);
    const QImage decoded = wallpaper::DecodeJpeg(jpeg, QStringLiteral("m.jpg")).convertToFormat(QImage::Format_RGB32);
    const QString bmp = pic(QStringLiteral("Mix.bmp"));
    writeBmp(QStringLiteral("source/DeskTopBG/Mix.bmp"), Solid(1600, 1200, qRgb(1, 2, 3))); // replaced
    wallpaper::DecodeJpegToBmp(jpeg, QStringLiteral("m.jpg"), bmp);
    EXPECT_EQ(wallpaper::ReadPicture(bmp), decoded);
    EXPECT_EQ(QFileInfo(bmp).size(), 54 + 3004 * 1500);

    // A JPEG that does not decode, and a file that cannot be written: told
    // apart, and the picture in place stays as it was.
    EXPECT_THROW(wallpaper::DecodeJpegToBmp(QByteArray(5000, 'x'), QStringLiteral("bad.jpg"), bmp),
                 wallpaper::JpegDecodeError);
    EXPECT_THROW(wallpaper::DecodeJpegToBmp(QByteArray(), QStringLiteral("empty.jpg"), bmp), wallpaper::JpegDecodeError);
    EXPECT_EQ(wallpaper::ReadPicture(bmp), decoded);
    try {
        wallpaper::DecodeJpegToBmp(jpeg, QStringLiteral("m.jpg"), pic(QStringLiteral("no/such/folder/Mix.bmp")));
        ADD_FAILURE() << "no error";
    } catch (const wallpaper::JpegDecodeError&) {
        ADD_FAILURE() << "a write failure is not a decode failure";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("Mix.bmp"), std::string::npos);
    }
    QStringList left = QDir(pic(QString())).entryList(QDir::Files);
    EXPECT_EQ(left, QStringList{QStringLiteral("Mix.bmp")}) << "no temporary file is left";
}

TEST_F(ComposerTest, GifToBmpDrawsTheFirstFrameOnTheLogicalScreen)
{
    ASSERT_TRUE(writeGif(pic(QStringLiteral("anim.gif")), 2));
    const QString bmp = GifToBmp(pic(QStringLiteral("anim.gif")));
    EXPECT_EQ(QFileInfo(bmp).fileName(), QStringLiteral("anim.bmp"));
    const QImage img = wallpaper::ReadPicture(bmp);
    ASSERT_EQ(img.size(), QSize(20, 10));
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 255)) << "screen background";
    EXPECT_EQ(img.pixel(5, 2), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(6, 3), qRgb(0, 0, 255)) << "transparent pixel shows the ground";
    EXPECT_EQ(img.pixel(8, 4), qRgb(255, 0, 0)) << "first frame, not the second";
    EXPECT_EQ(img.pixel(9, 2), qRgb(0, 0, 255));
}

TEST_F(ComposerTest, DamagedJpegAndGifFilesFail)
{
    ASSERT_TRUE(writeGif(pic(QStringLiteral("none.gif")), 0));
    EXPECT_THROW(GifToBmp(pic(QStringLiteral("none.gif"))), std::runtime_error) << "no frames";

    const QByteArray garbage(5000, 'x');
    for (const QString& name : {QStringLiteral("bad.jpg"), QStringLiteral("bad.gif")}) {
        QFile f(pic(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(garbage);
        f.close();
    }
    EXPECT_THROW(JpgToBmp(pic(QStringLiteral("bad.jpg"))), std::runtime_error);
    EXPECT_THROW(GifToBmp(pic(QStringLiteral("bad.gif"))), std::runtime_error);

    // A JPEG cut after its header decodes without a crash (libjpeg fills the rest).
    wallpaper::WriteJpeg(Solid(64, 64, qRgb(9, 9, 9)), pic(QStringLiteral("cut.jpg")), 90);
    QByteArray cut = wallpaper::ReadWholeFile(pic(QStringLiteral("cut.jpg")));
    cut.truncate(cut.size() / 3);
    wallpaper::WriteWholeFile(pic(QStringLiteral("cut.jpg")), cut);
    try {
        EXPECT_EQ(wallpaper::ReadPicture(JpgToBmp(pic(QStringLiteral("cut.jpg")))).size(), QSize(64, 64));
    } catch (const std::runtime_error&) {
    }
}

TEST_F(ComposerTest, ToBmpFileChoosesByTheLowerCasedExtension)
{
    wallpaper::WriteJpeg(Solid(8, 8, qRgb(9, 9, 9)), pic(QStringLiteral("x.JPEG")), 90);
    ASSERT_TRUE(writeGif(pic(QStringLiteral("y.GIF")), 1));
    EXPECT_EQ(ToBmpFile(pic(QStringLiteral("a.BMP"))), pic(QStringLiteral("a.BMP")));
    EXPECT_EQ(QFileInfo(ToBmpFile(pic(QStringLiteral("x.JPEG")))).fileName(), QStringLiteral("x.bmp"));
    EXPECT_EQ(QFileInfo(ToBmpFile(pic(QStringLiteral("y.GIF")))).fileName(), QStringLiteral("y.bmp"));
    EXPECT_EQ(ToBmpFile(pic(QStringLiteral("z.png"))), QString());
    EXPECT_EQ(ToBmpFile(pic(QStringLiteral("noext"))), QString());
}
