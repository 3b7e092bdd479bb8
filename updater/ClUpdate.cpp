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
#include <QSslError>
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
    setIgnoredSslErrors({ QSslError::SelfSignedCertificate, QSslError::HostNameMismatch,
        QSslError::SelfSignedCertificateInChain });

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

bool ClUpdate::writeDefaultNetworkFile(const QString& strPath)
{
    const QString strFolder = QFileInfo(strPath).absolutePath();
    if (!QDir(strFolder).exists())
        QDir().mkpath(strFolder);
    ClCreateXmlNetwork clWriter;
    if (!clWriter.writeNetwork(false, QString(), QString(), QString(), false, QString(), QString(),
            ClUpdateServer::url(), false))
        return false;
    return clWriter.save(strPath);
}

void ClUpdate::checkNetworkFile()
{
    if (!QFile::exists(strNetworkXmlPath))
        writeDefaultNetworkFile(strNetworkXmlPath);
    clNetworkSettings.parseFile(strNetworkXmlPath);
    // Only the built-in server is trusted as a source: any other one in the file is replaced.
    if (clNetworkSettings.sourceUrl().toString() != ClUpdateServer::url()) {
        writeDefaultNetworkFile(strNetworkXmlPath);
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
    for (int iIndex = 0; iIndex < pclDescription->itemCount(); ++iIndex) {
        const stFileEntry clEntry = pclDescription->item(iIndex);
        if (compareVersion(clEntry.strVersion, toolVersion()))
            clDownloadList.append({ clEntry.strFile, clEntry.strHash });
    }
    if (!clDownloadList.isEmpty())
        emit sigTotalCountProgress(clDownloadList.size());
    return true;
}

void ClUpdate::slotSuccess(QList<stDataInfo> clDataList)
{
    pclProgressDialog->close();
    slotCancel();

    if (clDataList.isEmpty()) {
        emit sigError(tr("The tool has the latest version."));
        return;
    }

    // Only the first file is the package to install; anything else is not ours to run.
    const stDataInfo& clPackage = clDataList.first();
    if (!ClPlatform::isInstallerPackage(lastPart(clPackage.strFileName)))
        return;

    if (!installPackage(clPackage)) {
        emit sigError(QObject::tr("Faield to update."));
        return;
    }
    // The installer replaces the running tool: leave it the field.
    QCoreApplication::exit(0);
}

bool ClUpdate::installPackage(const stDataInfo& clPackage)
{
    if (!isSafePackageName(clPackage.strFileName))
        return false;

    const QString strFolder = dataFolder();
    if (!QDir(strFolder).exists() && !QDir().mkpath(strFolder))
        return false;

    const QString strPath = strFolder + clPackage.strFileName;
    QFile clFile(strPath);
    if (!clFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool bWritten = clFile.write(clPackage.clData) == clPackage.clData.size();
    clFile.close();
    if (!bWritten || clFile.error() != QFileDevice::NoError)
        return false;

    return ClPlatform::startInstaller(QDir::toNativeSeparators(strPath));
}

void ClUpdate::slotError(QString)
{
    // The detail (an HTTP, SSL, size or time-out report) means nothing to the user.
    failCheck(QObject::tr("Failed to obtain update files. Check the network settings on your computer.\n"));
}

void ClUpdate::slotCancel()
{
    bBusy = false;
    ClDownload::slotCancel();
    emit sigError(QString());
}

void ClUpdate::failCheck(const QString& strText)
{
    bBusy = false;
    ClDownload::failCheck(strText);
}
