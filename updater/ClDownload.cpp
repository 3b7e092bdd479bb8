#include "updater/ClDownload.h"

#include "updater/ClCommunication.h"
#include "updater/ClParseXmlNetwork.h"
#include "updater/ClParseXmlUpdate.h"
#include "updater/ClProgressDialog.h"

#include <QCryptographicHash>
#include <QFile>
#include <QNetworkProxyFactory>
#include <QNetworkProxyQuery>
#include <QUrl>

namespace {

// One dotted part as a number; text that is not a number counts as 0.
int versionPart(const QString& strPart)
{
    bool bOk = false;
    const int iValue = strPart.toInt(&bOk, 10);
    return bOk ? iValue : 0;
}

} // namespace

ClDownload::ClDownload(QObject* pclParent)
    : QObject(pclParent)
    , pclCommunication(new ClCommunication())
    , pclNetworkSettings(new ClParseXmlNetwork())
    , pclInstalledDescription(new ClParseXmlUpdate())
    , pclNewDescription(new ClParseXmlUpdate())
    , pclProgressDialog(new ClProgressDialog())
{
    qRegisterMetaType<stDataInfo>("stDataInfo");
    qRegisterMetaType<QList<stDataInfo>>("QList<stDataInfo>");

    connect(pclCommunication, &ClCommunication::sigFinished, this, &ClDownload::slotEndCommunication);
    connect(pclCommunication, &ClCommunication::sigError, this, &ClDownload::slotError);
}

ClDownload::~ClDownload()
{
    delete pclCommunication;
    delete pclNetworkSettings;
    delete pclInstalledDescription;
    delete pclNewDescription;
    delete pclProgressDialog;
}

bool ClDownload::start(const QStringList& clArgs)
{
    resetState();
    pclProgressDialog->resetView();
    bStopped = false;

    for (int iIndex = 0; iIndex + 1 < clArgs.size(); ++iIndex) {
        const QString& strSwitch = clArgs.at(iIndex);
        if (strSwitch == QLatin1String("-u"))
            strDescriptionPath = clArgs.at(++iIndex);
        else if (strSwitch == QLatin1String("-nf"))
            strNetworkFilePath = clArgs.at(++iIndex);
        else if (strSwitch == QLatin1String("-app"))
            strAppName = clArgs.at(++iIndex);
    }

    pclProgressDialog->slotTotalFiles(clDownloadList.size());

    const QString strUnreadable = QObject::tr(
        "Failed to read update files.\n If this error continues to occur, consult your dealer.");
    if (!pclNetworkSettings->parseFile(strNetworkFilePath)) {
        bStopped = true;
        emit sigError(strUnreadable);
        return false;
    }

    // The description's own folder on the server is where the files it names are found.
    const QString strDescriptionUrl = pclNetworkSettings->sourceUrl().toString() + strDescriptionPath;
    const int iSlash = strDescriptionUrl.lastIndexOf(QLatin1Char('/'));
    strBaseUrl = strDescriptionUrl.left(iSlash + 1);
    strCurrentFile = strDescriptionUrl.mid(iSlash + 1);
    strDescriptionFile = strCurrentFile;

    if (!strDescriptionFile.isEmpty() && QFile::exists(strDescriptionFile)
        && !pclInstalledDescription->parseFile(strDescriptionFile)) {
        bStopped = true;
        emit sigError(strUnreadable);
        return false;
    }

    restoreSystemProxy();
    if (pclNetworkSettings->isProxyUse())
        pclCommunication->setProxy(pclNetworkSettings->proxy());

    bFetchingDescription = true;
    pclCommunication->get(QUrl(strDescriptionUrl, QUrl::TolerantMode));
    return true;
}

void ClDownload::resetState()
{
    strBaseUrl.clear();
    strCurrentFile.clear();
    strDescriptionFile.clear();
    clDescription.clear();
    clDownloadList.clear();
    clResultList.clear();
    strDescriptionPath.clear();
    pclCommunication->clearData();
    lCurrentIndex = 0;
    bFetchingDescription = false;
    disconnectProgress();
}

void ClDownload::downloadFile(const QString& strName)
{
    // Every verified file stays in memory until the check ends: all of them together must fit
    // within what one transfer may take.
    qint64 llHeld = 0;
    for (const stDataInfo& clFile : qAsConst(clResultList))
        llHeld += clFile.clData.size();
    pclCommunication->get(QUrl(strBaseUrl + strName, QUrl::TolerantMode),
        qMax<qint64>(0, pclCommunication->sizeLimit() - llHeld));
}

bool ClDownload::checkVersions()
{
    // The engine itself wants nothing: a subclass decides which files to fetch.
    return true;
}

bool ClDownload::compareVersion(const QString& strA, const QString& strB)
{
    const QStringList clPartsA = strA.split(QLatin1Char('.'));
    const QStringList clPartsB = strB.split(QLatin1Char('.'));
    for (int iIndex = 0; iIndex < clPartsA.size() && iIndex < clPartsB.size(); ++iIndex) {
        const int iA = versionPart(clPartsA.at(iIndex));
        const int iB = versionPart(clPartsB.at(iIndex));
        if (iA < iB)
            return false;
        if (iA > iB)
            return true;
        const bool bMoreA = iIndex + 1 < clPartsA.size();
        const bool bMoreB = iIndex + 1 < clPartsB.size();
        if (bMoreA && !bMoreB)
            return true;
        if (!bMoreA)
            return false;
    }
    return false;
}

void ClDownload::finish()
{
    if (bProgressDialogMode) {
        pclProgressDialog->slotChangeView();
        pclProgressDialog->slotTotalFiles(clDownloadList.size());
    }
    bStopped = true;
    const QList<stDataInfo> clFiles = clResultList;
    clResultList.clear();
    emit sigSuccess(clFiles);
}

void ClDownload::useSystemProxy()
{
    const QList<QNetworkProxy> clProxies = QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery());
    if (clProxies.isEmpty())
        return;
    clSystemProxy = clProxies.first();
    pclCommunication->setProxy(clSystemProxy);
}

void ClDownload::slotEndCommunication()
{
    if (bStopped)
        return;
    const QByteArray clData = pclCommunication->data();
    pclCommunication->clearData();

    if (bFetchingDescription) {
        bFetchingDescription = false;
        clDescription = clData;
        // A description that cannot be read simply has no entries.
        pclNewDescription->parseData(clDescription);
        if (!checkVersions())
            return;
        connectProgress();
        if (clDownloadList.isEmpty()) {
            finish();
            return;
        }
        if (bProgressDialogMode)
            pclProgressDialog->show();
        lCurrentIndex = 0;
        strCurrentFile = clDownloadList.first().strFileName;
        downloadFile(strCurrentFile);
        return;
    }

    if (lCurrentIndex < 0 || lCurrentIndex >= clDownloadList.size())
        return;
    const QString strDigest
        = QString::fromLatin1(QCryptographicHash::hash(clData, QCryptographicHash::Md5).toHex());
    if (strDigest != clDownloadList.at(lCurrentIndex).strHash) {
        failCheck(QObject::tr("Faield to update."));
        return;
    }

    clResultList.append({ strCurrentFile, clData });
    if (bProgressDialogMode)
        pclProgressDialog->slotTotalProgress(lCurrentIndex + 1);
    else
        emit sigTotalProgress(lCurrentIndex + 1, clDownloadList.size());

    if (lCurrentIndex + 1 < clDownloadList.size()) {
        ++lCurrentIndex;
        strCurrentFile = clDownloadList.at(lCurrentIndex).strFileName;
        downloadFile(strCurrentFile);
    } else {
        finish();
    }
}

void ClDownload::slotError(QString strError)
{
    failCheck(strError);
}

void ClDownload::slotCancel()
{
    bStopped = true;
    pclCommunication->slotStop();
    resetState();
}

void ClDownload::failCheck(const QString& strText)
{
    if (bStopped)
        return; // a second report of the same failure
    bStopped = true;
    pclCommunication->slotStop();
    if (bProgressDialogMode)
        pclProgressDialog->close();
    resetState();
    emit sigError(strText);
}

void ClDownload::connectProgress()
{
    if (bProgressDialogMode) {
        connect(pclCommunication, &ClCommunication::sigProgress, pclProgressDialog,
            &ClProgressDialog::slotPartProgress, Qt::UniqueConnection);
        connect(pclProgressDialog, &ClProgressDialog::sigCancel, this, &ClDownload::slotCancel,
            Qt::UniqueConnection);
    } else {
        connect(pclCommunication, &ClCommunication::sigProgress, this, &ClDownload::sigPartProgress,
            Qt::UniqueConnection);
    }
}

void ClDownload::disconnectProgress()
{
    disconnect(pclCommunication, &ClCommunication::sigProgress, pclProgressDialog,
        &ClProgressDialog::slotPartProgress);
    disconnect(pclProgressDialog, &ClProgressDialog::sigCancel, this, &ClDownload::slotCancel);
    disconnect(pclCommunication, &ClCommunication::sigProgress, this, &ClDownload::sigPartProgress);
}

void ClDownload::restoreSystemProxy()
{
    if (clSystemProxy.hostName().isEmpty())
        pclCommunication->clearProxy();
    else
        pclCommunication->setProxy(clSystemProxy);
}
