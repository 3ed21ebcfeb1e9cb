#pragma once
// AppEvent1: the application-wide event filter that keeps a right click in the
// web panel from opening the browser's own context menu.

#include <QObject>
#include <QPointer>
#include <memory>

class QEvent;
class QMenu;
class QWidget;

class TAppEvent1 : public QObject {
    Q_OBJECT
public:
    // webLink: the browser whose right clicks are swallowed. Install the object
    // with qApp->installEventFilter.
    explicit TAppEvent1(QWidget* webLink, QObject* parent = nullptr);
    ~TAppEvent1() override;

    // Sees every event before it is delivered; true marks it handled, which
    // stops its delivery. Right-button presses, releases and double clicks aimed
    // at webLink or any widget inside it are swallowed and pop up pmEmpty at the
    // cursor; so is the context-menu event a right click produces. Everything
    // else passes, the context-menu key included.
    bool AppEvent1Message(QObject* target, QEvent* event);

    // The empty menu popped up in place of the browser's.
    QMenu* pmEmpty() const { return FPmEmpty.get(); }

    // Right clicks swallowed so far.
    int FSwallowed = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool insideWebLink(QObject* target) const;

    QPointer<QWidget> FWebLink;
    // Not a child of webLink, so events aimed at the menu are never taken for
    // events inside the panel.
    std::unique_ptr<QMenu> FPmEmpty;
};
