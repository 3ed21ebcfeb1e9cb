#include "picture_control.h"

#include <QMouseEvent>
#include <QPainter>

TImage::TImage(QWidget* parent, const QString& name, const QString& resource) : QWidget(parent)
{
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    if (!resource.isEmpty())
        SetPicture(QPixmap(resource));
}

void TImage::SetPicture(const QPixmap& picture)
{
    FPicture = picture;
    update();
}

void TImage::SetStretch(bool stretch)
{
    if (FStretch == stretch)
        return;
    FStretch = stretch;
    update();
}

void TImage::paintEvent(QPaintEvent*)
{
    if (FPicture.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (FStretch)
        p.drawPixmap(rect(), FPicture);
    else
        p.drawPixmap(0, 0, FPicture);
}

void TImage::mousePressEvent(QMouseEvent* event)
{
    FPressed = event->button() == Qt::LeftButton;
    if (OnMouseDown)
        OnMouseDown(event);
}

void TImage::mouseMoveEvent(QMouseEvent* event)
{
    if (OnMouseMove)
        OnMouseMove(event);
}

void TImage::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a press and a release of the left button over the picture.
    const bool click = FPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    FPressed = false;
    if (click && OnClick)
        OnClick();
}
