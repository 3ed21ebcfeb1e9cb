// The compose-and-apply action: the worked placements, the note image, the
// failures that stop it, the confirmation box and its flag file.
#include "fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QFileInfo>
#include <QPushButton>

namespace {

constexpr QRgb Ground = qRgb(100, 100, 100);

// Rectangle of pixels that differ from the ground colour.
QRect changedArea(const QImage& img)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((row[x] & 0xFFFFFF) != (Ground & 0xFFFFFF))
                r |= QRect(x, y, 1, 1);
    }
    return r;
}

int boxShown = 0;
bool tickAndConfirm = false;
int answerBox(QDialog* d)
{
    ++boxShown;
    auto* box = static_cast<TInforFrm*>(d);
    if (tickAndConfirm) {
        box->chkSetBgInfo->setChecked(true);
        box->btnok->click();
    } else {
        box->btncancel->click();
    }
    return d->result();
}

} // namespace

class ComposeTest : public ComposerTest {
protected:
    void SetUp() override
    {
        ComposerTest::SetUp();
        writeBmp(QStringLiteral("source/DeskTopBG/A1.bmp"), Solid(1024, 768, Ground));
        LoadBackgroundList(false, FBackgroundName, FBackgroundIndex);
        monthPath = path(QStringLiteral("source/Month/202405.bmp"));
    }
    wallpaper::ComposeResult run(const QString& note)
    {
        return imgAppToDeskClick(note, monthPath, FBackgroundName, FBackgroundIndex);
    }
    QString monthPath;
};

TEST_F(ComposeTest, MonthPictureAndNoteSitUnderEachOtherAt50FromTheRightEdge)
{
    writeBmp(QStringLiteral("source/Month/202405.bmp"), Solid(350, 300, qRgb(0, 0, 200)));
    ASSERT_EQ(run(QStringLiteral("今天开会\r\n带上报告 and the slides")), wallpaper::ComposeResult::Applied);

    const QImage mix = MixPicFrm->imgmix;
    ASSERT_EQ(mix.size(), QSize(1024, 768));
    // The month picture: columns 624 .. 973, rows 30 .. 329, an even mix.
    EXPECT_EQ(mix.pixel(624, 30), qRgb(50, 50, 150));
    EXPECT_EQ(mix.pixel(973, 329), qRgb(50, 50, 150));
    EXPECT_EQ(mix.pixel(623, 30), Ground);
    EXPECT_EQ(mix.pixel(974, 329), Ground);
    EXPECT_EQ(mix.pixel(624, 29), Ground);
    // The note's letters: inside columns 644 .. 929 and rows 340 .. 719.
    const QRect below = changedArea(mix.copy(0, 330, 1024, 438));
    ASSERT_FALSE(below.isEmpty());
    EXPECT_GE(below.left(), 644);
    EXPECT_LE(below.right(), 929);
    EXPECT_GE(below.top(), 10);
    EXPECT_LE(below.bottom(), 389);
    EXPECT_EQ(PicPreviewFrm->imgPreview, mix);
    EXPECT_TRUE(MixPicFrm->img1.isNull() && MixPicFrm->img2.isNull());

    // The work files and the picture handed to the desktop.
    EXPECT_EQ(wallpaper::ReadPicture(pic(QStringLiteral("Content.bmp"))).size(), QSize(350, 400));
    EXPECT_TRUE(wallpaper::ReadWholeFile(pic(QStringLiteral("Mix.Jpg"))).startsWith("\xFF\xD8"));
    const QByteArray mixBmp = wallpaper::ReadWholeFile(pic(QStringLiteral("Mix.bmp")));
    EXPECT_EQ(mixBmp.at(28), 24);
    const QImage finished = wallpaper::ReadPicture(pic(QStringLiteral("Mix.bmp")));
    EXPECT_NEAR(qBlue(finished.pixel(800, 100)), 150, 4) << "the wallpaper is the JPEG's decoding";
    ASSERT_EQ(desktop.applied.size(), 1);
    EXPECT_EQ(desktop.applied.first(), pic(QStringLiteral("Mix.bmp"))) << "Mix.Bmp resolves to the file written";
}

TEST_F(ComposeTest, WithoutMonthPictureTheNoteImageAloneGoesAtRow30)
{
    ASSERT_EQ(run(QStringLiteral("一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十")),
              wallpaper::ComposeResult::Applied);
    const QRect area = changedArea(MixPicFrm->imgmix);
    ASSERT_FALSE(area.isEmpty());
    // Note image at columns 666 .. 973, rows 30 .. 429; text from 20, 10 of it,
    // wrapped between Chinese characters before x = 306.
    EXPECT_GE(area.left(), 686);
    EXPECT_LE(area.right(), 666 + 305);
    EXPECT_GE(area.top(), 40);
    EXPECT_GT(area.height(), 20) << "the long line wrapped";
    EXPECT_EQ(wallpaper::ReadPicture(pic(QStringLiteral("Content.bmp"))).size(), QSize(308, 400));
}

TEST_F(ComposeTest, BlankNoteChangesNothingButContentBmpIsWritten)
{
    writeBmp(QStringLiteral("source/Month/202405.bmp"), Solid(350, 300, qRgb(0, 0, 200)));
    ASSERT_EQ(run(QStringLiteral("  \r\n\t \n ")), wallpaper::ComposeResult::Applied);
    EXPECT_EQ(changedArea(MixPicFrm->imgmix), QRect(624, 30, 350, 300));
    const QImage content = wallpaper::ReadPicture(pic(QStringLiteral("Content.bmp")));
    EXPECT_EQ(content, Solid(350, 400, qRgb(255, 255, 255)));

    QFile::remove(monthPath);
    ASSERT_EQ(run(QString()), wallpaper::ComposeResult::Applied);
    EXPECT_TRUE(changedArea(MixPicFrm->imgmix).isEmpty()) << "an empty note's image mixes to nothing";
}

TEST_F(ComposeTest, NoteImagePastTheBottomFailsAndMixBmpKeepsTheFirstMix)
{
    writeBmp(QStringLiteral("source/Month/202405.bmp"), Solid(350, 400, qRgb(0, 0, 200)));
    const int index = FBackgroundIndex;
    try {
        run(QStringLiteral("note"));
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Scan line index out of range");
    }
    const QImage kept = wallpaper::ReadPicture(pic(QStringLiteral("Mix.bmp")));
    EXPECT_EQ(changedArea(kept), QRect(624, 30, 350, 400)) << "the month picture only, no note";
    EXPECT_FALSE(QFileInfo::exists(pic(QStringLiteral("Mix.Jpg"))));
    EXPECT_TRUE(desktop.applied.isEmpty());
    EXPECT_EQ(FBackgroundIndex, index);
}

TEST_F(ComposeTest, FailedJpegRoundTripIsSilentAndMixBmpHoldsTheComposition)
{
    writeBmp(QStringLiteral("source/Month/202405.bmp"), Solid(350, 300, qRgb(0, 0, 200)));
    // "Mix.Jpg" cannot be written: a folder of that name is in the way.
    ASSERT_TRUE(QDir().mkpath(pic(QStringLiteral("Mix.Jpg"))));
    const int index = FBackgroundIndex;
    EXPECT_EQ(run(QString()), wallpaper::ComposeResult::RoundTripFailed);
    // Without the JPEG's loss: the exact composition.
    const QImage kept = wallpaper::ReadPicture(pic(QStringLiteral("Mix.bmp")));
    EXPECT_EQ(kept.pixel(624, 30), qRgb(50, 50, 150));
    EXPECT_EQ(changedArea(kept), QRect(624, 30, 350, 300));
    EXPECT_TRUE(desktop.applied.isEmpty());
    EXPECT_EQ(FBackgroundIndex, index);
}

TEST_F(ComposeTest, UnreadablePicturesReachTheErrorReport)
{
    QFile f(pic(QStringLiteral("A1.bmp")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("BM broken");
    f.close();
    EXPECT_THROW(run(QStringLiteral("x")), std::runtime_error);
    EXPECT_TRUE(desktop.applied.isEmpty());
}

TEST_F(ComposeTest, DesktopFailuresStopSilentlyAndKeepTheIndex)
{
    writeList({QStringLiteral("A1.bmp"), QStringLiteral("A1.bmp"), QStringLiteral("A1.bmp")});
    LoadBackgroundList(false, FBackgroundName, FBackgroundIndex);
    desktop.fail = true;
    EXPECT_EQ(run(QString()), wallpaper::ComposeResult::ApplyFailed);
    EXPECT_EQ(FBackgroundIndex, 2);

    wallpaper::SetDesktopWallpaperForTesting(nullptr);
    qputenv("XDG_CURRENT_DESKTOP", "NoSuchDesktop");
    // A desktop without a backend: the first real look-up in this run.
    EXPECT_EQ(run(QString()), wallpaper::ComposeResult::ApplyFailed);
    EXPECT_EQ(FBackgroundIndex, 2);
}

TEST_F(ComposeTest, ConfirmationBoxAndItsFlagFile)
{
    AskBeforeApply = true;
    boxShown = 0;
    auto* previous = TInforFrm::ExecModal;
    TInforFrm::ExecModal = answerBox;

    tickAndConfirm = false;
    EXPECT_EQ(run(QString()), wallpaper::ComposeResult::Cancelled);
    EXPECT_EQ(boxShown, 1);
    EXPECT_TRUE(AskBeforeApply);
    EXPECT_FALSE(QFileInfo::exists(pic(QStringLiteral("Content.bmp"))));
    EXPECT_FALSE(QFileInfo::exists(ConfigSetBgPath));

    InforFrm->chkSetBgInfo->setChecked(false);
    tickAndConfirm = true;
    EXPECT_EQ(run(QString()), wallpaper::ComposeResult::Applied);
    EXPECT_FALSE(AskBeforeApply);
    EXPECT_EQ(wallpaper::ReadWholeFile(ConfigSetBgPath), QByteArray("0\r\n"));

    EXPECT_EQ(run(QString()), wallpaper::ComposeResult::Applied);
    EXPECT_EQ(boxShown, 2) << "no box once the user asked not to be asked";

    // The close button and Escape answer like cancel.
    ApplyConfirmed = true;
    InforFrm->btnClose->click();
    EXPECT_FALSE(ApplyConfirmed);
    ApplyConfirmed = true;
    InforFrm->reject();
    EXPECT_FALSE(ApplyConfirmed);
    TInforFrm::ExecModal = previous;
}

TEST_F(ComposeTest, ConfirmationBoxLayout)
{
    TInforFrm& box = *InforFrm;
    EXPECT_EQ(box.size(), QSize(344, 156));
    EXPECT_TRUE(box.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(box.lblInfo->text(), QStringLiteral("您确定要更换壁纸？"));
    EXPECT_EQ(box.lblInfo->pos(), QPoint(112, 40));
    EXPECT_EQ(box.chkSetBgInfo->text(), QStringLiteral("下次不再提示"));
    EXPECT_EQ(box.chkSetBgInfo->geometry(), QRect(120, 88, 97, 17));
    EXPECT_FALSE(box.chkSetBgInfo->isChecked());
    EXPECT_EQ(box.btnok->text(), QStringLiteral("确  定"));
    EXPECT_EQ(box.btnok->pos(), QPoint(176, 120));
    EXPECT_EQ(box.btncancel->text(), QStringLiteral("取  消"));
    EXPECT_EQ(box.btncancel->pos(), QPoint(256, 120));
    EXPECT_EQ(box.btnClose->geometry(), QRect(321, 1, 20, 18));
}

TEST_F(ComposeTest, ContentImageIsClippedToItsTextRectangle)
{
    QString many;
    for (int i = 0; i < 60; ++i)
        many += QStringLiteral("第%1行 averyveryveryveryveryveryveryverylongwordthatcannotwrapanywhere\r\n").arg(i);
    const QImage img = TDeskBGSetFrm::RenderContentImage(many, 500);
    ASSERT_EQ(img.size(), QSize(500, 400));
    QRect inked;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 500; ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                inked |= QRect(x, y, 1, 1);
    ASSERT_FALSE(inked.isEmpty());
    EXPECT_GE(inked.left(), 20);
    EXPECT_LE(inked.right(), 305);
    EXPECT_GE(inked.top(), 10);
    EXPECT_LE(inked.bottom(), 389);
    EXPECT_GT(inked.bottom(), 370) << "the text runs to the bottom and is cut there";
}
