#include "app_event.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>

TAppEvent1::TAppEvent1(QWidget* webLink, QObject* parent)
    : QObject(parent), FWebLink(webLink), FPmEmpty(std::make_unique<QMenu>())
{
    setObjectName(QStringLiteral("AppEvent1"));
    FPmEmpty->setObjectName(QStringLiteral("pmEmpty"));
}

TAppEvent1::~TAppEvent1() = default;

bool TAppEvent1::eventFilter(QObject* watched, QEvent* event)
{
    return AppEvent1Message(watched, event);
}

bool TAppEvent1::insideWebLink(QObject* target) const
{
    if (!FWebLink || !target || !target->isWidgetType())
        return false;
    const auto* w = static_cast<QWidget*>(target);
    return w == FWebLink || FWebLink->isAncestorOf(w);
}

bool TAppEvent1::AppEvent1Message(QObject* target, QEvent* event)
{
    // The type test comes first: this runs for every event of the application.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        // A quick second right press arrives as a double click; it would open
        // the browser's menu just the same.
        if (static_cast<QMouseEvent*>(event)->button() != Qt::RightButton || !insideWebLink(target))
            return false;
        ++FSwallowed;
        // An empty menu shows nothing, and Qt would still open an empty frame
        // and grab the mouse: pop it up only once it has items.
        if (!FPmEmpty->isEmpty())
            FPmEmpty->popup(QCursor::pos());
        return true;
    }
    case QEvent::ContextMenu:
        // The widget system sends this after a right press; the browser would
        // answer it with its own menu. The keyboard's request passes.
        return static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse
            && insideWebLink(target);
    default:
        return false;
    }
}
