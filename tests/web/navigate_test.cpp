// The web panel's choice of page: the connection check, the page chosen for each
// outcome, the site address and the hand-over to the GUI thread. No browser here.

#include "http_server.h"
#include "web_fixture.h"

#include "app/web/navigate_thr.h"
#include "app/web/web_panel.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class NavigateTest : public QObject {
    Q_OBJECT
private slots:
    void checkOnline_data();
    void checkOnline();
    void loadWebPanel_data();
    void loadWebPanel();
    void workerHandsAddressToGuiThread();
    void systemStateFromWorker();
    void checkGivesUpAfterTimeout();
    void stopRequestEndsPendingCheck();
    void remotePageAddress_data();
    void remotePageAddress();
    void readSiteBase_data();
    void readSiteBase();
};

void NavigateTest::checkOnline_data()
{
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("address"); // "%server" and "%closed" stand for the test's ports
    QTest::addColumn<int>("expected");
    QTest::newRow("online, server answers") << true << "%server/rs/RiLi.htm" << 0;
    QTest::newRow("online, port closed") << true << "%closed/rs/RiLi.htm" << 1;
    QTest::newRow("no connection, server up") << false << "%server/rs/RiLi.htm" << 2;
    QTest::newRow("no connection, port closed") << false << "%closed/rs/RiLi.htm" << 2;
    QTest::newRow("online, address without host") << true << "http:///rs/RiLi.htm" << 1;
    QTest::newRow("online, not a web address") << true << "ftp://127.0.0.1/rs/RiLi.htm" << 1;
    QTest::newRow("online, empty address") << true << "" << 1;
}

void NavigateTest::checkOnline()
{
    QFETCH(bool, online);
    QFETCH(QString, address);
    QFETCH(int, expected);
    WebFixture fx;
    TinyHttpServer server;
    QVERIFY(server.ok());
    WebFixture::setOnline(online);
    address.replace(QStringLiteral("%server"), server.base());
    address.replace(QStringLiteral("%closed"), QStringLiteral("http://127.0.0.1:%1").arg(ClosedPort()));
    NavigateThr thr(address, fx.localPage());
    QCOMPARE(thr.CheckOnline(address), expected);
}

void NavigateTest::loadWebPanel_data()
{
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("server"); // "up", "closed" or "none" (no remote address)
    QTest::addColumn<bool>("localPage");
    QTest::addColumn<QString>("expected"); // "remote", "local" or "none"
    QTest::newRow("online, site answers") << true << "up" << true << "remote";
    QTest::newRow("online, site answers, no local page") << true << "up" << false << "remote";
    QTest::newRow("online, site unreachable") << true << "closed" << true << "local";
    QTest::newRow("online, site unreachable, no local page") << true << "closed" << false << "none";
    QTest::newRow("offline") << false << "up" << true << "local";
    QTest::newRow("offline, no local page") << false << "up" << false << "none";
    QTest::newRow("no remote address") << true << "none" << true << "local";
}

void NavigateTest::loadWebPanel()
{
    QFETCH(bool, online);
    QFETCH(QString, server);
    QFETCH(bool, localPage);
    QFETCH(QString, expected);
    WebFixture fx(localPage);
    QVERIFY(fx.ok);
    WebFixture::setOnline(online);
    TinyHttpServer http;
    QVERIFY(http.ok());
    QString remote;
    if (server == QStringLiteral("up"))
        remote = http.base() + QStringLiteral("/rs/RiLi.htm");
    else if (server == QStringLiteral("closed"))
        remote = QStringLiteral("http://127.0.0.1:%1/rs/RiLi.htm").arg(ClosedPort());

    NavigateThr thr(remote, fx.localPage());
    QSignalSpy spy(&thr, &NavigateThr::Navigate);
    thr.LoadWebPanel();
    if (expected == QStringLiteral("none")) {
        QCOMPARE(spy.count(), 0);
        return;
    }
    QCOMPARE(spy.count(), 1);
    const QUrl url = spy.at(0).at(0).toUrl();
    QCOMPARE(url, expected == QStringLiteral("remote") ? QUrl(remote) : QUrl::fromLocalFile(fx.localPage()));
}

// The check runs on the worker; the chosen address arrives on the GUI thread.
void NavigateTest::workerHandsAddressToGuiThread()
{
    WebFixture fx;
    TinyHttpServer http;
    const QString remote = http.base() + QStringLiteral("/rs/RiLi.htm");
    NavigateThr thr(remote, fx.localPage());
    QObject receiver;
    QUrl received;
    QThread* deliveredOn = nullptr;
    QThread* emittedOn = nullptr;
    QObject::connect(&thr, &NavigateThr::Navigate, &thr, [&](const QUrl&) { emittedOn = QThread::currentThread(); },
                     Qt::DirectConnection);
    QObject::connect(&thr, &NavigateThr::Navigate, &receiver, [&](const QUrl& url) {
        received = url;
        deliveredOn = QThread::currentThread();
    }, Qt::QueuedConnection);
    thr.start();
    QVERIFY(thr.wait(10000));
    QTRY_COMPARE(received, QUrl(remote));
    QCOMPARE(deliveredOn, QThread::currentThread());
    QCOMPARE(emittedOn, &thr);
}

// Without a replacement the state comes from the system; the first question
// may come from the worker thread, which loads the system's backend there.
void NavigateTest::systemStateFromWorker()
{
    platform::SetConnectionStateProviderForTesting({});
    bool fromWorker = false;
    std::unique_ptr<QThread> worker(QThread::create([&] { fromWorker = platform::IsConnected(); }));
    worker->start();
    QVERIFY(worker->wait(10000));
    QCOMPARE(platform::IsConnected(), fromWorker);
    QCOMPARE(platform::SystemConnectionState(), fromWorker);
}

void NavigateTest::checkGivesUpAfterTimeout()
{
    WebFixture fx;
    SilentServer silent;
    if (!silent.hangs)
        QSKIP("no connection attempt hangs on this machine");
    const QString address = QStringLiteral("http://127.0.0.1:%1/rs/RiLi.htm").arg(silent.port());
    NavigateThr thr(address, fx.localPage());
    thr.FCheckTimeoutMs = 300;
    QElapsedTimer t;
    t.start();
    QCOMPARE(thr.CheckOnline(address), 1);
    QVERIFY2(t.elapsed() >= 250 && t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
}

// The program may end while the check waits: a stop request cuts the wait short,
// so the application can wait for the thread before it goes away.
void NavigateTest::stopRequestEndsPendingCheck()
{
    WebFixture fx;
    SilentServer silent;
    if (!silent.hangs)
        QSKIP("no connection attempt hangs on this machine");
    NavigateThr thr(QStringLiteral("http://127.0.0.1:%1/rs/RiLi.htm").arg(silent.port()), fx.localPage());
    thr.FCheckTimeoutMs = 60000;
    thr.start();
    QTest::qWait(200);
    QVERIFY(thr.isRunning());
    QElapsedTimer t;
    t.start();
    thr.requestInterruption();
    QVERIFY(thr.wait(5000));
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
}

void NavigateTest::remotePageAddress_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("expected");
    QTest::newRow("host") << "http://www.dorvel.example" << "http://www.dorvel.example/rs/RiLi.htm";
    QTest::newRow("trailing slashes") << "http://www.dorvel.example//" << "http://www.dorvel.example/rs/RiLi.htm";
    QTest::newRow("https, port and folder") << "https://dorvel.example:8443/cal/" << "https://dorvel.example:8443/cal/rs/RiLi.htm";
    QTest::newRow("no scheme means http") << "www.dorvel.example" << "http://www.dorvel.example/rs/RiLi.htm";
    QTest::newRow("spaces around") << "  http://127.0.0.1:8080  " << "http://127.0.0.1:8080/rs/RiLi.htm";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("no host") << "http://" << "";
    QTest::newRow("other scheme") << "ftp://dorvel.example" << "";
    QTest::newRow("local file") << "file:///tmp" << "";
    QTest::newRow("query") << "http://dorvel.example/?a=1" << "";
    QTest::newRow("fragment") << "http://dorvel.example/#top" << "";
    QTest::newRow("space in host") << "http://dorvel example" << "";
}

void NavigateTest::remotePageAddress()
{
    QFETCH(QString, base);
    QFETCH(QString, expected);
    QCOMPARE(RemotePageAddress(base), expected);
}

void NavigateTest::readSiteBase_data()
{
    QTest::addColumn<QString>("file"); // relative to the program directory; empty: no file
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no file") << "" << QByteArray() << "";
    QTest::newRow("empty file") << "data/site.ini" << QByteArray() << "";
    QTest::newRow("empty first line") << "data/site.ini" << QByteArray("\r\nhttp://second.example\r\n") << "";
    QTest::newRow("first line of several, trimmed") << "data/site.ini"
                                                    << QByteArray(" http://dorvel.example \r\nignored\r\n")
                                                    << "http://dorvel.example";
    QTest::newRow("no line ending") << "data/site.ini" << QByteArray("http://dorvel.example") << "http://dorvel.example";
    QTest::newRow("other letter case") << "data/Site.INI" << QByteArray("http://dorvel.example\r\n") << "http://dorvel.example";
}

void NavigateTest::readSiteBase()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    WebFixture fx;
    if (!file.isEmpty()) {
        QFile f(fx.tmp.filePath(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QCOMPARE(ReadSiteBase(), expected);
}

QTEST_GUILESS_MAIN(NavigateTest)
#include "navigate_test.moc"
