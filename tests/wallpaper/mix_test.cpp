// Mixing one picture into another: weights, placement, white key, roles, rows
// outside the destination and columns outside either picture.
#include "wallpaper/pic_mix.h"

#include <gtest/gtest.h>

#include <stdexcept>

using wallpaper::MixPicture;

namespace {

QImage solid(int w, int h, QRgb c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

struct WeightCase {
    const char* name;
    int source, destination, weight, expected;
};

class MixWeight : public ::testing::TestWithParam<WeightCase> {};

TEST_P(MixWeight, EachByteMovesTowardTheSourceByTheWeight)
{
    const WeightCase c = GetParam();
    // Blue 7 keeps a source of 255 from being pure white.
    QImage overlay = solid(10, 5, qRgb(c.source, c.source, 7));
    QImage base = solid(100, 20, qRgb(c.destination, c.destination, c.destination));
    const QImage& out = MixPicture(overlay, base, 2, c.weight);
    EXPECT_EQ(&out, &base);
    EXPECT_EQ(qRed(base.pixel(40, 2)), c.expected);
    EXPECT_EQ(qGreen(base.pixel(49, 6)), c.expected);
    EXPECT_EQ(qRed(base.pixel(39, 2)), c.destination);
    EXPECT_EQ(qRed(base.pixel(40, 7)), c.destination);
}

INSTANTIATE_TEST_SUITE_P(Weights, MixWeight,
                         ::testing::Values(WeightCase{"s255_over_d0_gives_127", 255, 0, 50, 127},
                                           WeightCase{"s0_over_d255_gives_128", 0, 255, 50, 128},
                                           WeightCase{"s11_over_d10_gives_10", 11, 10, 50, 10},
                                           WeightCase{"s10_over_d11_gives_11", 10, 11, 50, 11},
                                           WeightCase{"weight0_keeps_destination", 30, 200, 0, 200},
                                           WeightCase{"weight100_copies_source", 30, 200, 100, 30}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MixPicture, WorkedPlacementOnA1024By768Background)
{
    QImage month = solid(350, 300, qRgb(0, 0, 0));
    QImage background = solid(1024, 768, qRgb(200, 200, 200));
    QImage& out = MixPicture(month, background, 30, 50);
    ASSERT_EQ(&out, &background);
    EXPECT_EQ(out.format(), QImage::Format_RGB32);
    EXPECT_EQ(month.format(), QImage::Format_RGB32);
    // Columns 624 .. 973, rows 30 .. 329; one pixel further out is untouched.
    for (const QPoint p : {QPoint(624, 30), QPoint(973, 30), QPoint(624, 329), QPoint(973, 329)})
        EXPECT_EQ(qRed(out.pixel(p)), 100) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(623, 30), QPoint(974, 30), QPoint(624, 29), QPoint(624, 330)})
        EXPECT_EQ(qRed(out.pixel(p)), 200) << p.x() << "," << p.y();
}

TEST(MixPicture, PureWhiteIsTransparentWhateverTheFourthByte)
{
    QImage overlay = solid(60, 4, qRgb(255, 255, 255));
    // The pixel's unused byte differs, blue, green and red are white.
    reinterpret_cast<quint32*>(overlay.scanLine(0))[0] = 0x00FFFFFFu;
    // Blue 254, green 255, red 255 is not white.
    overlay.setPixel(1, 0, qRgb(255, 255, 254));
    QImage base = solid(200, 10, qRgb(0, 0, 0));
    const QImage before = base.copy();
    MixPicture(overlay, base, 0, 50);
    const int x0 = 200 - 60 - 50;
    EXPECT_EQ(base.pixel(x0, 0), before.pixel(x0, 0));
    EXPECT_EQ(base.pixel(x0 + 1, 0), qRgb(127, 127, 127));
    overlay.setPixel(1, 0, qRgb(255, 255, 255));
    QImage fresh = solid(200, 10, qRgb(0, 0, 0));
    MixPicture(overlay, fresh, 0, 50);
    EXPECT_EQ(fresh, solid(200, 10, qRgb(0, 0, 0))) << "an all-white source changes nothing";
}

TEST(MixPicture, EqualHeightsMixIntoTheFirstAtRowZero)
{
    QImage first = solid(300, 40, qRgb(0, 0, 0));
    QImage second = solid(100, 40, qRgb(200, 200, 200));
    QImage& out = MixPicture(first, second, 25, 50);
    ASSERT_EQ(&out, &first);
    // X0 = 300 - 100 - 50 = 150; the top row given is not used.
    EXPECT_EQ(qRed(first.pixel(150, 0)), 100);
    EXPECT_EQ(qRed(first.pixel(249, 39)), 100);
    EXPECT_EQ(qRed(first.pixel(149, 0)), 0);
    EXPECT_EQ(qRed(first.pixel(250, 0)), 0);
    EXPECT_EQ(second, solid(100, 40, qRgb(200, 200, 200)));
}

TEST(MixPicture, EmptySecondGivesBackTheFirstConverted)
{
    QImage first(20, 10, QImage::Format_RGB888);
    first.fill(Qt::red);
    QImage empty;
    QImage& out = MixPicture(first, empty, 30, 50);
    EXPECT_EQ(&out, &first);
    EXPECT_EQ(first.format(), QImage::Format_RGB32);
    EXPECT_EQ(first.pixel(0, 0), qRgb(255, 0, 0));
}

TEST(MixPicture, RowOutsideTheDestinationFailsAfterTheRowsBeforeIt)
{
    QImage overlay = solid(350, 300, qRgb(0, 0, 0));
    QImage base = solid(1024, 768, qRgb(200, 200, 200));
    try {
        MixPicture(overlay, base, 500, 50);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Scan line index out of range");
    }
    EXPECT_EQ(qRed(base.pixel(624, 499)), 200);
    EXPECT_EQ(qRed(base.pixel(624, 500)), 100);
    EXPECT_EQ(qRed(base.pixel(973, 767)), 100);

    QImage above = solid(1024, 768, qRgb(200, 200, 200));
    EXPECT_THROW(MixPicture(overlay, above, -1, 50), std::runtime_error);
    EXPECT_EQ(above, solid(1024, 768, qRgb(200, 200, 200))) << "row -1 fails before anything is mixed";
}

struct ClipCase {
    const char* name;
    QSize first, second;
};

class MixClip : public ::testing::TestWithParam<ClipCase> {};

// Widths that leave less than the 50-pixel margin, or a narrower destination:
// only columns that exist in both pictures are mixed.
TEST_P(MixClip, ColumnsStayInsideBothPictures)
{
    const ClipCase c = GetParam();
    QImage first = solid(c.first.width(), c.first.height(), qRgb(0, 0, 0));
    QImage second = solid(c.second.width(), c.second.height(), qRgb(200, 200, 200));
    const bool secondIsDestination = second.height() > first.height();
    QImage& out = MixPicture(first, second, 0, 50);
    const QImage& src = secondIsDestination ? first : second;
    const int wMin = std::min(first.width(), second.width());
    const int x0 = std::max(first.width(), second.width()) - wMin - 50;
    for (int x = 0; x < out.width(); ++x) {
        const int sx = x - x0;
        const bool mixed = sx >= 0 && sx < wMin && sx < src.width();
        const int expected = secondIsDestination ? (mixed ? 100 : 200) : (mixed ? 100 : 0);
        ASSERT_EQ(qRed(out.pixel(x, 0)), expected) << "column " << x;
    }
}

INSTANTIATE_TEST_SUITE_P(Clipping, MixClip,
                         ::testing::Values(ClipCase{"margin_wider_than_difference", {100, 10}, {120, 50}},
                                           ClipCase{"same_width", {80, 10}, {80, 50}},
                                           ClipCase{"narrower_destination", {300, 10}, {100, 50}},
                                           ClipCase{"first_is_narrow_destination", {60, 50}, {400, 50}},
                                           ClipCase{"tiny_destination", {3, 2}, {500, 2}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
