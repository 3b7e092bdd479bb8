#pragma once

#include "updater/stDataInfo.h"
#include "updater/stDownloadEntry.h"

#include <QList>
#include <QNetworkProxy>
#include <QObject>
#include <QStringList>

class ClCommunication;
class ClParseXmlNetwork;
class ClParseXmlUpdate;
class ClProgressDialog;

// The download engine: fetches the update description, asks checkVersions() which files are
// wanted, downloads them one after another, verifies each against its MD5 digest and hands the
// verified files over with sigSuccess. Every failure ends the check and is reported by sigError.
class ClDownload : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClDownload)

public:
    explicit ClDownload(QObject* pclParent = nullptr);
    ~ClDownload() override;

    // Begins one check. Switches: "-u" description path below the source URL, "-nf" network
    // settings file, "-app" application name, each followed by its value. True when the
    // description has been requested; false when the check ended at once (sigError was sent).
    bool start(const QStringList& clArgs);

    void setProgressDialogMode(bool bOn) { bProgressDialogMode = bOn; }
    ClProgressDialog* progressDialog() const { return pclProgressDialog; }
    ClCommunication* communication() const { return pclCommunication; }
    bool isStopped() const { return bStopped; }

    virtual void resetState();
    virtual void downloadFile(const QString& strName);
    // Fills the download list from the new description (the engine itself wants nothing; the
    // update controller picks the newer tool); false stops the check.
    virtual bool checkVersions();
    // True when version a is newer than version b ("01.00.006" than "01.00.004", "1.0.0" than "1.0").
    virtual bool compareVersion(const QString& strA, const QString& strB);
    virtual void finish();
    virtual void useSystemProxy();

signals:
    void sigSuccess(QList<stDataInfo> clDataList);
    // Outcome for the user; an empty text means nothing to show.
    void sigError(QString strError);
    void sigTotalProgress(qint32 lReceived, qint32 lTotal);
    void sigPartProgress(qint64 llReceived, qint64 llTotal);

public slots:
    virtual void slotEndCommunication();
    virtual void slotError(QString strError);
    virtual void slotCancel();

protected:
    // Ends the running check with a message: transfer stopped, dialog closed, state reset.
    virtual void failCheck(const QString& strText);

    ClParseXmlUpdate* newDescription() const { return pclNewDescription; }

    bool bStopped = false;
    bool bProgressDialogMode = false;
    int lCurrentIndex = 0;
    ClCommunication* pclCommunication = nullptr;
    ClParseXmlNetwork* pclNetworkSettings = nullptr;
    ClParseXmlUpdate* pclInstalledDescription = nullptr;
    ClParseXmlUpdate* pclNewDescription = nullptr;
    ClProgressDialog* pclProgressDialog = nullptr;
    QString strBaseUrl;
    QString strCurrentFile;
    QString strDescriptionFile;
    QByteArray clDescription;
    QList<stDownloadEntry> clDownloadList;
    QList<stDataInfo> clResultList;
    QString strDescriptionPath;
    QString strNetworkFilePath = QStringLiteral("network.xml");
    QString strAppName = QStringLiteral("Application");

private:
    void connectProgress();
    void disconnectProgress();
    void restoreSystemProxy();

    // The proxy in force when the network settings file names none: the system's, if any.
    QNetworkProxy clSystemProxy;
    // The transfer under way is the description (a file may carry the description's name).
    bool bFetchingDescription = false;
};
