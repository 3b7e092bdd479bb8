// Checks the compiled-in resources: every picture the program names loads, the nine-slice sets
// compose seamlessly, the licence text is there, and the translation catalogues are complete,
// consistent with their sources and show the agreed English wording.

#include "resources/ClResources.h"
#include "tests/resources/ClTsCatalogue.h"

#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTranslator>
#include <QtTest>

namespace {

const char* const PARTS[] = { "tl", "l", "bl", "t", "c", "b", "tr", "r", "br" };
const char* const STATES[] = { "n", "h", "p" };
const char* const NINE_SLICE_PREFIXES[] = { ":/pushbutton/", ":/indicatorbutton/" };

QString tsPath(const QString& strName)
{
    return QStringLiteral(KD4_TS_DIR "/") + strName + QStringLiteral(".ts");
}

ClTsCatalogue loadCatalogue(const QString& strName)
{
    ClTsCatalogue clCatalogue;
    QString strError;
    if (!clCatalogue.load(tsPath(strName), &strError))
        qWarning("%s", qPrintable(strError));
    return clCatalogue;
}

// The %1, %2 ... markers of a text, sorted, so a translation can move them but not drop or add one.
QStringList placeholders(const QString& strText)
{
    QStringList clFound;
    QRegularExpressionMatchIterator clIt = QRegularExpression(QStringLiteral("%\\d")).globalMatch(strText);
    while (clIt.hasNext())
        clFound.append(clIt.next().captured());
    clFound.sort();
    return clFound;
}

// Places the nine pictures of one state the way the style does: corners at natural size, edges
// stretched along their edge, the centre over the middle.
QImage composeNineSlice(const QString& strPrefix, const QString& strState, const QSize& clSize)
{
    auto img = [&](const char* pcPart) { return QImage(strPrefix + strState + QLatin1String(pcPart)); };
    const QImage tl = img("tl"), l = img("l"), bl = img("bl"), t = img("t"), c = img("c"), b = img("b"),
                 tr = img("tr"), r = img("r"), br = img("br");
    QImage clOut(clSize, QImage::Format_ARGB32);
    clOut.fill(Qt::transparent);
    QPainter clPainter(&clOut);
    const int x1 = 0, y1 = 0, x2 = clSize.width() - 1, y2 = clSize.height() - 1;
    const int xr = x2 - tr.width() + 1;
    const int yb = y2 - bl.height() + 1;
    clPainter.drawImage(QPoint(x1, y1), tl);
    clPainter.drawImage(QPoint(xr, y1), tr);
    clPainter.drawImage(QPoint(x1, yb), bl);
    clPainter.drawImage(QPoint(xr, yb), br);
    clPainter.drawImage(QRect(x1 + tl.width(), y1, xr - x1 - tl.width(), t.height()), t);
    clPainter.drawImage(QRect(x1 + bl.width(), y2 - b.height() + 1, xr - x1 - bl.width(), b.height()), b);
    clPainter.drawImage(QRect(x1, y1 + tl.height(), l.width(), yb - y1 - tl.height()), l);
    clPainter.drawImage(QRect(x2 - r.width() + 1, y1 + tr.height(), r.width(), yb - y1 - tr.height()), r);
    clPainter.drawImage(
        QRect(x1 + tl.width(), y1 + tl.height(), xr - x1 - tl.width(), yb - y1 - tl.height()), c);
    return clOut;
}

bool nearlyEqual(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) <= 2 && qAbs(qGreen(a) - qGreen(b)) <= 2 && qAbs(qBlue(a) - qBlue(b)) <= 2
        && qAbs(qAlpha(a) - qAlpha(b)) <= 2;
}

// Column iColumn of clA equals column iOther of clB, pixel for pixel (rows 0 .. height - 1).
bool columnsMatch(const QImage& clA, int iColumn, const QImage& clB, int iOther)
{
    if (clA.height() != clB.height())
        return false;
    for (int y = 0; y < clA.height(); ++y) {
        if (!nearlyEqual(clA.pixel(iColumn, y), clB.pixel(iOther, y)))
            return false;
    }
    return true;
}

bool rowsMatch(const QImage& clA, int iRow, const QImage& clB, int iOther)
{
    if (clA.width() != clB.width())
        return false;
    for (int x = 0; x < clA.width(); ++x) {
        if (!nearlyEqual(clA.pixel(x, iRow), clB.pixel(x, iOther)))
            return false;
    }
    return true;
}

struct stCatalogueFile
{
    const char* pcSource; // .ts name under resources/translations
    const char* pcCompiled; // resource path the program loads
    int iCount;
};

const stCatalogueFile CATALOGUES[] = {
    { "kd4tool_en", ":/lang/en", 123 },
    { "kd4tool_ja", ":/lang/ja", 123 },
    { "update_en", ":/en/update", 21 },
    { "update_ja", ":/ja/update", 21 },
    { "update_fr", ":/fr/update", 21 },
    { "update_ru", ":/ru/update", 21 },
    { "update_zh", ":/zh/update", 21 },
};

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void image_loads_data();
    void image_loads();
    void nineSlice_cornersSameSizeInEveryState_data();
    void nineSlice_cornersSameSizeInEveryState();
    void nineSlice_seamsContinue_data();
    void nineSlice_seamsContinue();
    void nineSlice_composesWithoutHoles_data();
    void nineSlice_composesWithoutHoles();
    void arrows_fitTheSmallestButton();
    void slider_piecesShareOneHeight();
    void overlays_needNoRescaling_data();
    void overlays_needNoRescaling();
    void radio_drawnAtNaturalSize();
    void license_holdsCurlLicence();

    void catalogue_count_data();
    void catalogue_count();
    void catalogue_everyEntryFinished_data();
    void catalogue_everyEntryFinished();
    void catalogue_compiledMatchesSource_data();
    void catalogue_compiledMatchesSource();
    void catalogue_sameTextsInEveryLanguage_data();
    void catalogue_sameTextsInEveryLanguage();
    void updateCatalogue_generalContextOnly_data();
    void updateCatalogue_generalContextOnly();
    void englishApp_rewordsExactly60Texts();
    void englishApp_showsAgreedWording_data();
    void englishApp_showsAgreedWording();
    void updateTypo_shownCorrectlySpelled_data();
    void updateTypo_shownCorrectlySpelled();
    void japanese_substitutesInstalledFont_data();
    void japanese_substitutesInstalledFont();
};

void TestResources::initTestCase()
{
    ClResources::init();
}

void TestResources::image_loads_data()
{
    QTest::addColumn<QString>("strPath");
    for (const char* pcPrefix : NINE_SLICE_PREFIXES) {
        for (const char* pcState : STATES) {
            for (const char* pcPart : PARTS) {
                const QString strPath
                    = QLatin1String(pcPrefix) + QLatin1String(pcState) + QLatin1String(pcPart);
                QTest::newRow(qPrintable(strPath)) << strPath;
            }
        }
    }
    const char* const apcOthers[] = {
        ":/indicatorbutton/arrowup",
        ":/indicatorbutton/arrowdown",
        ":/indicatorbutton/arrowleft",
        ":/indicatorbutton/arrowright",
        ":/scrollbar/handle",
        ":/scrollbar/t",
        ":/scrollbar/l",
        ":/scrollbar/r",
        ":/scrollbar/b",
        ":/slider/back_c",
        ":/slider/back_r",
        ":/slider/active2_c",
        ":/slider/active2_l",
        ":/slider/handle2",
        ":/radiobutton/on",
        ":/radiobutton/off",
        ":/img/batt_ac",
        ":/img/batt_0",
        ":/img/batt_1",
        ":/img/batt_2",
        ":/img/batt_3",
        ":/img/rec_simbol",
        ":/img/app_icon",
        ":/img/logo",
        ":/img/vexa_trans",
    };
    for (const char* pcPath : apcOthers)
        QTest::newRow(pcPath) << QString::fromLatin1(pcPath);
}

void TestResources::image_loads()
{
    QFETCH(QString, strPath);
    const QImage clImage(strPath);
    QVERIFY2(!clImage.isNull(), qPrintable(strPath));
}

void TestResources::nineSlice_cornersSameSizeInEveryState_data()
{
    QTest::addColumn<QString>("strPrefix");
    QTest::addColumn<QString>("strPart");
    for (const char* pcPrefix : NINE_SLICE_PREFIXES) {
        for (const char* pcPart : PARTS) {
            QTest::addRow("%s%s", pcPrefix, pcPart)
                << QString::fromLatin1(pcPrefix) << QString::fromLatin1(pcPart);
        }
    }
}

// A state change must not move the button's outline: every part has one size in n, h and p.
void TestResources::nineSlice_cornersSameSizeInEveryState()
{
    QFETCH(QString, strPrefix);
    QFETCH(QString, strPart);
    const QSize clNormal = QImage(strPrefix + QLatin1Char('n') + strPart).size();
    QVERIFY(!clNormal.isEmpty());
    QCOMPARE(QImage(strPrefix + QLatin1Char('h') + strPart).size(), clNormal);
    QCOMPARE(QImage(strPrefix + QLatin1Char('p') + strPart).size(), clNormal);
}

void TestResources::nineSlice_seamsContinue_data()
{
    QTest::addColumn<QString>("strPrefix");
    QTest::addColumn<QString>("strState");
    for (const char* pcPrefix : NINE_SLICE_PREFIXES) {
        for (const char* pcState : STATES)
            QTest::addRow("%s%s", pcPrefix, pcState)
                << QString::fromLatin1(pcPrefix) << QString::fromLatin1(pcState);
    }
}

// Edges are stretched: where an edge meets a corner, the corner's last straight column (or row)
// must be the edge's own, or a seam shows at every size.
void TestResources::nineSlice_seamsContinue()
{
    QFETCH(QString, strPrefix);
    QFETCH(QString, strState);
    auto img = [&](const char* pcPart) { return QImage(strPrefix + strState + QLatin1String(pcPart)); };
    const QImage tl = img("tl"), l = img("l"), bl = img("bl"), t = img("t"), b = img("b"), tr = img("tr"),
                 r = img("r"), br = img("br"), c = img("c");

    // Thickness: each edge as thick as the corners beside it.
    QCOMPARE(t.height(), tl.height());
    QCOMPARE(t.height(), tr.height());
    QCOMPARE(b.height(), bl.height());
    QCOMPARE(b.height(), br.height());
    QCOMPARE(l.width(), tl.width());
    QCOMPARE(l.width(), bl.width());
    QCOMPARE(r.width(), tr.width());
    QCOMPARE(r.width(), br.width());

    QVERIFY2(columnsMatch(tl, tl.width() - 1, t, 0), "top-left corner into top edge");
    QVERIFY2(columnsMatch(t, t.width() - 1, tr, 0), "top edge into top-right corner");
    QVERIFY2(columnsMatch(bl, bl.width() - 1, b, 0), "bottom-left corner into bottom edge");
    QVERIFY2(columnsMatch(b, b.width() - 1, br, 0), "bottom edge into bottom-right corner");
    QVERIFY2(rowsMatch(tl, tl.height() - 1, l, 0), "top-left corner into left edge");
    QVERIFY2(rowsMatch(l, l.height() - 1, bl, 0), "left edge into bottom-left corner");
    QVERIFY2(rowsMatch(tr, tr.height() - 1, r, 0), "top-right corner into right edge");
    QVERIFY2(rowsMatch(r, r.height() - 1, br, 0), "right edge into bottom-right corner");
    // The centre continues the side edges across the middle rows.
    QVERIFY2(nearlyEqual(l.pixel(l.width() - 1, 0), c.pixel(0, 0)), "left edge into centre");
    QVERIFY2(nearlyEqual(c.pixel(c.width() - 1, 0), r.pixel(0, 0)), "centre into right edge");
}

void TestResources::nineSlice_composesWithoutHoles_data()
{
    QTest::addColumn<QString>("strPrefix");
    QTest::addColumn<QString>("strState");
    QTest::addColumn<QSize>("clSize");
    const QSize aclSizes[] = { QSize(150, 40), QSize(18, 18), QSize(18, 12), QSize(300, 18), QSize(40, 120) };
    for (const char* pcPrefix : NINE_SLICE_PREFIXES) {
        for (const char* pcState : STATES) {
            for (const QSize& clSize : aclSizes) {
                QTest::addRow("%s%s %dx%d", pcPrefix, pcState, clSize.width(), clSize.height())
                    << QString::fromLatin1(pcPrefix) << QString::fromLatin1(pcState) << clSize;
            }
        }
    }
}

// Composed at the sizes the program uses (combo and setting buttons, scroll bar and spin buttons,
// a scroll bar grip), a button is opaque everywhere but its four rounded corners.
void TestResources::nineSlice_composesWithoutHoles()
{
    QFETCH(QString, strPrefix);
    QFETCH(QString, strState);
    QFETCH(QSize, clSize);
    const QImage clOut = composeNineSlice(strPrefix, strState, clSize);
    const int iCorner = QImage(strPrefix + strState + QStringLiteral("tl")).width();
    const int iRound = iCorner - 1; // the curve stays inside the corner picture
    for (int y = 0; y < clSize.height(); ++y) {
        for (int x = 0; x < clSize.width(); ++x) {
            const bool bNearX = x < iRound || x >= clSize.width() - iRound;
            const bool bNearY = y < iRound || y >= clSize.height() - iRound;
            if (bNearX && bNearY)
                continue;
            if (qAlpha(clOut.pixel(x, y)) != 255)
                QFAIL(qPrintable(QStringLiteral("see-through pixel at %1,%2").arg(x).arg(y)));
        }
    }
}

// Arrows are drawn centred at natural size inside the buttons, the smallest being a spin box's
// 18 x 12 button: they must fit inside its 1 px border.
void TestResources::arrows_fitTheSmallestButton()
{
    for (const char* pcName : { "arrowup", "arrowdown", "arrowleft", "arrowright" }) {
        const QImage clArrow(QStringLiteral(":/indicatorbutton/") + QLatin1String(pcName));
        QVERIFY2(clArrow.width() <= 16 && clArrow.height() <= 10, pcName);
    }
    const QImage clGrip(QStringLiteral(":/scrollbar/handle"));
    QVERIFY(clGrip.width() <= 16 && clGrip.height() <= 16);
}

// The style draws all slider pieces from y = 0 and over back_c's height, and takes the handle's
// length from back_c's height and its thickness from handle2's: one height keeps the track under
// the middle of a square handle.
void TestResources::slider_piecesShareOneHeight()
{
    const int iHeight = QImage(QStringLiteral(":/slider/back_c")).height();
    QVERIFY(iHeight > 0);
    for (const char* pcName : { "back_r", "active2_c", "active2_l", "handle2" })
        QCOMPARE(QImage(QStringLiteral(":/slider/") + QLatin1String(pcName)).height(), iHeight);
    QCOMPARE(QImage(QStringLiteral(":/slider/handle2")).width(), iHeight);
}

void TestResources::overlays_needNoRescaling_data()
{
    QTest::addColumn<QString>("strPath");
    for (const char* pcName : { "batt_ac", "batt_0", "batt_1", "batt_2", "batt_3", "rec_simbol" })
        QTest::newRow(pcName) << QStringLiteral(":/img/") + QLatin1String(pcName);
}

// The live view scales these to 25 px wide with a fast (nearest-pixel) transformation: drawn 25 px
// wide, they stay crisp.
void TestResources::overlays_needNoRescaling()
{
    QFETCH(QString, strPath);
    QCOMPARE(QImage(strPath).width(), 25);
}

void TestResources::radio_drawnAtNaturalSize()
{
    QCOMPARE(QImage(QStringLiteral(":/radiobutton/on")).size(), QSize(24, 24));
    QCOMPARE(QImage(QStringLiteral(":/radiobutton/off")).size(), QSize(24, 24));
}

void TestResources::license_holdsCurlLicence()
{
    QFile clFile(QStringLiteral(":/license/curl"));
    QVERIFY(clFile.open(QIODevice::ReadOnly));
    const QString strText = QString::fromUtf8(clFile.readAll());
    QVERIFY(strText.contains(QLatin1String("Upstream-Name: curl")));
    QVERIFY(strText.contains(QLatin1String("Daniel Stenberg")));
    QVERIFY(strText.contains(QLatin1String("Permission to use, copy, modify, and distribute this software")));
}

void TestResources::catalogue_count_data()
{
    QTest::addColumn<QString>("strName");
    QTest::addColumn<int>("iCount");
    for (const stCatalogueFile& clFile : CATALOGUES)
        QTest::newRow(clFile.pcSource) << QString::fromLatin1(clFile.pcSource) << clFile.iCount;
}

void TestResources::catalogue_count()
{
    QFETCH(QString, strName);
    QFETCH(int, iCount);
    const ClTsCatalogue clCatalogue = loadCatalogue(strName);
    QCOMPARE(clCatalogue.keys().size(), iCount);
    QCOMPARE(clCatalogue.entries().size(), iCount); // no text twice
}

void TestResources::catalogue_everyEntryFinished_data()
{
    catalogue_count_data();
}

void TestResources::catalogue_everyEntryFinished()
{
    QFETCH(QString, strName);
    const ClTsCatalogue clCatalogue = loadCatalogue(strName);
    QVERIFY(!clCatalogue.entries().isEmpty());
    for (const stTsEntry& clEntry : clCatalogue.entries()) {
        const QString strWhere = clEntry.strContext + QStringLiteral(" / ") + clEntry.strSource;
        QVERIFY2(clEntry.strType.isEmpty(), qPrintable(clEntry.strType + QStringLiteral(": ") + strWhere));
        QVERIFY2(
            !clEntry.strTranslation.trimmed().isEmpty(), qPrintable(QStringLiteral("empty: ") + strWhere));
        QVERIFY2(placeholders(clEntry.strTranslation) == placeholders(clEntry.strSource),
            qPrintable(QStringLiteral("placeholders differ: ") + strWhere));
    }
}

void TestResources::catalogue_compiledMatchesSource_data()
{
    QTest::addColumn<QString>("strName");
    QTest::addColumn<QString>("strCompiled");
    for (const stCatalogueFile& clFile : CATALOGUES)
        QTest::newRow(clFile.pcCompiled)
            << QString::fromLatin1(clFile.pcSource) << QString::fromLatin1(clFile.pcCompiled);
}

// The program loads the compiled catalogue from its resource path; every text of the source
// catalogue must come back from it as written there.
void TestResources::catalogue_compiledMatchesSource()
{
    QFETCH(QString, strName);
    QFETCH(QString, strCompiled);
    QTranslator clTranslator;
    QVERIFY2(clTranslator.load(strCompiled), qPrintable(strCompiled));
    const ClTsCatalogue clCatalogue = loadCatalogue(strName);
    QVERIFY(!clCatalogue.entries().isEmpty());
    for (const stTsEntry& clEntry : clCatalogue.entries()) {
        const QString strShown = clTranslator.translate(
            clEntry.strContext.toUtf8().constData(), clEntry.strSource.toUtf8().constData());
        QVERIFY2(strShown == clEntry.strTranslation,
            qPrintable(clEntry.strContext + QStringLiteral(" / ") + clEntry.strSource + QStringLiteral(" -> ")
                + strShown));
    }
}

void TestResources::catalogue_sameTextsInEveryLanguage_data()
{
    QTest::addColumn<QString>("strName");
    QTest::addColumn<QString>("strReference");
    QTest::newRow("kd4tool_ja") << QStringLiteral("kd4tool_ja") << QStringLiteral("kd4tool_en");
    for (const char* pcName : { "update_ja", "update_fr", "update_ru", "update_zh" })
        QTest::newRow(pcName) << QString::fromLatin1(pcName) << QStringLiteral("update_en");
}

void TestResources::catalogue_sameTextsInEveryLanguage()
{
    QFETCH(QString, strName);
    QFETCH(QString, strReference);
    QCOMPARE(loadCatalogue(strName).keys(), loadCatalogue(strReference).keys());
}

void TestResources::updateCatalogue_generalContextOnly_data()
{
    QTest::addColumn<QString>("strName");
    for (const char* pcName : { "update_en", "update_ja", "update_fr", "update_ru", "update_zh" })
        QTest::newRow(pcName) << QString::fromLatin1(pcName);
}

void TestResources::updateCatalogue_generalContextOnly()
{
    QFETCH(QString, strName);
    const ClTsCatalogue clCatalogue = loadCatalogue(strName);
    QVERIFY(!clCatalogue.entries().isEmpty());
    for (const stTsEntry& clEntry : clCatalogue.entries())
        QCOMPARE(clEntry.strContext, QStringLiteral("QObject"));
}

void TestResources::englishApp_rewordsExactly60Texts()
{
    int iReworded = 0;
    const ClTsCatalogue clCatalogue = loadCatalogue(QStringLiteral("kd4tool_en"));
    for (const stTsEntry& clEntry : clCatalogue.entries()) {
        if (clEntry.strTranslation != clEntry.strSource)
            ++iReworded;
    }
    QCOMPARE(iReworded, 60);
}

void TestResources::englishApp_showsAgreedWording_data()
{
    QTest::addColumn<QString>("strContext");
    QTest::addColumn<QString>("strSource");
    QTest::addColumn<QString>("strShown");
    const char* const apcRows[][3] = {
        { "QObject", "KD4Tool", "Vexa APP for PC" },
        { "QObject", "Tool version upgrade", "Update" },
        { "QObject", "Unable to initialize %1", "%1 is unable to be opened." },
        { "QObject", "Unable to start because another user is running %1",
            "%1 is unable to start because it is already opened by another user." },
        { "QObject", "%1 is already running", "%1 is already running." },
        { "QObject", "Failed to set %1", "Failed to set %1." },
        { "QObject", "Failed to %1", "Failed to %1." },
        { "QObject", "CANCEL", "Cancel" },
        { "QObject", "frames", "photos" },
        { "QObject", "mjpeg", "MJPEG" },
        { "ClSettingWidget", "Simple settings", "Basic settings" },
        { "ClSettingWidget", "Detail settings", "Advanced settings" },
        { "ClSimpleSettingWidget", "WB", "White balance" },
        { "ClSimpleSettingWidget", "WDR", "Wide dynamic range" },
        { "ClSimpleSettingWidget", "Timer", "Self-timer" },
        { "ClSimpleSettingWidget", "Auto", "AUTO" },
        { "ClSimpleSettingWidget", "720p 120fps", "720p / 120fps\nHigh Speed" },
        { "ClSimpleSettingWidget", "WVGA 240fps", "WVGA / 240fps\nHigh Speed" },
        { "ClSimpleSettingWidget", "135", "135\u00b0" },
        { "ClSimpleSettingWidget", "5", "5seconds" },
        { "ClDetailSettingWidget", "Photometry", "Metering" },
        { "ClDetailSettingWidget", "Multi", "Overall mean" },
        { "ClDetailSettingWidget", "Center", "Center-weighted" },
        { "ClDetailSettingWidget", "Stabilization", "Hand-shake correction" },
        { "ClDetailSettingWidget", "Distortion", "Distortion correction" },
        { "ClDetailSettingWidget", "Volume", "Camera operation sound" },
        { "ClDetailSettingWidget", "Recording file setting", "Movie file setting" },
        { "ClDetailSettingWidget", "SD format", "Camera SD card format" },
        { "ClDetailSettingWidget", "AP setting", "Camera AP mode settings" },
        { "ClInformationDialog", "Tool version : %1", "Software Version: %1" },
        { "ClInformationDialog", "FW version : %1", "Firmware Version : %1" },
        { "ClUpdate", "The tool has the latest version.", "Your software is the latest version." },
    };
    for (const auto& apcRow : apcRows) {
        QTest::addRow("%s / %s", apcRow[0], apcRow[1])
            << QString::fromLatin1(apcRow[0]) << QString::fromLatin1(apcRow[1])
            << QString::fromUtf8(apcRow[2]);
    }
}

void TestResources::englishApp_showsAgreedWording()
{
    QFETCH(QString, strContext);
    QFETCH(QString, strSource);
    QFETCH(QString, strShown);
    QTranslator clTranslator;
    QVERIFY(clTranslator.load(QStringLiteral(":/lang/en")));
    QCOMPARE(
        clTranslator.translate(strContext.toUtf8().constData(), strSource.toUtf8().constData()), strShown);
}

void TestResources::updateTypo_shownCorrectlySpelled_data()
{
    QTest::addColumn<QString>("strCompiled");
    QTest::addColumn<QString>("strShown");
    QTest::newRow("en") << QStringLiteral(":/en/update") << QStringLiteral("Failed to update.");
    QTest::newRow("ja") << QStringLiteral(":/ja/update") << QString::fromUtf8("アップデートに失敗しました。");
    QTest::newRow("fr") << QStringLiteral(":/fr/update") << QString::fromUtf8("Échec de la mise à jour.");
    QTest::newRow("ru") << QStringLiteral(":/ru/update")
                        << QString::fromUtf8("Не удалось выполнить обновление.");
    QTest::newRow("zh") << QStringLiteral(":/zh/update") << QString::fromUtf8("更新失败。");
}

// The updater's source text carries a typo ("Faield") that stays the key; users read it spelled
// right in every language.
void TestResources::updateTypo_shownCorrectlySpelled()
{
    QFETCH(QString, strCompiled);
    QFETCH(QString, strShown);
    QTranslator clTranslator;
    QVERIFY(clTranslator.load(strCompiled));
    const QString strText = clTranslator.translate("QObject", "Faield to update.");
    QCOMPARE(strText, strShown);
    QVERIFY(!strText.contains(QLatin1String("Faield")));
}

void TestResources::japanese_substitutesInstalledFont_data()
{
    QTest::addColumn<QString>("strCompiled");
    QTest::addColumn<QString>("strFontText");
    QTest::newRow("application font") << QStringLiteral(":/lang/ja") << QStringLiteral("Segoe UI");
    QTest::newRow("progress dialog font") << QStringLiteral(":/ja/update") << QStringLiteral("Arial");
}

// Neither Segoe UI nor Arial has Japanese glyphs; the Japanese catalogues name a Japanese font
// that Debian ships (fonts-ipafont-gothic, installed by scripts/setup-deps.sh).
void TestResources::japanese_substitutesInstalledFont()
{
    QFETCH(QString, strCompiled);
    QFETCH(QString, strFontText);
    QTranslator clTranslator;
    QVERIFY(clTranslator.load(strCompiled));
    const QString strFamily = clTranslator.translate("QObject", strFontText.toLatin1().constData());
    QCOMPARE(strFamily, QStringLiteral("IPAPGothic"));
    QVERIFY2(QFontDatabase().families().contains(strFamily), "fonts-ipafont-gothic is not installed");
    QVERIFY(QFontDatabase().families(QFontDatabase::Japanese).contains(strFamily));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
