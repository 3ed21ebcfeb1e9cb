// The web panel with a real browser: its place in pnlWeb, the page it shows
// for each site setting, and the filter that swallows right clicks in it.

#include "http_server.h"
#include "web_fixture.h"

#include "app/web/app_event.h"
#include "app/web/web_panel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QWebEngineView>

#include <cstdio>
#include <memory>

namespace {

// pnlLeft with pnlWeb at 1, 1 and, beside it, an editor standing for the note editor.
struct Frame {
    Frame()
    {
        window.resize(760, 520);
        pnlLeft = new QWidget(&window);
        pnlLeft->setGeometry(4, 80, 302, 441);
        pnlWeb = new QWidget(pnlLeft);
        pnlWeb->setObjectName(QStringLiteral("pnlWeb"));
        pnlWeb->setGeometry(1, 1, 300, 250);
        editor = new QTextEdit(&window);
        editor->setGeometry(315, 80, 423, 381);
        webLink = SetupWebLink(pnlWeb);
        appEvent = webLink->findChild<TAppEvent1*>(QStringLiteral("AppEvent1"));
    }
    void show()
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    QWidget window;
    QWidget* pnlLeft = nullptr;
    QWidget* pnlWeb = nullptr;
    QTextEdit* editor = nullptr;
    QWebEngineView* webLink = nullptr;
    TAppEvent1* appEvent = nullptr;
};

bool WaitLoaded(QWebEngineView* view, QSignalSpy& spy)
{
    if (spy.isEmpty() && !spy.wait(20000))
        return false;
    return spy.constLast().at(0).toBool() && view->url().isValid();
}

} // namespace

class WebPanelTest : public QObject {
    Q_OBJECT
private slots:
    void placedInPanel();
    void showsPageForSite_data();
    void showsPageForSite();
    void missingLocalPageNavigatesNothing();
    void loadKeepsEditorFocus();
    void filterDecisions_data();
    void filterDecisions();
    void rightClickOpensNoBrowserMenu();
    void quitDuringCheckIsPrompt();
};

void WebPanelTest::placedInPanel()
{
    WebFixture fx;
    Frame f;
    f.show();
    // The browser engine starts only after the window is up.
    QVERIFY(!f.webLink->isVisible());
    StartNavigateThr(f.webLink);
    QTRY_VERIFY(f.webLink->isVisible());
    QCOMPARE(f.webLink->parentWidget(), f.pnlWeb);
    QCOMPARE(f.webLink->geometry(), QRect(-11, -16, 2000, 841));
    QCOMPARE(f.webLink->objectName(), QStringLiteral("webLink"));
    QVERIFY(f.appEvent);
    QVERIFY(f.appEvent->pmEmpty()->isEmpty());
    // Only the 300 x 250 window starting at (11, 16) of the browser shows.
    QWidget* surface = f.webLink->focusProxy(); // the browser's drawing surface fills it
    QVERIFY(surface);
    QCOMPARE(surface->size(), QSize(2000, 841));
    QCOMPARE(surface->visibleRegion(), QRegion(11, 16, 300, 250));
}

void WebPanelTest::showsPageForSite_data()
{
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("site"); // "%server" and "%closed" stand for the test's ports; empty: no file
    QTest::addColumn<QString>("expected"); // "remote" or "local"
    QTest::newRow("no site file: local page at once") << true << "" << "local";
    QTest::newRow("unusable site address") << true << "ftp://dorvel.example" << "local";
    QTest::newRow("site answers") << true << "%server" << "remote";
    QTest::newRow("site unreachable") << true << "%closed" << "local";
    QTest::newRow("offline") << false << "%server" << "local";
}

void WebPanelTest::showsPageForSite()
{
    QFETCH(bool, online);
    QFETCH(QString, site);
    QFETCH(QString, expected);
    WebFixture fx;
    QVERIFY(fx.ok);
    WebFixture::setOnline(online);
    TinyHttpServer server;
    QVERIFY(server.ok());
    if (!site.isEmpty()) {
        site.replace(QStringLiteral("%server"), server.base());
        site.replace(QStringLiteral("%closed"), QStringLiteral("http://127.0.0.1:%1").arg(ClosedPort()));
        QVERIFY(fx.writeSite(site));
    }
    Frame f;
    f.show();
    QSignalSpy loaded(f.webLink, &QWebEngineView::loadFinished);
    StartNavigateThr(f.webLink);
    QVERIFY(WaitLoaded(f.webLink, loaded));
    if (expected == QStringLiteral("remote")) {
        QCOMPARE(f.webLink->url(), QUrl(server.base() + QStringLiteral("/rs/RiLi.htm")));
        QCOMPARE(server.paths.value(0), QStringLiteral("/rs/RiLi.htm"));
    } else {
        QCOMPARE(f.webLink->url(), QUrl::fromLocalFile(fx.localPage()));
        QVERIFY(server.paths.isEmpty());
    }
}

void WebPanelTest::missingLocalPageNavigatesNothing()
{
    for (const bool withSite : {false, true}) {
        WebFixture fx(false);
        WebFixture::setOnline(false);
        if (withSite)
            QVERIFY(fx.writeSite(QStringLiteral("http://127.0.0.1:%1").arg(ClosedPort())));
        Frame f;
        f.show();
        QSignalSpy started(f.webLink, &QWebEngineView::loadStarted);
        StartNavigateThr(f.webLink);
        QTest::qWait(300);
        QCOMPARE(started.count(), 0);
        QVERIFY(f.webLink->url().isEmpty());
    }
}

// The note editor keeps the keyboard while the panel loads its page.
void WebPanelTest::loadKeepsEditorFocus()
{
    WebFixture fx;
    Frame f;
    f.show();
    f.window.activateWindow();
    f.editor->setFocus();
    QTRY_VERIFY(f.editor->hasFocus());
    QSignalSpy loaded(f.webLink, &QWebEngineView::loadFinished);
    StartNavigateThr(f.webLink);
    QVERIFY(WaitLoaded(f.webLink, loaded));
    QTest::qWait(100);
    QVERIFY(f.editor->hasFocus());
}

void WebPanelTest::filterDecisions_data()
{
    QTest::addColumn<QString>("target"); // "webLink", "inner" (the browser's own widget), "pnlWeb", "editor"
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("button"); // for mouse events; for context menus 0 mouse, 1 keyboard
    QTest::addColumn<bool>("swallowed");
    const int press = QEvent::MouseButtonPress, release = QEvent::MouseButtonRelease,
              dbl = QEvent::MouseButtonDblClick, menu = QEvent::ContextMenu;
    QTest::newRow("right press on webLink") << "webLink" << press << int(Qt::RightButton) << true;
    QTest::newRow("right press inside webLink") << "inner" << press << int(Qt::RightButton) << true;
    QTest::newRow("right release inside webLink") << "inner" << release << int(Qt::RightButton) << true;
    QTest::newRow("right double click inside webLink") << "inner" << dbl << int(Qt::RightButton) << true;
    QTest::newRow("left press inside webLink") << "inner" << press << int(Qt::LeftButton) << false;
    QTest::newRow("left release inside webLink") << "inner" << release << int(Qt::LeftButton) << false;
    QTest::newRow("middle press inside webLink") << "inner" << press << int(Qt::MiddleButton) << false;
    QTest::newRow("mouse context menu inside webLink") << "inner" << menu << 0 << true;
    QTest::newRow("keyboard context menu inside webLink") << "inner" << menu << 1 << false;
    QTest::newRow("right press on pnlWeb itself") << "pnlWeb" << press << int(Qt::RightButton) << false;
    QTest::newRow("right press in the editor") << "editor" << press << int(Qt::RightButton) << false;
    QTest::newRow("right release in the editor") << "editor" << release << int(Qt::RightButton) << false;
    QTest::newRow("mouse context menu in the editor") << "editor" << menu << 0 << false;
}

void WebPanelTest::filterDecisions()
{
    QFETCH(QString, target);
    QFETCH(int, type);
    QFETCH(int, button);
    QFETCH(bool, swallowed);
    WebFixture fx;
    Frame f;
    f.show();
    f.webLink->show(); // as StartNavigateThr does; the browser's own widget comes with its page
    f.webLink->page();
    QTRY_VERIFY(f.webLink->focusProxy());
    QWidget* inner = f.webLink->focusProxy();
    QVERIFY(inner != f.webLink && f.webLink->isAncestorOf(inner));
    QWidget* w = target == QStringLiteral("webLink") ? f.webLink
        : target == QStringLiteral("inner")          ? inner
        : target == QStringLiteral("pnlWeb")         ? f.pnlWeb
                                      : f.editor->viewport();

    std::unique_ptr<QEvent> event;
    const QPointF local(20, 20);
    if (type == QEvent::ContextMenu)
        event = std::make_unique<QContextMenuEvent>(button == 0 ? QContextMenuEvent::Mouse : QContextMenuEvent::Keyboard,
                                                    local.toPoint(), w->mapToGlobal(local.toPoint()));
    else
        event = std::make_unique<QMouseEvent>(QEvent::Type(type), local, w->mapToGlobal(local), Qt::MouseButton(button),
                                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButton(button),
                                              Qt::NoModifier);
    const int before = f.appEvent->FSwallowed;
    QCOMPARE(f.appEvent->AppEvent1Message(w, event.get()), swallowed);
    // Every swallowed button event counts; the context-menu event that follows does not.
    QCOMPARE(f.appEvent->FSwallowed - before, swallowed && type != QEvent::ContextMenu ? 1 : 0);
    QVERIFY(!f.appEvent->pmEmpty()->isVisible());
}

// Through the whole event path: without the filter a right click on the page
// makes the browser ask for its context menu; with it, it does not, while a
// left click still reaches the page and the editor still gets its menu.
void WebPanelTest::rightClickOpensNoBrowserMenu()
{
    WebFixture fx;
    TinyHttpServer server;
    // The whole page is one link, so a left click anywhere follows it.
    server.page = "<!DOCTYPE html><html><body style='margin:0'>"
                  "<a href='#clicked' style='display:block;width:100vw;height:100vh'>link</a></body></html>";
    QVERIFY(fx.writeSite(server.base()));
    Frame f;
    f.show();
    f.webLink->setContextMenuPolicy(Qt::CustomContextMenu);
    QSignalSpy browserMenu(f.webLink, &QWidget::customContextMenuRequested);
    QSignalSpy loaded(f.webLink, &QWebEngineView::loadFinished);
    StartNavigateThr(f.webLink);
    QVERIFY(WaitLoaded(f.webLink, loaded));
    QCOMPARE(f.webLink->url(), QUrl(server.base() + QStringLiteral("/rs/RiLi.htm")));
    QWidget* inner = f.webLink->focusProxy();
    const QPoint inPanel(11 + 150, 16 + 125); // middle of the visible window

    // The page takes input only once its first frame is up: click until it answers.
    qApp->removeEventFilter(f.appEvent);
    QDeadlineTimer patience(15000);
    while (browserMenu.isEmpty() && !patience.hasExpired()) {
        QTest::mouseClick(inner, Qt::RightButton, {}, inPanel);
        browserMenu.wait(300);
    }
    QVERIFY(!browserMenu.isEmpty());

    qApp->installEventFilter(f.appEvent);
    browserMenu.clear();
    QTest::mouseClick(inner, Qt::RightButton, {}, inPanel);
    QCOMPARE(f.appEvent->FSwallowed, 2);
    QTest::mouseDClick(inner, Qt::RightButton, {}, inPanel);
    QVERIFY(f.appEvent->FSwallowed > 2);
    // The widget system follows a right press with a context-menu event.
    QContextMenuEvent fromMouse(QContextMenuEvent::Mouse, inPanel, inner->mapToGlobal(inPanel));
    QApplication::sendEvent(inner, &fromMouse);
    QTest::qWait(1000);
    QCOMPARE(browserMenu.count(), 0);
    // No popup either: an empty one would be invisible yet eat the next click.
    QVERIFY(!f.appEvent->pmEmpty()->isVisible());
    QVERIFY(!QApplication::activePopupWidget());

    QTest::mouseClick(inner, Qt::LeftButton, {}, inPanel);
    QTRY_COMPARE_WITH_TIMEOUT(f.webLink->url().fragment(), QStringLiteral("clicked"), 10000);

    // The editor's own menu still opens (QTest delivers a click straight to the
    // widget, so the context-menu event is sent here as the widget system would).
    QTest::mouseClick(f.editor->viewport(), Qt::RightButton, {}, QPoint(30, 30));
    QContextMenuEvent inEditor(QContextMenuEvent::Mouse, QPoint(30, 30), f.editor->viewport()->mapToGlobal(QPoint(30, 30)));
    QApplication::sendEvent(f.editor->viewport(), &inEditor);
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    QApplication::activePopupWidget()->close();
}

// The program ends while the check still waits for a silent server: the thread
// is stopped and awaited at once, and the program ends cleanly. Run in a child
// process, since quitting ends the application.
void WebPanelTest::quitDuringCheckIsPrompt()
{
    SilentServer silent;
    if (!silent.hangs)
        QSKIP("no connection attempt hangs on this machine");
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WEB_PANEL_TEST_QUIT_PORT"), QString::number(silent.port()));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(30000));
    const QByteArray out = child.readAllStandardOutput();
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    const QList<QByteArray> words = out.trimmed().split(' ');
    QCOMPARE(words.value(0), QByteArray("quit-wait-ms"));
    // The check alone would hold the program for up to its 3 s timeout.
    QVERIFY2(words.value(1).toInt() < 1000, out.constData());
}

// The child of quitDuringCheckIsPrompt.
static int QuitDuringCheckChild(int argc, char** argv, quint16 port)
{
    QApplication app(argc, argv);
    WebFixture fx;
    if (!fx.writeSite(QStringLiteral("http://127.0.0.1:%1").arg(port)))
        return 2;
    Frame f;
    f.window.show();
    StartNavigateThr(f.webLink);
    // The thread is started just before the browser is shown.
    if (!QTest::qWaitFor([&] { return f.webLink->isVisible(); }, 10000))
        return 3;
    QElapsedTimer sinceQuit;
    // Connected after StartNavigateThr's own handler, so it runs after the wait.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&] {
        std::printf("quit-wait-ms %lld\n", static_cast<long long>(sinceQuit.elapsed()));
        std::fflush(stdout);
    });
    QTimer::singleShot(100, [&] {
        sinceQuit.start();
        QCoreApplication::quit();
    });
    return app.exec();
}

int main(int argc, char** argv)
{
    const QByteArray quitPort = qgetenv("WEB_PANEL_TEST_QUIT_PORT");
    if (!quitPort.isEmpty())
        return QuitDuringCheckChild(argc, argv, static_cast<quint16>(quitPort.toUInt()));
    QApplication app(argc, argv);
    WebPanelTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "web_panel_test.moc"
