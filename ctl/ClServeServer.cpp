#include "ctl/ClServeServer.h"

#include "ctl/ClCtlSession.h"
#include "ctl/ClServeCamera.h"
#include "ctl/ClServeConnection.h"

#include <QEventLoop>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

ClServeServer::ClServeServer(const QByteArray& clToken, QObject* pclParent)
    : QObject(pclParent)
    , clToken(clToken)
    , clServer(this)
{
    connect(&clServer, &QTcpServer::newConnection, this, &ClServeServer::accept);
}

ClServeServer::~ClServeServer()
{
    // The connections go before the hub they tell that they have gone.
    qDeleteAll(findChildren<ClServeConnection*>(QString(), Qt::FindDirectChildrenOnly));
}

bool ClServeServer::listen(const QHostAddress& clAddress, quint16 iPort)
{
    return clServer.listen(clAddress, iPort);
}

QString ClServeServer::errorString() const
{
    return clServer.errorString();
}

QString ClServeServer::url() const
{
    const QHostAddress clAddress = clServer.serverAddress();
    const QString strHost = clAddress.protocol() == QAbstractSocket::IPv6Protocol
        ? QLatin1Char('[') + clAddress.toString() + QLatin1Char(']')
        : clAddress.toString();
    return QStringLiteral("http://%1:%2/").arg(strHost).arg(clServer.serverPort());
}

QString ClServeServer::serve(ClCtlSession& clSession, const std::function<bool()>& fnStop,
    const std::function<void(const QString& strMessage)>& fnMessage)
{
    clHub.setCamera(clSession.address());
    QThread clThread;
    clThread.setObjectName(QStringLiteral("camera"));
    auto* pclCamera = new ClServeCamera(clSession);
    pclCamera->moveToThread(&clThread);
    // Deleted in its own thread, where its network replies live, once that has finished.
    connect(&clThread, &QThread::finished, pclCamera, &QObject::deleteLater);
    connect(&clThread, &QThread::started, pclCamera, &ClServeCamera::slotStart);

    connect(&clHub, &ClServeHub::sigWanted, pclCamera, &ClServeCamera::slotSetWanted);
    connect(pclCamera, &ClServeCamera::sigFrame, &clHub, &ClServeHub::slotFrame);
    connect(pclCamera, &ClServeCamera::sigViewFinder, &clHub, &ClServeHub::slotViewFinder);
    connect(pclCamera, &ClServeCamera::sigState, &clHub,
        [this, fnMessage](bool bConnected, const QString& strError, int iRetryS) {
            clHub.slotCameraState(bConnected, strError);
            fnMessage(bConnected
                    ? QStringLiteral("the camera session is open again")
                    : QStringLiteral("%1; opening a new camera session in %2 s").arg(strError).arg(iRetryS));
        });

    QEventLoop clLoop;
    QString strStopError;
    connect(pclCamera, &ClServeCamera::sigStopped, &clLoop, [&](const QString& strError) {
        strStopError = strError;
        clLoop.quit();
    });
    QTimer clStopPoll;
    bool bStopAsked = false;
    connect(&clStopPoll, &QTimer::timeout, &clLoop, [&] {
        if (bStopAsked || !fnStop())
            return;
        bStopAsked = true;
        QMetaObject::invokeMethod(pclCamera, &ClServeCamera::slotStop, Qt::QueuedConnection);
    });
    clStopPoll.start(STOP_POLL_MS);

    clThread.start();
    clLoop.exec();
    clThread.quit();
    clThread.wait();
    return strStopError;
}

void ClServeServer::accept()
{
    while (QTcpSocket* pclSocket = clServer.nextPendingConnection()) {
        if (iOpen >= MAX_CONNECTIONS) {
            pclSocket->abort();
            pclSocket->deleteLater();
            continue;
        }
        ++iOpen;
        auto* pclConnection = new ClServeConnection(pclSocket, clHub, clToken, this);
        connect(pclConnection, &QObject::destroyed, this, [this] { --iOpen; });
    }
}
