#include "web_panel.h"

#include "app_event.h"
#include "navigate_thr.h"

#include "platform/gbk_text.h"
#include "platform/program_dir.h"

#include <QApplication>
#include <QByteArrayList>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <QUrl>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <functional>

#include <unistd.h>

namespace {

// Adds the switches to QTWEBENGINE_CHROMIUM_FLAGS that are not in it yet.
void addChromiumFlags(const QByteArrayList& flags)
{
    QByteArray value = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const QByteArrayList present = value.simplified().split(' ');
    for (const QByteArray& flag : flags) {
        if (present.contains(flag))
            continue;
        if (!value.isEmpty())
            value += ' ';
        value += flag;
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", value);
}

} // namespace

void PrepareBrowserEnvironment()
{
    addChromiumFlags({"--disable-background-networking", "--disable-component-update",
                      "--disable-domain-reliability", "--no-pings"});
    if (geteuid() == 0) {
        if (!qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        addChromiumFlags({"--disable-gpu"});
    }
}

QWebEngineView* SetupWebLink(QWidget* pnlWeb)
{
    PrepareBrowserEnvironment();
    auto* webLink = new QWebEngineView(pnlWeb);
    webLink->setObjectName(QStringLiteral("webLink"));
    webLink->setGeometry(-11, -16, 2000, 841);
    // Showing the browser starts its engine, about 200 ms of work: it stays
    // hidden until StartNavigateThr needs it, after the window is on the screen.
    webLink->hide();
    auto* appEvent = new TAppEvent1(webLink, webLink);
    qApp->installEventFilter(appEvent);
    return webLink;
}

QString ReadSiteBase()
{
    const auto lines = platform::ReadGbkLines(platform::ResolvePath(QStringLiteral("data\\site.ini")));
    if (!lines || lines->isEmpty())
        return {};
    return lines->first().trimmed();
}

QString RemotePageAddress(const QString& base)
{
    QString text = base.trimmed();
    if (text.isEmpty())
        return {};
    if (!text.contains(u"://"))
        text.prepend(u"http://");
    while (text.endsWith(u'/'))
        text.chop(1);
    const QUrl baseUrl(text, QUrl::StrictMode);
    const QString scheme = baseUrl.scheme().toLower();
    if (!baseUrl.isValid() || baseUrl.host().isEmpty() || (scheme != u"http" && scheme != u"https")
        || baseUrl.hasQuery() || baseUrl.hasFragment())
        return {};
    QUrl page = baseUrl;
    page.setPath(baseUrl.path() + QString::fromUtf16(RemotePagePath));
    return page.toString();
}

QString LocalPagePath()
{
    return platform::ResolvePath(QStringLiteral("source\\Navigate\\default.htm"));
}

namespace {

// What StartNavigateThr does once the window is on the screen.
void chooseAndLoad(QWebEngineView* webLink)
{
    const QString remote = RemotePageAddress(ReadSiteBase());
    const QString local = LocalPagePath();
    if (!remote.isEmpty()) {
        // Started first, so the check runs while the browser engine starts below.
        auto* thread = new NavigateThr(remote, local);
        QObject::connect(thread, &NavigateThr::Navigate, webLink,
                         [webLink](const QUrl& url) { webLink->load(url); }, Qt::QueuedConnection);
        QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
        // A check still pending when the program ends is cut short, so the
        // thread never outlives the objects it uses.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, thread, [thread] {
            thread->requestInterruption();
            thread->wait();
        });
        thread->start();
        if (!thread->isRunning() && !thread->isFinished())
            delete thread; // the thread could not be made: the panel stays white
    }

    // A page that finishes loading must not take the keyboard from the note editor.
    webLink->settings()->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    webLink->show();
    if (remote.isEmpty() && QFileInfo(local).isFile())
        webLink->load(QUrl::fromLocalFile(local));
}

// Runs the work once the window that holds the widget has painted its first
// frame, or after a second at the latest (a window that starts hidden).
class AfterFirstFrame : public QObject {
public:
    AfterFirstFrame(QWidget* widget, std::function<void()> work)
        : QObject(widget), FWidget(widget), FWork(std::move(work))
    {
        QTimer::singleShot(1000, this, &AfterFirstFrame::run);
        QWindow* window = widget->window()->windowHandle();
        if (window && window->isExposed())
            QTimer::singleShot(0, this, &AfterFirstFrame::run);
        else
            widget->window()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Seen before the paint is done: run on the next turn of the loop.
        if (event->type() == QEvent::Paint && FWidget && watched == FWidget->window()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, &AfterFirstFrame::run);
        }
        return false;
    }

private:
    void run()
    {
        if (FDone)
            return;
        FDone = true;
        if (FWidget) {
            FWidget->window()->removeEventFilter(this);
            FWork();
        }
        deleteLater();
    }

    QPointer<QWidget> FWidget;
    std::function<void()> FWork;
    bool FDone = false;
};

} // namespace

void StartNavigateThr(QWebEngineView* webLink)
{
    // Once per start of the program: a second show of the window changes nothing.
    if (webLink->property("navigateStarted").toBool())
        return;
    webLink->setProperty("navigateStarted", true);
    new AfterFirstFrame(webLink, [webLink] { chooseAndLoad(webLink); });
}
