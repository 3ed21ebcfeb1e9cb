#include "internet.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkInformation>
#include <QNetworkInterface>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <mutex>

namespace platform {

namespace {

std::mutex& providerMutex()
{
    static std::mutex m;
    return m;
}

std::function<bool()>& provider()
{
    static std::function<bool()> p;
    return p;
}

// Any interface that is up, running, not the loopback and carries an address
// other than a loopback or link-local one.
bool anyInterfaceUp()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        const auto flags = iface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning)
            || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const auto entries = iface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries) {
            const QHostAddress ip = entry.ip();
            if (!ip.isNull() && !ip.isLoopback() && !ip.isLinkLocal())
                return true;
        }
    }
    return false;
}

// Loads the system's connection-state backend once, from whichever thread asks
// first. False when no backend exists (no NetworkManager, no session).
bool networkInformationLoaded()
{
    static std::once_flag once;
    static bool loaded = false;
    std::call_once(once, [] {
        loaded = QNetworkInformation::instance() != nullptr
            || QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    });
    return loaded && QNetworkInformation::instance() != nullptr;
}

} // namespace

bool SystemConnectionState()
{
    if (networkInformationLoaded()) {
        switch (QNetworkInformation::instance()->reachability()) {
        case QNetworkInformation::Reachability::Disconnected:
            return false;
        case QNetworkInformation::Reachability::Local:
        case QNetworkInformation::Reachability::Site:
        case QNetworkInformation::Reachability::Online:
            return true;
        case QNetworkInformation::Reachability::Unknown:
            break; // the backend does not know: ask the interfaces
        }
    }
    return anyInterfaceUp();
}

bool IsConnected()
{
    std::function<bool()> p;
    {
        std::lock_guard lock(providerMutex());
        p = provider();
    }
    return p ? p() : SystemConnectionState();
}

void SetConnectionStateProviderForTesting(std::function<bool()> replacement)
{
    std::lock_guard lock(providerMutex());
    provider() = std::move(replacement);
}

bool CanConnect(const QString& address, int timeoutMs)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return false;
    const int port = url.port(scheme == u"https" ? 443 : 80);

    QTcpSocket socket;
    QEventLoop loop;
    bool connected = false;
    QObject::connect(&socket, &QTcpSocket::connected, &loop, [&] {
        connected = true;
        loop.quit();
    });
    QObject::connect(&socket, &QAbstractSocket::errorOccurred, &loop, &QEventLoop::quit);

    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    // The program may end while a check is pending: look for a stop request now and then.
    QTimer stopPoll;
    QObject::connect(&stopPoll, &QTimer::timeout, &loop, [&] {
        if (QThread::currentThread()->isInterruptionRequested())
            loop.quit();
    });

    socket.connectToHost(url.host(), static_cast<quint16>(port));
    // The connection may already be made or refused inside connectToHost.
    if (socket.state() == QAbstractSocket::ConnectedState)
        connected = true;
    else if (socket.state() != QAbstractSocket::UnconnectedState && !QThread::currentThread()->isInterruptionRequested()) {
        deadline.start(timeoutMs);
        stopPoll.start(50);
        loop.exec();
    }
    socket.abort();
    return connected;
}

} // namespace platform
