#include "updater/ClCommunication.h"

#include <QAuthenticator>
#include <QLoggingCategory>
#include <QMetaType>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QStringList>

namespace {

// The update transfers for support: each URL and how it ended, shown with --debug. Only a refused
// certificate is reported without it (a warning), because the user reads no more than that the
// files could not be obtained.
Q_LOGGING_CATEGORY(lcUpdate, "kd4.update", QtInfoMsg)

} // namespace

ClCommunication::ClCommunication(QObject* pclParent)
    : QObject(pclParent)
{
    qRegisterMetaType<QNetworkReply*>("QNetworkReply*");
    qRegisterMetaType<QNetworkProxy>("QNetworkProxy");
    qRegisterMetaType<QList<QSslError>>("QList<QSslError>");

    // Not Qt's transfer limit (QNetworkRequest::setTransferTimeout): that one starts again at every
    // redirect, where this one counts from the request and the last data alone.
    clTimer.setSingleShot(true);
    connect(&clTimer, &QTimer::timeout, this, &ClCommunication::slotTimeout);
    connect(&clManager, &QNetworkAccessManager::authenticationRequired, this,
        &ClCommunication::slotAuthentication);
    connect(&clManager, &QNetworkAccessManager::proxyAuthenticationRequired, this,
        &ClCommunication::slotProxyAuthentication);
}

ClCommunication::~ClCommunication()
{
    dropReply();
}

void ClCommunication::get(const QUrl& clUrl, qint64 llMaxBytes)
{
    dropReply();
    clBuffer.clear();
    llTransferLimit = llMaxBytes < 0 ? llSizeLimit : qMin(llSizeLimit, llMaxBytes);

    QNetworkRequest clRequest(clUrl);
    if (clUrl.toString().toLower().startsWith(QLatin1String("https")))
        clRequest.setSslConfiguration(QSslConfiguration::defaultConfiguration());
    // Qt 5 does not follow redirects by itself; a moved file must not read as an empty answer.
    clRequest.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);

    qCDebug(lcUpdate).noquote() << "GET" << clUrl.toDisplayString(QUrl::RemoveUserInfo);
    pclReply = clManager.get(clRequest);
    connect(pclReply, &QNetworkReply::readyRead, this, &ClCommunication::slotReadyRead);
    connect(pclReply, &QNetworkReply::finished, this, &ClCommunication::slotFinished);
    connect(pclReply, &QNetworkReply::downloadProgress, this, &ClCommunication::sigProgress);
    connect(pclReply, &QNetworkReply::sslErrors, this, &ClCommunication::requestSslError);
    clTimer.start(iInactivityLimitMs);
}

void ClCommunication::setProxy(const QNetworkProxy& clProxy)
{
    if (!clProxy.hostName().isEmpty())
        clManager.setProxy(clProxy);
}

void ClCommunication::clearProxy()
{
    clManager.setProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
}

void ClCommunication::slotStop()
{
    clTimer.stop();
    dropReply();
}

void ClCommunication::slotAuthentication(QNetworkReply*, QAuthenticator*)
{
    // No credentials for servers: such a transfer ends with an error.
}

void ClCommunication::slotProxyAuthentication(const QNetworkProxy&, QAuthenticator*)
{
    // Only what the proxy object already carries is offered.
}

void ClCommunication::slotReadyRead()
{
    if (!isCurrent(sender()))
        return;
    clTimer.start(iInactivityLimitMs);
    if (pclReply->error() != QNetworkReply::NoError)
        return;
    if (exceedsSizeLimit(pclReply)) {
        failTransfer(QStringLiteral("The answer is larger than %1 bytes").arg(llTransferLimit));
        return;
    }
    clBuffer.append(pclReply->readAll());
}

void ClCommunication::slotFinished()
{
    if (!isCurrent(sender()))
        return; // a transfer that was stopped or replaced meanwhile
    clTimer.stop();
    QNetworkReply* pclDone = pclReply;
    pclReply = nullptr;
    pclDone->disconnect(this);
    pclDone->deleteLater();
    if (pclDone->error() != QNetworkReply::NoError) {
        qCDebug(lcUpdate).noquote() << "failed:" << pclDone->errorString();
        emit sigError(pclDone->errorString());
        return;
    }
    // A redirect that was not followed (no target, or from HTTPS to HTTP) ends here with its own
    // status and a body that is not the file.
    const QVariant clStatus = pclDone->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    qCDebug(lcUpdate).noquote() << "HTTP status" << clStatus.toInt() << "with"
                                << clBuffer.size() + pclDone->bytesAvailable() << "bytes";
    if (clStatus.isValid() && (clStatus.toInt() < 200 || clStatus.toInt() > 299)) {
        emit sigError(QStringLiteral("HTTP status %1").arg(clStatus.toInt()));
        return;
    }
    // Whatever arrived together with the end of the transfer.
    if (exceedsSizeLimit(pclDone)) {
        emit sigError(QStringLiteral("The answer is larger than %1 bytes").arg(llTransferLimit));
        return;
    }
    clBuffer.append(pclDone->readAll());
    emit sigFinished();
}

void ClCommunication::slotTimeout()
{
    // The transfer is given up for good, so that data arriving after the report cannot be taken
    // for the answer of whatever is requested next.
    dropReply();
    qCDebug(lcUpdate) << "no data for" << iInactivityLimitMs << "ms";
    emit sigError(QString());
}

void ClCommunication::requestSslError(const QList<QSslError>& sslErrorList)
{
    if (!isCurrent(sender()))
        return;
    // No certificate error is ignored: what this server sends goes to the installer.
    QStringList clWords;
    for (const QSslError& clError : sslErrorList)
        clWords.append(clError.errorString());
    qCWarning(lcUpdate).noquote() << "certificate of" << pclReply->url().toDisplayString(QUrl::RemoveUserInfo)
                                  << "refused:" << clWords.join(QStringLiteral("; "));
    failTransfer(QStringLiteral("SSL Errors: ") + clWords.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

bool ClCommunication::exceedsSizeLimit(QNetworkReply* pclFrom) const
{
    // An announced length counts before its bytes arrive, so a huge file is refused at once.
    const QVariant clLength = pclFrom->header(QNetworkRequest::ContentLengthHeader);
    if (clLength.isValid() && clLength.toLongLong() > llTransferLimit)
        return true;
    return clBuffer.size() + pclFrom->bytesAvailable() > llTransferLimit;
}

void ClCommunication::failTransfer(const QString& strDetail)
{
    qCDebug(lcUpdate).noquote() << "failed:" << strDetail;
    clTimer.stop();
    dropReply();
    emit sigError(strDetail);
}

bool ClCommunication::isCurrent(QObject* pclSender) const
{
    return pclReply && pclSender == pclReply;
}

void ClCommunication::dropReply()
{
    if (!pclReply)
        return;
    QNetworkReply* pclOld = pclReply;
    pclReply = nullptr;
    // Disconnected first: abort() reports finished() at once, and that is not an outcome.
    pclOld->disconnect(this);
    pclOld->abort();
    pclOld->deleteLater();
}
