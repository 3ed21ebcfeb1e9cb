#include "compose.h"

#include "composer_windows.h"
#include "global.h"
#include "image_io.h"

#include "platform/program_dir.h"

#include <QFileInfo>

#include <stdexcept>

namespace wallpaper {

void EnsureComposerWindows()
{
    if (!DeskBGSetFrm)
        DeskBGSetFrm = new TDeskBGSetFrm;
    if (!PicPreviewFrm)
        PicPreviewFrm = new TPicPreviewFrm;
    if (!PicSelFrm)
        PicSelFrm = new TPicSelFrm;
    if (!InforFrm)
        InforFrm = new TInforFrm;
    if (!MixPicFrm)
        MixPicFrm = new TMixPicFrm;
}

namespace {

// Blanks and control characters at both ends do not count as text.
bool hasVisibleText(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 0x20 && !c.isSpace())
            return true;
    return false;
}

} // namespace

} // namespace wallpaper

using namespace wallpaper;

ComposeResult imgAppToDeskClick(const QString& notePlainText, const QString& FMonthPicturePath, QString& FBackgroundName,
                                int& FBackgroundIndex, QWidget* mainWindow)
{
    Q_UNUSED(FBackgroundName);
    EnsureComposerWindows();
    TDeskBGSetFrm& set = *DeskBGSetFrm;
    TMixPicFrm& mix = *MixPicFrm;
    // The program directory is worked out afresh at each use.
    set.FPictureDir = PictureDir();

    // 1. Confirmation.
    if (AskBeforeApply) {
        InforFrm->ShowModal(mainWindow);
        if (!ApplyConfirmed)
            return ComposeResult::Cancelled;
    }

    // 2. Background.
    const int count = int(BackgroundList.size());
    if (FBackgroundIndex < 0 || FBackgroundIndex >= count)
        FBackgroundIndex = 0;
    const int i = FBackgroundIndex;
    set.FBackgroundPath = platform::ResolveIn(set.FPictureDir, BackgroundNameAt(i));
    if (!QFileInfo(set.FBackgroundPath).isFile()) {
        FBackgroundIndex = IndexAfterMissing(i, count);
        return ComposeResult::BackgroundMissing;
    }

    // 3. Composition. Failures here are not caught.
    const QString contentPath = platform::ResolveIn(set.FPictureDir, QStringLiteral("Content.bmp"));
    const QString mixBmpPath = platform::ResolveIn(set.FPictureDir, QStringLiteral("Mix.bmp"));
    QImage composition; // the finished picture; step 4 writes "Mix.bmp"
    if (!FMonthPicturePath.isEmpty() && QFileInfo(FMonthPicturePath).isFile()) {
        set.FOverlayPath = FMonthPicturePath;
        mix.img1 = ReadPicture(set.FOverlayPath);
        set.PrepareContent(notePlainText);
        set.DrawContentImage(mix.img1.width());
        mix.img2 = ReadPicture(set.FBackgroundPath);
        const int h = mix.img1.height();
        mix.imgmix = mix.MixPicture(mix.img1, mix.img2, 30, 50);
        mix.ClearSlotsClick();
        if (hasVisibleText(notePlainText)) {
            // The second mix starts from the first one in memory, which is what
            // "Mix.bmp" would hold. When the second mix cannot fail it works on
            // that picture in place; otherwise on a copy, and the first mix is
            // written before the error goes on, so "Mix.bmp" keeps it.
            set.FOverlayPath = contentPath;
            try {
                mix.img1 = ReadPicture(contentPath);
            } catch (...) {
                WriteBmp24(mix.imgmix, mixBmpPath);
                throw;
            }
            if (MixFits(mix.img1, mix.imgmix, h + 30)) {
                mix.img2 = std::move(mix.imgmix);
                mix.imgmix = mix.MixPicture(mix.img1, mix.img2, h + 30, 50);
            } else {
                try {
                    mix.img2 = mix.imgmix;
                    QImage& result = mix.MixPicture(mix.img1, mix.img2, h + 30, 50);
                    mix.imgmix = result;
                } catch (...) {
                    mix.ClearSlotsClick();
                    WriteBmp24(mix.imgmix, mixBmpPath);
                    throw;
                }
            }
            mix.ClearSlotsClick();
            PicPreviewFrm->imgPreview = mix.imgmix;
            composition = PicPreviewFrm->imgPreview;
        } else {
            composition = mix.imgmix;
        }
    } else {
        set.PrepareContent(notePlainText);
        set.DrawContentImage(308);
        set.FOverlayPath = contentPath;
        mix.img1 = ReadPicture(contentPath);
        mix.img2 = ReadPicture(set.FBackgroundPath);
        mix.imgmix = mix.MixPicture(mix.img1, mix.img2, 30, 50);
        mix.ClearSlotsClick();
        PicPreviewFrm->imgPreview = mix.imgmix;
        composition = PicPreviewFrm->imgPreview;
    }

    // 4. JPEG round trip; the wallpaper carries the JPEG's loss. The JPEG is
    // encoded in memory and decoded straight into "Mix.bmp", so that file is
    // written once, from the decoded picture, instead of as the composition
    // first and then again. The files end up as they would with both writes: a
    // failure of the round trip leaves the composition in "Mix.bmp" and is
    // silent, while a failure to write "Mix.bmp" is the composition's own and
    // goes on to the caller.
    const QString mixJpgPath = platform::ResolveIn(set.FPictureDir, QStringLiteral("Mix.Jpg"));
    const auto roundTripFailed = [&] {
        WriteBmp24(composition, mixBmpPath);
        return ComposeResult::RoundTripFailed;
    };
    QByteArray jpeg;
    try {
        jpeg = EncodeJpeg(composition, 90);
    } catch (const std::exception&) {
        return roundTripFailed();
    }
    try {
        DecodeJpegToBmp(jpeg, mixJpgPath, mixBmpPath);
    } catch (const JpegDecodeError&) {
        return roundTripFailed();
    }
    try {
        WriteWholeFile(mixJpgPath, jpeg);
    } catch (const std::exception&) {
        return roundTripFailed();
    }

    // 5. Apply. The name resolves to the "Mix.bmp" just written.
    try {
        set.ApplyWallpaper(platform::ResolveIn(set.FPictureDir, QStringLiteral("Mix.Bmp")));
    } catch (const std::exception&) {
        return ComposeResult::ApplyFailed;
    }
    FBackgroundIndex = IndexAfterApply(FBackgroundIndex, count);
    return ComposeResult::Applied;
}

void imgAddToDeskClick(QWidget* mainWindow, QString& FBackgroundName, int& FBackgroundIndex)
{
    EnsureComposerWindows();
    PicSelFrm->FCurrentName = FBackgroundName;
    CentreOn(PicSelFrm, mainWindow);
    TInforFrm::ExecModal(PicSelFrm);
    if (PicSelFrm->FCurrentName == FBackgroundName) {
        LoadBackgroundList(false, FBackgroundName, FBackgroundIndex);
    } else {
        FBackgroundName = PicSelFrm->FCurrentName;
        LoadBackgroundList(true, FBackgroundName, FBackgroundIndex);
    }
}
