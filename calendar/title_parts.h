#pragma once
// The two small controls of the calendar's title strip: a transparent text label
// sized to its text that reports left clicks and opens a popup menu on request,
// and a vertical up-down control (two arrow buttons, no buddy) that steps an
// integer position within a range.

#include <QLabel>
#include <QWidget>

#include <functional>

class QMenu;
class QTimer;

namespace calendar {

class TTitleLabel : public QLabel {
    Q_OBJECT
public:
    explicit TTitleLabel(QWidget* parent = nullptr);

    // Sets the text and sizes the label to it.
    void SetCaption(const QString& text);
    // Sizes the label to its text in its current font.
    void AutoSize();

    QColor FontColor() const;
    void SetFontColor(const QColor& color);

    QMenu* PopupMenu = nullptr;                 // opened on a context-menu request
    std::function<void(QObject* Sender)> OnClick; // left button pressed and released on the label

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool FPressed = false;
};

enum class TUDBtnType { btNext, btPrev };

class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(int min, int max, QWidget* parent = nullptr);

    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    // Sets the position (limited to the range) without reporting a click.
    void SetPosition(int value);

    // One step as the arrow buttons make it: moves and raises OnClick, or, at
    // the end of the range, does neither. Returns whether it moved.
    bool Step(TUDBtnType button);

    // Raised after the position has changed by one step of an arrow button.
    std::function<void(QObject* Sender, TUDBtnType Button)> OnClick;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Repeat();

    int FMin;
    int FMax;
    int FPosition;
    int FPressedButton = -1; // -1 none, 0 upper (next), 1 lower (previous)
    QTimer* FRepeatTimer;
};

} // namespace calendar
