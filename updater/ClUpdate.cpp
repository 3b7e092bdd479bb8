#include "updater/ClUpdate.h"

#include "config/kd4_config.h"
#include "platform/ClPlatform.h"
#include "updater/ClCreateXmlNetwork.h"
#include "updater/ClParseXmlUpdate.h"
#include "updater/ClProgressDialog.h"
#include "updater/ClUpdateServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QWidget>

namespace {

// The name's last part, whichever separator the name uses, so that a name that tries to leave our
// folder is recognised as a package (and refused) alike on every system.
QString lastPart(const QString& strName)
{
    const int iSeparator
        = qMax(strName.lastIndexOf(QLatin1Char('/')), strName.lastIndexOf(QLatin1Char('\\')));
    return strName.mid(iSeparator + 1);
}

} // namespace

bool ClUpdate::isSafePackageName(const QString& strName)
{
    // The name comes from the network: it must name a file directly inside our folder.
    if (strName.isEmpty() || strName == QLatin1String(".") || strName == QLatin1String(".."))
        return false;
    for (const QChar clChar : strName) {
        if (clChar == QLatin1Char('/') || clChar == QLatin1Char('\\') || clChar == QLatin1Char(':')
            || clChar.unicode() < 0x20)
            return false;
    }
    // Windows opens a device for these names, whatever the extension: writing "CON.msi" would
    // write to the console, "COM1.msi" to a serial port.
    static const QRegularExpression clDevice(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9]) *(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    return !clDevice.match(strName).hasMatch();
}

ClUpdate::ClUpdate(QWidget* pclParent)
    : ClDownload(nullptr)
{
    setProgressDialogMode(true);
    setParent(pclParent);

    useSystemProxy();

    pclProgressDialog->setWindowFlags(pclProgressDialog->windowFlags() | Qt::Dialog);
    pclProgressDialog->setModal(true);
    pclProgressDialog->setWindowTitle(QCoreApplication::applicationName());

    connect(this, &ClUpdate::sigTotalCountProgress, pclProgressDialog, &ClProgressDialog::slotTotalFiles);
    connect(this, &ClDownload::sigSuccess, this, &ClUpdate::slotSuccess);

    strNetworkXmlPath = dataFolder() + QStringLiteral("network.xml");
    checkNetworkFile();
}

ClUpdate::~ClUpdate() = default;

QString ClUpdate::toolVersion()
{
    return QLatin1String(Kd4Config::VERSION_TEXT);
}

QString ClUpdate::dataFolder()
{
    return ClPlatform::appDataFolder() + QLatin1Char('/') + QLatin1String(Kd4Config::SETTINGS_ORGANIZATION)
        + QLatin1Char('/') + QLatin1String(Kd4Config::SETTINGS_APPLICATION) + QLatin1Char('/');
}

bool ClUpdate::writeNetworkFile(const QString& strPath, const ClParseXmlNetwork* pclKeep)
{
    const QString strFolder = QFileInfo(strPath).absolutePath();
    if (!QDir(strFolder).exists())
        QDir().mkpath(strFolder);

    bool bProxyUse = false;
    QString strHost;
    QString strPort;
    QString strType;
    bool bAuthorizationUse = false;
    QString strUser;
    QString strPassword;
    if (pclKeep) {
        if (!pclKeep->proxyHost().isEmpty()) {
            strHost = pclKeep->proxyHost();
            strPort = QString::number(pclKeep->proxyPort());
            strType = ClCreateXmlNetwork::proxyTypeName(pclKeep->proxyType());
            // A type the file cannot name is not used, rather than written as another one.
            bProxyUse = pclKeep->isProxyUse() && !strType.isEmpty();
        }
        bAuthorizationUse = pclKeep->isAuthorizationUse();
        strUser = pclKeep->user();
        strPassword = pclKeep->password();
    }
    ClCreateXmlNetwork clWriter;
    if (!clWriter.writeNetwork(bProxyUse, strHost, strPort, strType, bAuthorizationUse, strUser, strPassword,
            ClUpdateServer::url(), false))
        return false;
    return clWriter.save(strPath);
}

void ClUpdate::checkNetworkFile()
{
    if (!QFile::exists(strNetworkXmlPath))
        writeNetworkFile(strNetworkXmlPath);
    // An older version wrote the file readable by everyone, and it may hold a proxy password.
    QFile::setPermissions(strNetworkXmlPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const bool bRead = clNetworkSettings.parseFile(strNetworkXmlPath);
    // Only the built-in server is trusted as a source: any other one in the file is replaced. The
    // way to it (the proxy and its login) is the user's and stays.
    if (!bRead || clNetworkSettings.sourceUrl().toString() != ClUpdateServer::url()) {
        writeNetworkFile(strNetworkXmlPath, bRead ? &clNetworkSettings : nullptr);
        clNetworkSettings.parseFile(strNetworkXmlPath);
    }
}

bool ClUpdate::requestUpdate(QStringList clArgs)
{
    clArgs << QStringLiteral("-app") << QCoreApplication::applicationName() << QStringLiteral("-nf")
           << strNetworkXmlPath;
    bBusy = start(clArgs);
    return bBusy;
}

bool ClUpdate::checkVersions()
{
    const ClParseXmlUpdate* pclDescription = newDescription();
    QString strFound;
    for (int iIndex = 0; iIndex < pclDescription->itemCount(); ++iIndex) {
        const stFileEntry clEntry = pclDescription->item(iIndex);
        if (!compareVersion(clEntry.strVersion, toolVersion()))
            continue;
        if (clDownloadList.isEmpty())
            strFound = clEntry.strVersion; // the first newer file is the one installed
        clDownloadList.append({ clEntry.strFile, clEntry.strHash });
    }
    if (clDownloadList.isEmpty())
        return true;

    // Nothing is downloaded, let alone handed to the installer, before the user agrees.
    if (fnConfirm) {
        const bool bAgreed = fnConfirm(
            QObject::tr("Version %1 is available (this is %2).\nDo you want to download and install it now?")
                .arg(strFound, toolVersion()));
        if (bStopped)
            return false; // the check ended while the user was asked
        if (!bAgreed) {
            slotCancel();
            return false;
        }
    }
    emit sigTotalCountProgress(clDownloadList.size());
    return true;
}

void ClUpdate::slotSuccess(QList<stDataInfo> clDataList)
{
    pclProgressDialog->close();
    ClDownload::slotCancel(); // the engine is done; the check may still go on with the installer

    if (clDataList.isEmpty()) {
        endCheck(QString()); // the check is over, as after a cancel; then what it found
        emit sigError(tr("The tool has the latest version."));
        return;
    }

    // Only the first file is the package to install; anything else is not ours to run.
    const stDataInfo& clPackage = clDataList.first();
    if (!ClPlatform::isInstallerPackage(lastPart(clPackage.strFileName))) {
        endCheck(QString());
        return;
    }

    const QString strPath = writePackage(clPackage);
    if (strPath.isEmpty()) {
        endCheck(QObject::tr("Faield to update."));
        return;
    }
    // Still busy until the installer has the package.
    handOver(QDir::toNativeSeparators(strPath));
}

QString ClUpdate::writePackage(const stDataInfo& clPackage)
{
    if (!isSafePackageName(clPackage.strFileName))
        return QString();

    const QString strFolder = dataFolder();
    if (!QDir(strFolder).exists() && !QDir().mkpath(strFolder))
        return QString();

    const QString strPath = strFolder + clPackage.strFileName;
    QFile clFile(strPath);
    if (!clFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    const bool bWritten = clFile.write(clPackage.clData) == clPackage.clData.size();
    clFile.close();
    if (!bWritten || clFile.error() != QFileDevice::NoError)
        return QString();
    return strPath;
}

void ClUpdate::handOver(const QString& strPath)
{
    ClPlatform::startInstaller(strPath, this, [this, strPath](bool bTaken) {
        if (!bTaken) {
            // The package stays where it is, for the user to open by hand.
            endCheck(QObject::tr("The installer could not open the downloaded package.\n"
                                 "It has been saved as:\n%1")
                         .arg(strPath));
            return;
        }
        endCheck(QString());
        // The installer replaces the running tool: leave it the field.
        QCoreApplication::exit(0);
    });
}

void ClUpdate::endCheck(const QString& strText)
{
    bBusy = false;
    emit sigError(strText);
}

void ClUpdate::slotError(QString)
{
    // The detail (an HTTP, SSL, size or time-out report) means nothing to the user.
    failCheck(QObject::tr("Failed to obtain update files. Check the network settings on your computer.\n"));
}

void ClUpdate::slotCancel()
{
    ClDownload::slotCancel();
    endCheck(QString());
}

void ClUpdate::failCheck(const QString& strText)
{
    bBusy = false;
    ClDownload::failCheck(strText);
}
