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
// and a list of tolerated SSL error codes.
class ClCommunication : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClCommunication)

public:
    static constexpr int kDefaultInactivityLimitMs = 60000;

    explicit ClCommunication(QObject* pclParent = nullptr);
    ~ClCommunication() override;

    // Starts the transfer; one that is still running is stopped first.
    void get(const QUrl& clUrl);
    // Used for the next transfers when the proxy names a host.
    void setProxy(const QNetworkProxy& clProxy);
    // Falls back to the application's proxy setting (no proxy of our own).
    void clearProxy();
    QNetworkProxy proxy() const { return clManager.proxy(); }
    void setIgnoredSslErrors(const QList<int>& clCodes);
    QList<int> ignoredSslErrors() const { return clIgnoredSslErrors; }
    // The bytes received so far by the current (or last) transfer.
    QByteArray data() const { return clBuffer; }
    void clearData() { clBuffer.clear(); }
    bool isRunning() const { return pclReply != nullptr; }

    // Longest silence of the server before the transfer is given up (60 s).
    void setInactivityLimit(int iMilliseconds) { iInactivityLimitMs = iMilliseconds; }
    int inactivityLimit() const { return iInactivityLimitMs; }

signals:
    void sigFinished();
    // A failed transfer; an empty text for the inactivity time-out.
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

    QNetworkAccessManager clManager;
    QNetworkReply* pclReply = nullptr;
    QByteArray clBuffer;
    QTimer clTimer;
    QList<int> clIgnoredSslErrors;
    int iInactivityLimitMs = kDefaultInactivityLimitMs;
};
