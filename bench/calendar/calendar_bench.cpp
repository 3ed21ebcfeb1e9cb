// Cost of showing a month in the calendar at the main window's size (427 x 250),
// offscreen: the month fill with its base-image rebuild and grid repaint, and a
// full repaint of the control. Goal: well under 2 ms, so that holding an arrow
// key or an up-down arrow never lags.

#include "calendar/chn_calendar_picker.h"
#include "calendar/draw_grid.h"
#include "lunar/date_time.h"
#include "platform/fonts.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

double Day(int y, int m, int d)
{
    double v = 0;
    lunar::EncodeDate(y, m, d, v);
    return v;
}

QImage Picture()
{
    QImage img(400, 260, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, 260);
    g.setColorAt(0, QColor(0x4A, 0x90, 0xD9));
    g.setColorAt(1, QColor(0xF0, 0xE6, 0xC8));
    p.fillRect(img.rect(), g);
    return img;
}

// The calendar as the main window sets it up, shown offscreen.
std::unique_ptr<calendar::TChnCalendar> MakeCalendar()
{
    auto cal = std::make_unique<calendar::TChnCalendar>();
    cal->resize(427, 250);
    cal->show();
    // Painting only happens once the window is exposed.
    while (!cal->windowHandle() || !cal->windowHandle()->isExposed())
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    cal->SetShowFrame(false);
    cal->SetStretch(true);
    cal->SetTransparent(true);
    cal->SetBackGround(Picture());
    return cal;
}

// One month step: 31 record fills, base image with the picture blend, grid repaint.
void BM_MonthFill(benchmark::State& state)
{
    auto cal = MakeCalendar();
    const double dates[2] = {Day(2024, 1, 15), Day(2024, 2, 10)};
    int i = 0;
    for (auto _ : state) {
        cal->SetDateTime(dates[i]);
        i ^= 1;
    }
}
BENCHMARK(BM_MonthFill)->Unit(benchmark::kMicrosecond);

// The month fill followed by a full repaint of the control and all its parts.
void BM_MonthFillAndFullRepaint(benchmark::State& state)
{
    auto cal = MakeCalendar();
    const double dates[2] = {Day(2024, 1, 15), Day(2024, 2, 10)};
    int i = 0;
    for (auto _ : state) {
        cal->SetDateTime(dates[i]);
        cal->repaint();
        i ^= 1;
    }
}
BENCHMARK(BM_MonthFillAndFullRepaint)->Unit(benchmark::kMicrosecond);

// A repaint alone, as when the selection moves within a month.
void BM_FullRepaint(benchmark::State& state)
{
    auto cal = MakeCalendar();
    cal->SetDateTime(Day(2024, 2, 10));
    for (auto _ : state)
        cal->repaint();
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

// The parts of a month step on their own.
void BM_RebuildBackground(benchmark::State& state)
{
    auto cal = MakeCalendar();
    cal->SetDateTime(Day(2024, 2, 10));
    for (auto _ : state)
        cal->RebuildBackground();
}
BENCHMARK(BM_RebuildBackground)->Unit(benchmark::kMicrosecond);

void BM_GridRepaint(benchmark::State& state)
{
    auto cal = MakeCalendar();
    cal->SetDateTime(Day(2024, 2, 10));
    for (auto _ : state)
        cal->Grid()->Repaint();
}
BENCHMARK(BM_GridRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::InstallFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
