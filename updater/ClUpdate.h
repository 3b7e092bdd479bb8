#pragma once

#include "updater/ClDownload.h"
#include "updater/ClParseXmlNetwork.h"

#include <QString>

#include <functional>

class QWidget;

// The update controller: keeps the network settings file in order, checks the update server for
// a tool newer than the running one, asks before it downloads one, and installs a downloaded
// package: the package is written to the application-data folder and handed to the system
// installer, and once the installer has it the tool ends. Every outcome for the user goes out
// through sigError (an empty text: nothing to show).
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

    // Asks the user a yes-or-no question and returns the answer; the page shows it. Without one
    // every newer tool found is downloaded at once.
    using ConfirmHandler = std::function<bool(const QString& strQuestion)>;
    void setConfirmHandler(ConfirmHandler fnHandler) { fnConfirm = std::move(fnHandler); }

    // Writes "network.xml" with the update server in force: without a proxy, or with the proxy
    // and its login that pclKeep read.
    static bool writeNetworkFile(const QString& strPath, const ClParseXmlNetwork* pclKeep = nullptr);

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
    // Writes the package into the data folder; its path there, or empty when it could not be.
    QString writePackage(const stDataInfo& clPackage);
    void handOver(const QString& strPath);
    // The end of a check: not busy any more, and the text for the user.
    void endCheck(const QString& strText);

    bool bBusy = false;
    ConfirmHandler fnConfirm;
    ClParseXmlNetwork clNetworkSettings;
    QString strNetworkXmlPath;
};
