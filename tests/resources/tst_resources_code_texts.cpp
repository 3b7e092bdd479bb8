// Compares the texts the code passes to tr() (as lupdate finds them) with the translation
// catalogues: every text the code shows must be translated, and the catalogues must hold nothing
// the code does not use.

#include "tests/resources/ClTsCatalogue.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using TextKey = QPair<QString, QString>; // (context, source)

// Texts the catalogues keep although no code shows them. Each one is part of the catalogues'
// agreed content; the code may start using any of them.
const char* const RETAINED_TEXTS[][2] = {
    // The live stream types: the camera client knows them, the settings pages offer no choice.
    { "ClDetailSettingWidget", "Stream type" },
    { "QObject", "hls" },
    { "QObject", "rtsp" },
    { "QObject", "mjpeg" },
    // The download engine's stand-alone mode (it installs by itself and shows its own messages
    // instead of sending sigError); the program runs the engine embedded only.
    { "QObject", "Failed to save the update file." },
    { "QObject", "Failed to start the installer." },
    { "QObject", "The tool has the latest version." },
    { "QObject", "Checking for updates" },
    { "QObject", "A new version is available. Do you want to update now?" },
    { "QObject", "Please close %1 and try again." },
    { "QObject", "Invalid command line arguments." },
    { "QObject", "Update completed." },
    { "QObject", "The update was cancelled." },
};

QString describe(const QList<TextKey>& clKeys)
{
    QStringList clLines;
    for (const TextKey& clKey : clKeys) {
        QString strSource = clKey.second;
        strSource.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        clLines.append(QStringLiteral("  %1 / \"%2\"").arg(clKey.first, strSource));
    }
    clLines.sort();
    return clLines.join(QLatin1Char('\n'));
}

} // namespace

class TestResourcesCodeTexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyCodeTextIsInTheCatalogues();
    void everyCatalogueTextIsUsedByTheCode();

private:
    QSet<TextKey> clCodeTexts;
    QSet<TextKey> clAppTexts;
    QSet<TextKey> clUpdateTexts;
};

void TestResourcesCodeTexts::initTestCase()
{
    QString strError;
    ClTsCatalogue clCatalogue;
    QVERIFY2(clCatalogue.load(QStringLiteral(KD4_TS_DIR "/kd4tool_en.ts"), &strError), qPrintable(strError));
    clAppTexts = clCatalogue.keys();
    QVERIFY2(clCatalogue.load(QStringLiteral(KD4_TS_DIR "/update_en.ts"), &strError), qPrintable(strError));
    clUpdateTexts = clCatalogue.keys();

    // lupdate scans the program's own source folders into a scratch catalogue.
    QTemporaryDir clScratch;
    QVERIFY(clScratch.isValid());
    const QString strCodeTs = clScratch.filePath(QStringLiteral("code.ts"));
    QStringList clArgs = { QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
        QStringLiteral("-no-obsolete"), QStringLiteral("-extensions"), QStringLiteral("cpp,h") };
    const QDir clSourceRoot(QStringLiteral(KD4_SOURCE_DIR));
    int iFolders = 0;
    for (const char* pcFolder : { "app", "shell", "camera", "session", "liveview", "settings", "updater" }) {
        if (clSourceRoot.exists(QLatin1String(pcFolder))) {
            clArgs.append(clSourceRoot.absoluteFilePath(QLatin1String(pcFolder)));
            ++iFolders;
        }
    }
    QVERIFY2(iFolders > 0, KD4_SOURCE_DIR);
    clArgs << QStringLiteral("-ts") << strCodeTs;

    QProcess clLupdate;
    clLupdate.setProcessChannelMode(QProcess::MergedChannels);
    clLupdate.start(QStringLiteral(KD4_LUPDATE), clArgs);
    QVERIFY2(clLupdate.waitForFinished(120000), "lupdate did not finish");
    QVERIFY2(clLupdate.exitStatus() == QProcess::NormalExit && clLupdate.exitCode() == 0,
        clLupdate.readAll().constData());

    ClTsCatalogue clCode;
    if (!QFile::exists(strCodeTs)) {
        // lupdate writes nothing when it finds no text at all.
        return;
    }
    QVERIFY2(clCode.load(strCodeTs, &strError), qPrintable(strError));
    clCodeTexts = clCode.keys();
}

// A text the catalogues lack is shown untranslated (and, in English, without the agreed wording);
// a text under the wrong context (a class's tr() for a general text) is lacking too.
void TestResourcesCodeTexts::everyCodeTextIsInTheCatalogues()
{
    QList<TextKey> clMissing;
    for (const TextKey& clKey : qAsConst(clCodeTexts)) {
        if (!clAppTexts.contains(clKey) && !clUpdateTexts.contains(clKey))
            clMissing.append(clKey);
    }
    QVERIFY2(clMissing.isEmpty(),
        qPrintable(QStringLiteral("texts shown by the code but missing from the catalogues:\n")
            + describe(clMissing)));
}

void TestResourcesCodeTexts::everyCatalogueTextIsUsedByTheCode()
{
    QSet<TextKey> clRetained;
    for (const auto& apcText : RETAINED_TEXTS)
        clRetained.insert(qMakePair(QString::fromLatin1(apcText[0]), QString::fromLatin1(apcText[1])));
    QList<TextKey> clUnused;
    for (const QSet<TextKey>* pclCatalogue : { &clAppTexts, &clUpdateTexts }) {
        for (const TextKey& clKey : *pclCatalogue) {
            if (!clCodeTexts.contains(clKey) && !clRetained.contains(clKey) && !clUnused.contains(clKey))
                clUnused.append(clKey);
        }
    }
    QVERIFY2(clUnused.isEmpty(),
        qPrintable(QStringLiteral("catalogue texts that no code shows:\n") + describe(clUnused)));
}

QTEST_GUILESS_MAIN(TestResourcesCodeTexts)
#include "tst_resources_code_texts.moc"
