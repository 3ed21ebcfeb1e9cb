#pragma once
// Lays a smaller picture over a larger one at a fixed weight: against the right
// edge of the wider picture less a margin of 50 pixels, from a given row down,
// with pure white in the smaller picture left out.

#include <QImage>
#include <QWidget>

namespace wallpaper {

// Converts both pictures to 32 bits per pixel in place, then mixes the shorter
// one (the source) into the taller one (the destination); with equal heights
// the first picture is the destination and the top row is not used. Returns
// the destination. Each byte becomes d + trunc((s - d) * weight / 100); source
// pixels whose blue, green and red are all 255 are skipped. Columns are clipped
// to both pictures. A destination row outside the picture throws
// std::runtime_error("Scan line index out of range"); the rows before it stay
// mixed.
QImage& MixPicture(QImage& first, QImage& second, int topRow, int weight);

// Whether MixPicture with these pictures and top row reaches no row outside the
// destination.
bool MixFits(const QImage& first, const QImage& second, int topRow);

} // namespace wallpaper

// The composition workbench: the overlay, the base and the last result. Created
// hidden at start-up and never shown.
class TMixPicFrm : public QWidget {
    Q_OBJECT
public:
    explicit TMixPicFrm(QWidget* parent = nullptr);

    QImage& MixPicture(QImage& first, QImage& second, int topRow, int weight)
    {
        return wallpaper::MixPicture(first, second, topRow, weight);
    }
    // Empties the overlay and base slots.
    void ClearSlotsClick();

    QImage img1;   // the overlay
    QImage img2;   // the base
    QImage imgmix; // the last result
};

extern TMixPicFrm* MixPicFrm;
