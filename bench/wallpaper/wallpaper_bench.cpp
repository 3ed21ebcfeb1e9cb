// The whole compose-and-apply action (no confirmation box, a desktop that only
// records) against the bare JPEG encode and decode of the same picture.
#include "platform/program_dir.h"
#include "wallpaper/compose.h"
#include "wallpaper/composer_windows.h"
#include "wallpaper/desktop_wallpaper.h"
#include "wallpaper/global.h"
#include "wallpaper/image_io.h"

#include <QApplication>
#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

class NullDesktop : public wallpaper::DesktopWallpaper {
public:
    QString Name() const override { return QStringLiteral("null"); }
    void Apply(const QString&) override {}
};

QImage photo(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, QColor(0x1f, 0x3b, 0x5c));
    g.setColorAt(1, QColor(0xd9, 0xc8, 0xa0));
    p.fillRect(img.rect(), g);
    for (int i = 0; i < 200; ++i)
        p.fillRect(QRect((i * 7919) % w, (i * 104729) % h, 60, 40), QColor::fromHsv((i * 37) % 360, 120, 200));
    return img;
}

struct Program {
    QTemporaryDir dir;
    NullDesktop desktop;
    QString month;
    explicit Program(int w, int h)
    {
        QDir root(dir.path());
        root.mkpath(QStringLiteral("Data"));
        root.mkpath(QStringLiteral("source/DeskTopBG"));
        root.mkpath(QStringLiteral("source/Month"));
        platform::SetProgramDirOverride(dir.path());
        wallpaper::WriteBmp24(photo(w, h), dir.filePath(QStringLiteral("source/DeskTopBG/A1.bmp")));
        month = dir.filePath(QStringLiteral("source/Month/202405.bmp"));
        QImage m(350, 300, QImage::Format_RGB32);
        m.fill(Qt::white);
        QPainter(&m).fillRect(20, 20, 300, 260, QColor(200, 40, 40));
        wallpaper::WriteBmp24(m, month);
        wallpaper::EnsureComposerWindows();
        wallpaper::SetDesktopWallpaperForTesting(&desktop);
        AskBeforeApply = false;
    }
    ~Program()
    {
        wallpaper::SetDesktopWallpaperForTesting(nullptr);
        platform::SetProgramDirOverride({});
    }
};

const QString note = QStringLiteral("上午十点开会，带上季度报告。\r\nCall the printer about the order.\r\n晚上去机场接人。");

void BM_ComposeAndApply(benchmark::State& state)
{
    Program program(int(state.range(0)), int(state.range(1)));
    QString name;
    int index = 0;
    LoadBackgroundList(false, name, index);
    for (auto _ : state) {
        if (imgAppToDeskClick(note, program.month, name, index) != wallpaper::ComposeResult::Applied)
            state.SkipWithError("not applied");
    }
}

void BM_BareJpegRoundTrip(benchmark::State& state)
{
    const QImage img = photo(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        const QByteArray jpeg = wallpaper::EncodeJpeg(img, 90);
        const QImage back = wallpaper::DecodeJpeg(jpeg, QStringLiteral("bench"));
        benchmark::DoNotOptimize(back.constBits());
    }
}

// The two BMP files of the action that grow with the screen: reading the
// background and writing "Mix.bmp" (a temporary file renamed over the old one).
void BM_ReadBackgroundBmp(benchmark::State& state)
{
    Program program(int(state.range(0)), int(state.range(1)));
    const QString path = program.dir.filePath(QStringLiteral("source/DeskTopBG/A1.bmp"));
    for (auto _ : state)
        benchmark::DoNotOptimize(wallpaper::ReadPicture(path).constBits());
}

void BM_WriteMixBmp(benchmark::State& state)
{
    Program program(int(state.range(0)), int(state.range(1)));
    const QImage img = wallpaper::DecodeJpeg(wallpaper::EncodeJpeg(photo(int(state.range(0)), int(state.range(1))), 90),
                                             QStringLiteral("bench"));
    const QString path = program.dir.filePath(QStringLiteral("source/DeskTopBG/Mix.bmp"));
    for (auto _ : state)
        wallpaper::WriteBmp24(img, path);
}

} // namespace

BENCHMARK(BM_ReadBackgroundBmp)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteMixBmp)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeAndApply)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareJpegRoundTrip)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
