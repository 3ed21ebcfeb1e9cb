#pragma once
// The worker that decides, once per start of the program, what the web panel
// shows: the maker's page when the computer is online and the site answers,
// else the local page supplied with the program.

#include <QString>
#include <QThread>
#include <QUrl>

class NavigateThr : public QThread {
    Q_OBJECT
public:
    // remoteAddress: the full address of the remote page (may be empty: then the
    // check fails and the local page is chosen). localPage: the local file.
    NavigateThr(QString remoteAddress, QString localPage, QObject* parent = nullptr);

    // 0: online and the address's server accepts a connection; 1: online but the
    // connection fails; 2: the system reports no connection.
    int CheckOnline(const QString& address);

    // The work of the thread: checks, chooses and emits Navigate, or emits
    // nothing when neither page can be shown.
    void LoadWebPanel();

    // Timeout of the connection attempt in CheckOnline.
    int FCheckTimeoutMs = 3000;

signals:
    // Emitted on the worker thread; connect it queued to the browser, which
    // belongs to the GUI thread. The worker never touches the browser itself.
    void Navigate(const QUrl& url);

protected:
    void run() override;

private:
    QString FRemoteAddress;
    QString FLocalPage;
};
