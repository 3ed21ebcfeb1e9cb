#include "navigate_thr.h"

#include "platform/internet.h"

#include <QFileInfo>

NavigateThr::NavigateThr(QString remoteAddress, QString localPage, QObject* parent)
    : QThread(parent), FRemoteAddress(std::move(remoteAddress)), FLocalPage(std::move(localPage))
{
}

void NavigateThr::run()
{
    LoadWebPanel();
}

int NavigateThr::CheckOnline(const QString& address)
{
    if (!platform::IsConnected())
        return 2;
    return platform::CanConnect(address, FCheckTimeoutMs) ? 0 : 1;
}

void NavigateThr::LoadWebPanel()
{
    if (CheckOnline(FRemoteAddress) == 0) {
        QThread::msleep(100);
        if (!QThread::currentThread()->isInterruptionRequested())
            emit Navigate(QUrl(FRemoteAddress));
        return;
    }
    if (QFileInfo(FLocalPage).isFile())
        emit Navigate(QUrl::fromLocalFile(FLocalPage));
    // Otherwise nothing: the panel stays white.
}
