#pragma once

#include "ctl/ClServeHub.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>

#include <functional>

class ClCtlSession;

// kd4ctl serve: the HTTP side in the thread that creates it, the camera (ClServeCamera) on a
// thread of its own, and between them the hub. Each client gets a ClServeConnection of its own; at
// most MAX_CONNECTIONS are open at once and a client beyond them is closed at once, so that no
// number of clients makes the server grow without bound.
class ClServeServer : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClServeServer)

public:
    static constexpr int MAX_CONNECTIONS = 64;
    // How often serve() asks whether to stop.
    static constexpr int STOP_POLL_MS = 100;

    // An empty token lets every request in.
    explicit ClServeServer(const QByteArray& clToken, QObject* pclParent = nullptr);
    ~ClServeServer() override;

    // Port 0 takes a free one; false with errorString() when the address cannot be used.
    bool listen(const QHostAddress& clAddress, quint16 iPort);
    QString errorString() const;
    // "http://ADDR:PORT/" once listening.
    QString url() const;

    // Serves the camera of the open session until fnStop() says so, then stops the view finder
    // if it runs (the session stays open). fnMessage gets what the camera side has to say, one line
    // each. Returns why the view finder could not be stopped, else an empty text.
    QString serve(ClCtlSession& clSession, const std::function<bool()>& fnStop,
        const std::function<void(const QString& strMessage)>& fnMessage);

private:
    void accept();

    QByteArray clToken;
    ClServeHub clHub;
    QTcpServer clServer;
    int iOpen = 0;
};
