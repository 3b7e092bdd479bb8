#include "tests/updater/UpdaterTestSupport.h"

#include "tests/support/WidgetSupport.h"
#include "updater/ClUpdate.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace UpdaterTest {

void isolate()
{
    static QTemporaryDir clHome;
    qputenv("HOME", QFile::encodeName(clHome.path()));
    for (const char* pszName : { "http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy",
             "ALL_PROXY", "no_proxy", "NO_PROXY" })
        qunsetenv(pszName);
    Kd4Test::isolatePreferences();
    QCoreApplication::setOrganizationName(QStringLiteral("Tavik"));
    QCoreApplication::setApplicationName(QStringLiteral("VexaAPPforPC"));
    QCoreApplication::setApplicationVersion(QStringLiteral("01.00.005"));
    QApplication::setQuitOnLastWindowClosed(false);
}

void clearDataFolder()
{
    QDir(ClUpdate::dataFolder()).removeRecursively();
}

QString md5Hex(const QByteArray& clData)
{
    return QString::fromLatin1(QCryptographicHash::hash(clData, QCryptographicHash::Md5).toHex());
}

QByteArray description(const QList<stEntry>& clEntries)
{
    QByteArray clText = "<update>\n <own>\n";
    for (const stEntry& clEntry : clEntries) {
        clText += QStringLiteral("  <%1 version=\"%2\" hash=\"%3\">%4</%1>\n")
                      .arg(clEntry.strTag, clEntry.strVersion, clEntry.strHash, clEntry.strFile)
                      .toUtf8();
    }
    clText += " </own>\n</update>\n";
    return clText;
}

QByteArray defaultNetworkXml(const QString& strSourceUrl)
{
    return "<settings>\n"
           " <proxysetting>\n"
           "  <use>false</use>\n"
           "  <authorization>\n"
           "   <use>false</use>\n"
           "  </authorization>\n"
           " </proxysetting>\n"
           " <sourceurl>"
        + strSourceUrl.toUtf8()
        + "</sourceurl>\n"
          " <autoupdate>false</autoupdate>\n"
          "</settings>\n";
}

QByteArray readFile(const QString& strPath)
{
    QFile clFile(strPath);
    if (!clFile.open(QIODevice::ReadOnly))
        return QByteArray();
    return clFile.readAll();
}

bool isOwnerOnly(const QString& strPath)
{
    const QFileDevice::Permissions clOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup
        | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    const QFileDevice::Permissions clMode = QFile::permissions(strPath);
    return QFile::exists(strPath) && (clMode & clOthers) == 0 && clMode.testFlag(QFileDevice::ReadOwner)
        && clMode.testFlag(QFileDevice::WriteOwner) && !clMode.testFlag(QFileDevice::ExeOwner);
}

bool writeFile(const QString& strPath, const QByteArray& clData)
{
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QFile clFile(strPath);
    return clFile.open(QIODevice::WriteOnly | QIODevice::Truncate) && clFile.write(clData) == clData.size();
}

} // namespace UpdaterTest
