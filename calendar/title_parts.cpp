#include "title_parts.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>

#include <algorithm>

namespace calendar {

namespace {
constexpr int RepeatDelayMs = 400;    // hold an arrow this long before it repeats
constexpr int RepeatIntervalMs = 80;
} // namespace

TTitleLabel::TTitleLabel(QWidget* parent)
    : QLabel(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setMargin(0);
    setIndent(0);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    resize(65, 17);
}

void TTitleLabel::SetCaption(const QString& caption)
{
    setText(caption);
    AutoSize();
}

void TTitleLabel::AutoSize()
{
    const QFontMetrics fm(font());
    resize(fm.horizontalAdvance(text()), fm.height());
}

QColor TTitleLabel::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TTitleLabel::SetFontColor(const QColor& color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

void TTitleLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        FPressed = true;
    QLabel::mousePressEvent(event);
}

void TTitleLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = FPressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        FPressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click && OnClick)
        OnClick(this);
}

void TTitleLabel::contextMenuEvent(QContextMenuEvent* event)
{
    if (!PopupMenu) {
        event->ignore();
        return;
    }
    PopupMenu->popup(event->globalPos());
    event->accept();
}

TUpDown::TUpDown(int min, int max, QWidget* parent)
    : QWidget(parent)
    , FMin(min)
    , FMax(std::max(min, max))
    , FPosition(min)
    , FRepeatTimer(new QTimer(this))
{
    setFocusPolicy(Qt::NoFocus);
    connect(FRepeatTimer, &QTimer::timeout, this, &TUpDown::Repeat);
    resize(sizeHint());
}

QSize TUpDown::sizeHint() const
{
    // As wide as a vertical scroll bar's arrow button, one and a half arrows high.
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return {extent, extent * 3 / 2};
}

void TUpDown::SetPosition(int value)
{
    const int v = std::clamp(value, FMin, FMax);
    if (v == FPosition)
        return;
    FPosition = v;
    update();
}

bool TUpDown::Step(TUDBtnType button)
{
    const int target = FPosition + (button == TUDBtnType::btNext ? 1 : -1);
    if (target < FMin || target > FMax)
        return false;
    FPosition = target;
    update();
    if (OnClick)
        OnClick(this, button);
    return true;
}

void TUpDown::Repeat()
{
    FRepeatTimer->setInterval(RepeatIntervalMs);
    if (FPressedButton >= 0)
        Step(FPressedButton == 0 ? TUDBtnType::btNext : TUDBtnType::btPrev);
}

void TUpDown::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    FPressedButton = event->position().y() < height() / 2.0 ? 0 : 1;
    update();
    FRepeatTimer->start(RepeatDelayMs);
    Step(FPressedButton == 0 ? TUDBtnType::btNext : TUDBtnType::btPrev);
}

void TUpDown::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    FRepeatTimer->stop();
    FPressedButton = -1;
    update();
}

void TUpDown::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int half = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halves[i];
        button.state |= (FPressedButton == i) ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &p, this);

        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(2, 1, -2, -1);
        const bool atEnd = i == 0 ? FPosition >= FMax : FPosition <= FMin;
        if (atEnd || !isEnabled())
            arrow.state &= ~QStyle::State_Enabled;
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                               &arrow, &p, this);
    }
}

} // namespace calendar
