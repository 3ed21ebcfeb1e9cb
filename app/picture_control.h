#pragma once
// A picture on a window: shows a pixmap at its own size or stretched over the
// control, reports clicks, presses and mouse moves, and never takes the focus.

#include <QPixmap>
#include <QWidget>

#include <functional>

class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent, const QString& name, const QString& resource = {});

    void SetPicture(const QPixmap& picture);
    const QPixmap& Picture() const { return FPicture; }
    void SetStretch(bool stretch);

    // Handlers of the owner; each runs only when set.
    std::function<void(QMouseEvent*)> OnMouseDown;
    std::function<void(QMouseEvent*)> OnMouseMove;
    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap FPicture;
    bool FStretch = false;
    bool FPressed = false;
};
