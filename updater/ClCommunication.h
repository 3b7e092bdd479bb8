#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QObject>
#include <QSslError>
#include <QTimer>
#include <QUrl>

class QAuthenticator;
class QNetworkReply;

// One HTTP or HTTPS GET at a time for the download engine, with a proxy, an inactivity time-out
// and a size limit. An HTTPS server must show a certificate the system trusts, for its own name:
// every certificate error fails the transfer. Redirects are followed unless they lead from HTTPS
// to HTTP; a final answer other than 2xx is a failure.
class ClCommunication : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClCommunication)

public:
    static constexpr int DEFAULT_INACTIVITY_LIMIT_MS = 60000;
    static constexpr qint64 DEFAULT_SIZE_LIMIT = 256 * 1024 * 1024;

    explicit ClCommunication(QObject* pclParent = nullptr);
    ~ClCommunication() override;

    // Starts the transfer; one that is still running is stopped first. llMaxBytes, when not
    // negative, lowers the size limit for this transfer only.
    void get(const QUrl& clUrl, qint64 llMaxBytes = -1);
    // Used for the next transfers when the proxy names a host.
    void setProxy(const QNetworkProxy& clProxy);
    // Falls back to the application's proxy setting (no proxy of our own).
    void clearProxy();
    QNetworkProxy proxy() const { return clManager.proxy(); }
    // The bytes received so far by the current (or last) transfer.
    QByteArray data() const { return clBuffer; }
    void clearData() { clBuffer.clear(); }
    bool isRunning() const { return pclReply != nullptr; }

    // Longest silence of the server before the transfer is given up (60 s).
    void setInactivityLimit(int iMilliseconds) { iInactivityLimitMs = iMilliseconds; }
    int inactivityLimit() const { return iInactivityLimitMs; }
    // Largest body accepted (256 MiB): a server that sends more, or announces more, fails the
    // transfer instead of filling the memory.
    void setSizeLimit(qint64 llBytes) { llSizeLimit = llBytes; }
    qint64 sizeLimit() const { return llSizeLimit; }

signals:
    void sigFinished();
    // A failed transfer with a detail for the log; an empty text for the inactivity time-out.
    void sigError(QString strError);
    void sigProgress(qint64 llReceived, qint64 llTotal);

public slots:
    void slotStop();

private slots:
    void slotAuthentication(QNetworkReply* pclReply, QAuthenticator* pclAuthenticator);
    void slotProxyAuthentication(const QNetworkProxy& clProxy, QAuthenticator* pclAuthenticator);
    void slotReadyRead();
    void slotFinished();
    void slotTimeout();
    void requestSslError(const QList<QSslError>& sslErrorList);

private:
    bool isCurrent(QObject* pclSender) const;
    void dropReply();
    // True when the reply announces a body over the size limit, or when what it has ready would
    // take the body past it.
    bool exceedsSizeLimit(QNetworkReply* pclFrom) const;
    // Gives the current transfer up and reports it.
    void failTransfer(const QString& strDetail);

    QNetworkAccessManager clManager;
    QNetworkReply* pclReply = nullptr;
    QByteArray clBuffer;
    QTimer clTimer;
    int iInactivityLimitMs = DEFAULT_INACTIVITY_LIMIT_MS;
    qint64 llSizeLimit = DEFAULT_SIZE_LIMIT;
    // The limit of the transfer under way.
    qint64 llTransferLimit = DEFAULT_SIZE_LIMIT;
};
