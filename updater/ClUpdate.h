#pragma once

#include "updater/ClDownload.h"
#include "updater/ClParseXmlNetwork.h"

#include <QString>

class QWidget;

// The update controller: keeps the network settings file in order, checks the update server for
// a tool newer than the running one, and installs a downloaded package: the package is written
// to the application-data folder, the system installer is started on it and the tool ends.
// Every outcome for the user goes out through sigError (an empty text: nothing to show).
class ClUpdate : public ClDownload
{
    Q_OBJECT
    Q_DISABLE_COPY(ClUpdate)

public:
    explicit ClUpdate(QWidget* pclParent = nullptr);
    ~ClUpdate() override;

    // The running tool's version.
    static QString toolVersion();
    // The folder that holds "network.xml" and the downloaded package, ending in "/".
    static QString dataFolder();

    // A downloaded package may be written under this name: a plain file name, no device name.
    static bool isSafePackageName(const QString& strName);

    // Starts a check with the page's switches ("-u" and the description path); true while it runs.
    bool requestUpdate(QStringList clArgs);
    bool isBusy() const { return bBusy; }
    QString networkXmlPath() const { return strNetworkXmlPath; }

    bool checkVersions() override;

    // Writes the default "network.xml" (no proxy, the update server in force) to the path.
    static bool writeDefaultNetworkFile(const QString& strPath);

signals:
    void sigTotalCountProgress(qint32 lCount);

public slots:
    void slotSuccess(QList<stDataInfo> clDataList);
    void slotError(QString strError) override;
    void slotCancel() override;

protected:
    void failCheck(const QString& strText) override;

private:
    void checkNetworkFile();
    bool installPackage(const stDataInfo& clPackage);

    bool bBusy = false;
    ClParseXmlNetwork clNetworkSettings;
    QString strNetworkXmlPath;
};
