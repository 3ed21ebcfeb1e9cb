#pragma once
// A small HTTP server on 127.0.0.1 that answers every request with one page and
// records the paths it was asked for.

#include <QByteArray>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

class TinyHttpServer : public QObject {
public:
    TinyHttpServer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
            }
        });
    }

    bool ok() const { return server.isListening(); }
    quint16 port() const { return server.serverPort(); }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(port()); }

    QStringList paths;
    QByteArray page = "<!DOCTYPE html><html><body style='background:#fff'><a href='#x'>remote</a></body></html>";

private:
    void answer(QTcpSocket* s)
    {
        QByteArray& buf = pending[s];
        buf += s->readAll();
        if (!buf.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> requestLine = buf.left(buf.indexOf("\r\n")).split(' ');
        pending.remove(s);
        if (requestLine.size() >= 2)
            paths.append(QString::fromLatin1(requestLine.at(1)));
        const bool found = requestLine.size() >= 2 && requestLine.at(1) == "/rs/RiLi.htm";
        const QByteArray body = found ? page : QByteArray("not found");
        s->write((found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n")
                 + QByteArray("Content-Type: text/html; charset=utf-8\r\nConnection: close\r\nContent-Length: ")
                 + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        s->disconnectFromHost();
    }

    QTcpServer server;
    QHash<QTcpSocket*, QByteArray> pending;
};

// A port on 127.0.0.1 on which nothing listens.
inline quint16 ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

// A port on 127.0.0.1 whose queue of pending connections is full, so a further
// connection attempt is neither accepted nor refused: it hangs, like a server
// that does not answer.
class SilentServer {
public:
    SilentServer()
    {
        server.setListenBacklogSize(0);
        if (!server.listen(QHostAddress::LocalHost, 0))
            return;
        server.pauseAccepting();
        for (int i = 0; i < 8 && !hangs; ++i) {
            auto* s = new QTcpSocket(&owner);
            s->connectToHost(QHostAddress::LocalHost, server.serverPort());
            hangs = !s->waitForConnected(200);
        }
    }
    quint16 port() const { return server.serverPort(); }
    bool hangs = false; // the queue is full: the last attempt did not connect

private:
    QTcpServer server;
    QObject owner;
};
