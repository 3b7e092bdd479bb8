// The product look: metrics of the three styles and the pixels they paint for the cases that
// matter (image set per state, disabled half opacity, progress chunk, scroll bar buttons, tabs).

#include "resources/ClResources.h"
#include "shell/ClBasicStyle.h"
#include "shell/ClSettingItemStyle.h"
#include "shell/ClVexaStyle.h"

#include <QApplication>
#include <QComboBox>
#include <QCommonStyle>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStyleOption>
#include <QtTest>

#include <memory>

namespace {

const QColor BACKGROUND(255, 0, 255); // a colour none of the pictures uses

// The colour of src painted over an opaque background at the given opacity.
QColor over(QRgb uiSource, const QColor& clBackground, qreal rOpacity = 1.0)
{
    const qreal rAlpha = qAlpha(uiSource) / 255.0 * rOpacity;
    const auto mix = [rAlpha](int iSrc, int iDst) { return qRound(iSrc * rAlpha + iDst * (1 - rAlpha)); };
    return QColor(mix(qRed(uiSource), clBackground.red()), mix(qGreen(uiSource), clBackground.green()),
        mix(qBlue(uiSource), clBackground.blue()));
}

bool near(const QColor& clA, const QColor& clB, int iTolerance = 3)
{
    return qAbs(clA.red() - clB.red()) <= iTolerance && qAbs(clA.green() - clB.green()) <= iTolerance
        && qAbs(clA.blue() - clB.blue()) <= iTolerance;
}

QByteArray describe(const QColor& clActual, const QColor& clExpected)
{
    return QStringLiteral("got (%1,%2,%3), expected (%4,%5,%6)")
        .arg(clActual.red())
        .arg(clActual.green())
        .arg(clActual.blue())
        .arg(clExpected.red())
        .arg(clExpected.green())
        .arg(clExpected.blue())
        .toUtf8();
}

#define QCOMPARE_COLOR(actual, expected)                                                                     \
    do {                                                                                                     \
        const QColor clA_ = (actual);                                                                        \
        const QColor clE_ = (expected);                                                                      \
        QVERIFY2(near(clA_, clE_), describe(clA_, clE_).constData());                                        \
    } while (false)

QImage canvas(const QSize& clSize, const QColor& clFill = BACKGROUND)
{
    QImage clImage(clSize, QImage::Format_ARGB32_Premultiplied);
    clImage.fill(clFill);
    return clImage;
}

QRgb firstPixel(const QString& strResource)
{
    const QImage clImage(strResource);
    return clImage.isNull() ? 0 : clImage.pixel(0, 0);
}

// Darkest grey level among the pixels of a region.
int darkest(const QImage& clImage, const QRect& clRegion)
{
    int iMin = 255;
    for (int iY = clRegion.top(); iY <= clRegion.bottom(); ++iY)
        for (int iX = clRegion.left(); iX <= clRegion.right(); ++iX)
            iMin = qMin(iMin, qGray(clImage.pixel(iX, iY)));
    return iMin;
}

// Leftmost column of the region holding a pixel darker than the threshold; -1 when none.
int leftmostDark(const QImage& clImage, int iThreshold = 128)
{
    for (int iX = 0; iX < clImage.width(); ++iX)
        for (int iY = 0; iY < clImage.height(); ++iY)
            if (qGray(clImage.pixel(iX, iY)) < iThreshold)
                return iX;
    return -1;
}

} // namespace

class TestStyles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void pushButton_stateSelectsImageSet_data();
    void pushButton_stateSelectsImageSet();
    void pushButton_disabledIsNormalSetAtHalfOpacityLabelIncluded();
    void slider_disabledIsDrawnAtHalfOpacity();
    void polish_givesHoverToInteractiveWidgets();
    void pushButton_basicStyleSizeIsTextPlus40By40_data();
    void pushButton_basicStyleSizeIsTextPlus40By40();
    void labels_centredInBasicStyleLeftAlignedInSettingItemStyle();
    void settingItemStyle_buttonsAndCombosAre40High();
    void comboBox_is20HigherThanCommonStyle();
    void spinBox_isAtLeast28High();
    void radioButton_indicatorAndSizes();
    void scrollBar_is18ThickWithButtonsAtTheEnds();
    void scrollBar_onlyActiveButtonShowsPressed();
    void progressBar_chunk_data();
    void progressBar_chunk();
    void toolBoxTab_gradientShade_data();
    void toolBoxTab_gradientShade();
    void checkBoxIndicator_checkMarkOnlyWhenOn();
    void groupBox_frameSkipsTitle();
    void styledPanelFrame_outlineOfLineWidth_data();
    void styledPanelFrame_outlineOfLineWidth();

private:
    ClBasicStyle* pclBasic = nullptr; // owned by the application
    std::unique_ptr<ClSettingItemStyle> pclItemStyle;
};

void TestStyles::initTestCase()
{
    ClResources::init();
    pclBasic = new ClBasicStyle;
    QApplication::setStyle(pclBasic);
    pclItemStyle = std::make_unique<ClSettingItemStyle>();
    QVERIFY2(!QImage(QStringLiteral(":/pushbutton/nc")).isNull(), "pictures not compiled in");
    // The states can only be told apart when their pictures differ.
    QVERIFY(firstPixel(QStringLiteral(":/pushbutton/nc")) != firstPixel(QStringLiteral(":/pushbutton/hc")));
    QVERIFY(firstPixel(QStringLiteral(":/pushbutton/nc")) != firstPixel(QStringLiteral(":/pushbutton/pc")));
    QVERIFY(firstPixel(QStringLiteral(":/pushbutton/hc")) != firstPixel(QStringLiteral(":/pushbutton/pc")));
}

void TestStyles::pushButton_stateSelectsImageSet_data()
{
    QTest::addColumn<int>("iState");
    QTest::addColumn<QString>("strLetter");
    const int iOn = QStyle::State_Enabled;
    QTest::newRow("normal") << iOn << "n";
    QTest::newRow("hovered") << (iOn | QStyle::State_MouseOver) << "h";
    QTest::newRow("pressed") << (iOn | QStyle::State_Sunken) << "p";
    QTest::newRow("pressed while hovered") << (iOn | QStyle::State_Sunken | QStyle::State_MouseOver) << "p";
    QTest::newRow("checked") << (iOn | QStyle::State_On) << "p";
}

void TestStyles::pushButton_stateSelectsImageSet()
{
    QFETCH(int, iState);
    QFETCH(QString, strLetter);
    QStyleOptionButton clOption;
    clOption.rect = QRect(0, 0, 80, 40);
    clOption.state = QStyle::State(iState);
    QImage clImage = canvas(clOption.rect.size());
    {
        QPainter clPainter(&clImage);
        pclBasic->drawControl(QStyle::CE_PushButton, &clOption, &clPainter);
    }
    const QString strPrefix = QStringLiteral(":/pushbutton/") + strLetter;
    QCOMPARE_COLOR(clImage.pixelColor(40, 20), over(firstPixel(strPrefix + QStringLiteral("c")), BACKGROUND));
    // Edges are stretched along the sides at their natural thickness.
    const QImage clTop(strPrefix + QStringLiteral("t"));
    QCOMPARE_COLOR(clImage.pixelColor(40, 0), over(clTop.pixel(0, 0), BACKGROUND));
    const QImage clLeft(strPrefix + QStringLiteral("l"));
    QCOMPARE_COLOR(clImage.pixelColor(0, 20), over(clLeft.pixel(0, 0), BACKGROUND));
    // The bottom-right corner sits in the corner at natural size.
    const QImage clCorner(strPrefix + QStringLiteral("br"));
    QCOMPARE_COLOR(clImage.pixelColor(79, 39),
        over(clCorner.pixel(clCorner.width() - 1, clCorner.height() - 1), BACKGROUND));
}

void TestStyles::pushButton_disabledIsNormalSetAtHalfOpacityLabelIncluded()
{
    // Disabled wins over pressed and hovered: the "n" set, half transparent.
    QStyleOptionButton clOption;
    clOption.rect = QRect(0, 0, 120, 40);
    clOption.state = QStyle::State_Sunken | QStyle::State_MouseOver;
    clOption.text = QStringLiteral("WWWW");
    clOption.fontMetrics = QFontMetrics(QApplication::font());
    QImage clDisabled = canvas(clOption.rect.size());
    {
        QPainter clPainter(&clDisabled);
        pclBasic->drawControl(QStyle::CE_PushButton, &clOption, &clPainter);
    }
    const QImage clNormalLeft(QStringLiteral(":/pushbutton/nl"));
    const QImage clNormalTop(QStringLiteral(":/pushbutton/nt"));
    QCOMPARE_COLOR(clDisabled.pixelColor(3, 20), over(clNormalLeft.pixel(3, 0), BACKGROUND, 0.5));
    QCOMPARE_COLOR(clDisabled.pixelColor(60, 3), over(clNormalTop.pixel(0, 3), BACKGROUND, 0.5));

    // The black label painted after the frame is dimmed as well.
    clOption.state |= QStyle::State_Enabled;
    QImage clEnabled = canvas(clOption.rect.size());
    {
        QPainter clPainter(&clEnabled);
        pclBasic->drawControl(QStyle::CE_PushButton, &clOption, &clPainter);
    }
    const QRect clTextArea(20, 8, 80, 24);
    QVERIFY(darkest(clEnabled, clTextArea) < 40);
    QVERIFY2(darkest(clDisabled, clTextArea) > 60, QByteArray::number(darkest(clDisabled, clTextArea)));

    // A real disabled widget paints the same way.
    QPushButton clButton(QStringLiteral("Off"));
    clButton.setEnabled(false);
    clButton.setFixedSize(80, 40);
    const QImage clGrab = clButton.grab().toImage();
    QCOMPARE_COLOR(clGrab.pixelColor(3, 20),
        over(clNormalLeft.pixel(3, 0), clButton.palette().color(QPalette::Window), 0.5));
}

void TestStyles::polish_givesHoverToInteractiveWidgets()
{
    QPushButton clButton;
    QRadioButton clRadio;
    QComboBox clCombo;
    QSpinBox clSpin;
    QLabel clLabel;
    for (QWidget* pclWidget :
        std::initializer_list<QWidget*> { &clButton, &clRadio, &clCombo, &clSpin, &clLabel })
        pclWidget->ensurePolished();
    QVERIFY(clButton.testAttribute(Qt::WA_Hover));
    QVERIFY(clRadio.testAttribute(Qt::WA_Hover));
    QVERIFY(clCombo.testAttribute(Qt::WA_Hover));
    QVERIFY(clSpin.testAttribute(Qt::WA_Hover));
    QVERIFY(!clLabel.testAttribute(Qt::WA_Hover));

    // Setting a row style polishes the control as well.
    QPushButton clRowButton;
    clRowButton.setStyle(pclItemStyle.get());
    clRowButton.ensurePolished();
    QVERIFY(clRowButton.testAttribute(Qt::WA_Hover));
}

void TestStyles::pushButton_basicStyleSizeIsTextPlus40By40_data()
{
    QTest::addColumn<QString>("strText");
    QTest::newRow("OK") << "OK";
    QTest::newRow("Connect") << "Connect";
    QTest::newRow("Tool version upgrade") << "Tool version upgrade";
    QTest::newRow("Japanese") << QStringLiteral("接続");
}

void TestStyles::pushButton_basicStyleSizeIsTextPlus40By40()
{
    QFETCH(QString, strText);
    QPushButton clButton(strText);
    QCOMPARE(clButton.sizeHint(), QSize(clButton.fontMetrics().horizontalAdvance(strText) + 40, 40));
}

void TestStyles::labels_centredInBasicStyleLeftAlignedInSettingItemStyle()
{
    QStyleOptionButton clOption;
    clOption.rect = QRect(0, 0, 150, 40);
    clOption.state = QStyle::State_Enabled;
    clOption.text = QStringLiteral("HHH");
    clOption.fontMetrics = QFontMetrics(QApplication::font());
    const int iTextWidth = clOption.fontMetrics.horizontalAdvance(clOption.text);

    QImage clCentred = canvas(clOption.rect.size(), Qt::white);
    QImage clLeft = canvas(clOption.rect.size(), Qt::white);
    {
        QPainter clPainter(&clCentred);
        pclBasic->drawControl(QStyle::CE_PushButtonLabel, &clOption, &clPainter);
    }
    {
        QPainter clPainter(&clLeft);
        pclItemStyle->drawControl(QStyle::CE_PushButtonLabel, &clOption, &clPainter);
    }
    const int iCentredLeft = leftmostDark(clCentred);
    QVERIFY2(qAbs(iCentredLeft - (150 - iTextWidth) / 2) <= 3, QByteArray::number(iCentredLeft));
    const int iRowLeft = leftmostDark(clLeft);
    QVERIFY2(iRowLeft >= 10 && iRowLeft <= 13, QByteArray::number(iRowLeft));

    // The combo box label of a settings row starts at x = 10 too, grey when disabled.
    QComboBox clCombo;
    clCombo.setStyle(pclItemStyle.get());
    clCombo.addItem(QStringLiteral("HHH"));
    QStyleOptionComboBox clComboOption;
    clComboOption.initFrom(&clCombo);
    clComboOption.rect = QRect(0, 0, 150, 40);
    clComboOption.currentText = QStringLiteral("HHH");
    QImage clComboImage = canvas(clComboOption.rect.size(), Qt::white);
    {
        QPainter clPainter(&clComboImage);
        pclItemStyle->drawControl(QStyle::CE_ComboBoxLabel, &clComboOption, &clPainter, &clCombo);
    }
    const int iComboLeft = leftmostDark(clComboImage);
    QVERIFY2(iComboLeft >= 10 && iComboLeft <= 13, QByteArray::number(iComboLeft));
    QVERIFY(darkest(clComboImage, clComboImage.rect()) < 40);
    clCombo.setEnabled(false);
    QImage clGreyImage = canvas(clComboOption.rect.size(), Qt::white);
    {
        QPainter clPainter(&clGreyImage);
        pclItemStyle->drawControl(QStyle::CE_ComboBoxLabel, &clComboOption, &clPainter, &clCombo);
    }
    QVERIFY(darkest(clGreyImage, clGreyImage.rect()) > 100);
}

void TestStyles::settingItemStyle_buttonsAndCombosAre40High()
{
    QPushButton clButton(QStringLiteral("Setting"));
    clButton.setStyle(pclItemStyle.get());
    QCOMPARE(clButton.sizeHint().height(), 40);
    QComboBox clCombo;
    clCombo.setStyle(pclItemStyle.get());
    clCombo.addItem(QStringLiteral("ON"));
    QCOMPARE(clCombo.sizeHint().height(), 40);
}

void TestStyles::comboBox_is20HigherThanCommonStyle()
{
    QComboBox clCombo;
    clCombo.addItem(QStringLiteral("1080p 30fps"));
    QStyleOptionComboBox clOption;
    clOption.initFrom(&clCombo);
    const QSize clContents(100, clCombo.fontMetrics().height());
    QCommonStyle clCommon;
    const QSize clPlain = clCommon.sizeFromContents(QStyle::CT_ComboBox, &clOption, clContents);
    QCOMPARE(pclBasic->sizeFromContents(QStyle::CT_ComboBox, &clOption, clContents, &clCombo).height(),
        clPlain.height() + 20);
    QVERIFY(clCombo.sizeHint().height() >= clCombo.fontMetrics().height() + 20);
}

void TestStyles::spinBox_isAtLeast28High()
{
    QSpinBox clSpin;
    QVERIFY2(clSpin.sizeHint().height() >= 28, QByteArray::number(clSpin.sizeHint().height()));
    QStyleOptionSpinBox clOption;
    clOption.initFrom(&clSpin);
    QCOMPARE(pclBasic->sizeFromContents(QStyle::CT_SpinBox, &clOption, QSize(20, 5), &clSpin).height(), 28);
}

void TestStyles::radioButton_indicatorAndSizes()
{
    const int iSpacing = pclBasic->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);

    QRadioButton clEmpty;
    QCOMPARE(clEmpty.sizeHint().height(), 24);
    QCOMPARE(clEmpty.sizeHint().width(), iSpacing + 24);

    QRadioButton clText(QStringLiteral("Auto"));
    const QSize clHint = clText.sizeHint();
    const int iTextWidth = clText.fontMetrics().horizontalAdvance(QStringLiteral("Auto"));
    QVERIFY2(qAbs(clHint.width() - (iTextWidth + iSpacing + 24)) <= 1, QByteArray::number(clHint.width()));
    QCOMPARE(clHint.height(), qMax(24, clText.fontMetrics().height()));

    // Two lines of text make the button as high as the text.
    QRadioButton clTwoLines(QStringLiteral("720p / 120fps\nHigh Speed"));
    QVERIFY(clTwoLines.sizeHint().height() >= 2 * clTwoLines.fontMetrics().height() - 2);

    // Without a button option there is no size.
    QStyleOption clPlain;
    QCOMPARE(pclBasic->sizeFromContents(QStyle::CT_RadioButton, &clPlain, QSize(10, 10)), QSize(-1, -1));

    // The indicator is a 24-pixel square at the left, vertically centred; the label starts right of it.
    QStyleOptionButton clOption;
    clOption.initFrom(&clText);
    clOption.rect = QRect(0, 0, 120, 40);
    clOption.text = QStringLiteral("Auto");
    const QRect clIndicator = pclBasic->subElementRect(QStyle::SE_RadioButtonIndicator, &clOption, &clText);
    QCOMPARE(clIndicator.size(), QSize(24, 24));
    QCOMPARE(clIndicator.top(), (40 - 1 - 23) / 2);
    QVERIFY(clIndicator.left() <= 2);
    QVERIFY(
        pclBasic->subElementRect(QStyle::SE_RadioButtonContents, &clOption, &clText).left() >= iSpacing + 24);
    QCOMPARE(pclBasic->subElementRect(QStyle::SE_RadioButtonClickRect, &clOption, &clText),
        QRect(QPoint(0, 0), pclBasic->sizeFromContents(QStyle::CT_RadioButton, &clOption, QSize(), &clText)));
}

void TestStyles::scrollBar_is18ThickWithButtonsAtTheEnds()
{
    QCOMPARE(pclBasic->pixelMetric(QStyle::PM_ScrollBarExtent), 18);
    QScrollBar clHorizontal(Qt::Horizontal);
    QScrollBar clVertical(Qt::Vertical);
    QCOMPARE(clHorizontal.sizeHint().height(), 18);
    QCOMPARE(clVertical.sizeHint().width(), 18);

    QStyleOptionSlider clOption;
    clOption.orientation = Qt::Horizontal;
    clOption.rect = QRect(0, 0, 200, 18);
    clOption.maximum = 100;
    QCOMPARE(pclBasic->subControlRect(QStyle::CC_ScrollBar, &clOption, QStyle::SC_ScrollBarAddLine),
        QRect(182, 0, 18, 18));
    QCOMPARE(pclBasic->subControlRect(QStyle::CC_ScrollBar, &clOption, QStyle::SC_ScrollBarSubLine),
        QRect(0, 0, 18, 18));
    clOption.orientation = Qt::Vertical;
    clOption.rect = QRect(0, 0, 18, 150);
    QCOMPARE(pclBasic->subControlRect(QStyle::CC_ScrollBar, &clOption, QStyle::SC_ScrollBarAddLine),
        QRect(0, 132, 18, 18));
}

void TestStyles::scrollBar_onlyActiveButtonShowsPressed()
{
    QStyleOptionSlider clOption;
    clOption.orientation = Qt::Horizontal;
    clOption.rect = QRect(0, 0, 200, 18);
    clOption.maximum = 100;
    clOption.pageStep = 10;
    clOption.subControls = QStyle::SC_All;
    clOption.state = QStyle::State_Enabled | QStyle::State_Horizontal | QStyle::State_Sunken;
    clOption.activeSubControls = QStyle::SC_ScrollBarAddLine;
    QImage clImage = canvas(clOption.rect.size());
    {
        QPainter clPainter(&clImage);
        pclBasic->drawComplexControl(QStyle::CC_ScrollBar, &clOption, &clPainter);
    }
    // Sample the top edge of each button, left of where the arrow sits.
    const QColor clTrough(189, 192, 199);
    const QImage clPressedTop(QStringLiteral(":/indicatorbutton/pt"));
    const QImage clNormalTop(QStringLiteral(":/indicatorbutton/nt"));
    QVERIFY(clPressedTop.pixel(0, 2) != clNormalTop.pixel(0, 2));
    QCOMPARE_COLOR(clImage.pixelColor(182 + 9, 2), over(clPressedTop.pixel(0, 2), clTrough));
    QCOMPARE_COLOR(clImage.pixelColor(9, 2), over(clNormalTop.pixel(0, 2), clTrough));
    // The page area between the buttons and the grip shows the trough.
    QCOMPARE_COLOR(clImage.pixelColor(150, 9), clTrough);
}

void TestStyles::progressBar_chunk_data()
{
    QTest::addColumn<int>("iMinimum");
    QTest::addColumn<int>("iMaximum");
    QTest::addColumn<int>("iValue");
    QTest::addColumn<int>("iChunkEnd"); // last x of the chunk, -1 for none
    // Width 200: the chunk may span x = 4 .. 195 (w - 8 = 192 pixels).
    QTest::newRow("minimum equals maximum") << 5 << 5 << 5 << -1;
    QTest::newRow("zero progress") << 0 << 100 << 0 << -1;
    QTest::newRow("half") << 0 << 100 << 50 << 3 + 96;
    QTest::newRow("complete") << 0 << 100 << 100 << 3 + 192;
    QTest::newRow("range not starting at zero, half") << 50 << 100 << 75 << 3 + 96;
    QTest::newRow("range not starting at zero, at minimum") << 50 << 100 << 50 << -1;
}

void TestStyles::progressBar_chunk()
{
    QFETCH(int, iMinimum);
    QFETCH(int, iMaximum);
    QFETCH(int, iValue);
    QFETCH(int, iChunkEnd);
    QProgressBar clBar;
    clBar.setRange(iMinimum, iMaximum);
    clBar.setValue(iValue);
    clBar.setFixedSize(200, 20);
    QStyleOptionProgressBar clOption;
    clOption.initFrom(&clBar);
    clOption.rect = QRect(0, 0, 200, 20);
    clOption.minimum = iMinimum;
    clOption.maximum = iMaximum;
    clOption.progress = iValue;
    QImage clImage = canvas(clOption.rect.size());
    {
        QPainter clPainter(&clImage);
        pclBasic->drawControl(QStyle::CE_ProgressBar, &clOption, &clPainter, &clBar);
    }
    const QColor clGroove(30, 30, 30);
    // Frame: dark at the top-left, light at the bottom-right, over what was there.
    QCOMPARE_COLOR(clImage.pixelColor(100, 0), over(qRgba(0, 0, 0, 77), BACKGROUND));
    QCOMPARE_COLOR(clImage.pixelColor(100, 19), over(qRgba(255, 255, 255, 77), BACKGROUND));
    // The groove is dark wherever the chunk is not.
    QCOMPARE_COLOR(clImage.pixelColor(2, 10), clGroove);
    QCOMPARE_COLOR(clImage.pixelColor(197, 10), clGroove);
    QCOMPARE_COLOR(clImage.pixelColor(100, 2), clGroove);
    const auto isChunk = [&](int iX) {
        const QColor clPixel = clImage.pixelColor(iX, 10);
        return clPixel.green() > clPixel.red() + 60;
    };
    if (iChunkEnd < 0) {
        for (int iX = 2; iX <= 197; ++iX)
            QVERIFY2(!isChunk(iX), QByteArray::number(iX));
        return;
    }
    QVERIFY(isChunk(4));
    QVERIFY(isChunk(iChunkEnd));
    QVERIFY(!isChunk(iChunkEnd + 1));
    QVERIFY(!isChunk(3));
}

void TestStyles::toolBoxTab_gradientShade_data()
{
    QTest::addColumn<int>("iState");
    QTest::addColumn<int>("iShade");
    QTest::newRow("normal") << int(QStyle::State_Enabled) << 0;
    QTest::newRow("hovered") << int(QStyle::State_Enabled | QStyle::State_MouseOver) << 10;
    QTest::newRow("pressed") << int(QStyle::State_Enabled | QStyle::State_Sunken) << -20;
    QTest::newRow("pressed and hovered")
        << int(QStyle::State_Enabled | QStyle::State_Sunken | QStyle::State_MouseOver) << -10;
    QTest::newRow("selected") << int(QStyle::State_Enabled | QStyle::State_Selected) << -20;
    QTest::newRow("selected and hovered")
        << int(QStyle::State_Enabled | QStyle::State_Selected | QStyle::State_MouseOver) << -20;
}

void TestStyles::toolBoxTab_gradientShade()
{
    QFETCH(int, iState);
    QFETCH(int, iShade);
    QStyleOptionToolBox clOption;
    clOption.rect = QRect(0, 0, 100, 101);
    clOption.state = QStyle::State(iState);
    QImage clImage = canvas(clOption.rect.size());
    {
        QPainter clPainter(&clImage);
        pclBasic->drawControl(QStyle::CE_ToolBoxTab, &clOption, &clPainter);
    }
    const auto grey = [iShade](int iLevel) {
        const int iValue = qBound(0, iLevel + iShade, 255);
        return QColor(iValue, iValue, iValue);
    };
    QCOMPARE_COLOR(clImage.pixelColor(50, 50), grey(225));
    QVERIFY(near(clImage.pixelColor(50, 0), grey(245), 4));
    QVERIFY(near(clImage.pixelColor(50, 100), grey(205), 4));
    // Lighter at the top than at the bottom.
    QVERIFY(clImage.pixelColor(50, 10).red() > clImage.pixelColor(50, 90).red());
}

void TestStyles::checkBoxIndicator_checkMarkOnlyWhenOn()
{
    QStyleOptionButton clOption;
    clOption.rect = QRect(0, 0, 13, 13);
    clOption.state = QStyle::State_Enabled | QStyle::State_Off;
    QImage clOff = canvas(clOption.rect.size());
    {
        QPainter clPainter(&clOff);
        pclBasic->drawPrimitive(QStyle::PE_IndicatorCheckBox, &clOption, &clPainter);
    }
    clOption.state = QStyle::State_Enabled | QStyle::State_On;
    QImage clOn = canvas(clOption.rect.size());
    {
        QPainter clPainter(&clOn);
        pclBasic->drawPrimitive(QStyle::PE_IndicatorCheckBox, &clOption, &clPainter);
    }
    // Light frame outside, grey frame inside, gradient in the middle.
    QCOMPARE_COLOR(clOff.pixelColor(0, 6), QColor(Qt::lightGray));
    QCOMPARE_COLOR(clOff.pixelColor(1, 6), QColor(Qt::gray));
    QVERIFY(darkest(clOff, QRect(2, 2, 9, 9)) > 150);
    // The mark: first stroke 3 pixels below the top of the centred 7-pixel square (at y = 3).
    QCOMPARE(darkest(clOn, QRect(3, 6, 1, 3)), 0);
    QVERIFY(darkest(clOn, QRect(2, 2, 9, 9)) == 0);
}

void TestStyles::groupBox_frameSkipsTitle()
{
    QWidget clHolder;
    clHolder.setFixedSize(220, 120);
    QGroupBox clGroup(QStringLiteral("Title"), &clHolder);
    clGroup.setGeometry(10, 10, 200, 100);
    QStyleOptionGroupBox clOption;
    clOption.initFrom(&clGroup);
    clOption.rect = QRect(0, 0, 200, 100);
    clOption.text = clGroup.title();
    clOption.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    clOption.textAlignment = Qt::AlignLeft;
    clOption.lineWidth = 1;
    QImage clImage = canvas(clOption.rect.size(), Qt::white);
    {
        QPainter clPainter(&clImage);
        pclBasic->drawComplexControl(QStyle::CC_GroupBox, &clOption, &clPainter, &clGroup);
    }
    const QRect clFrame
        = pclBasic->subControlRect(QStyle::CC_GroupBox, &clOption, QStyle::SC_GroupBoxFrame, &clGroup);
    const QRect clLabel
        = pclBasic->subControlRect(QStyle::CC_GroupBox, &clOption, QStyle::SC_GroupBoxLabel, &clGroup);
    const QColor clLine(120, 120, 120);
    QCOMPARE_COLOR(clImage.pixelColor(clFrame.left(), clFrame.center().y()), clLine);
    // One pixel wide, inside the frame rectangle.
    QCOMPARE_COLOR(clImage.pixelColor(clFrame.right(), clFrame.center().y()), clLine);
    QCOMPARE_COLOR(clImage.pixelColor(clFrame.center().x(), clFrame.bottom()), clLine);
    QCOMPARE_COLOR(clImage.pixelColor(clFrame.left() + 1, clFrame.center().y()), QColor(Qt::white));
    // Right of the title the top line is drawn; under the title it is not.
    QCOMPARE_COLOR(clImage.pixelColor(clFrame.right() - 5, clFrame.top()), clLine);
    if (clLabel.contains(clLabel.center().x(), clFrame.top()))
        QVERIFY(clImage.pixelColor(clLabel.center().x(), clFrame.top()) != clLine);
    QVERIFY(darkest(clImage, clLabel) < 100); // the title text itself
}

void TestStyles::styledPanelFrame_outlineOfLineWidth_data()
{
    QTest::addColumn<int>("iLineWidth");
    QTest::newRow("1") << 1;
    QTest::newRow("2") << 2;
    QTest::newRow("3") << 3;
}

void TestStyles::styledPanelFrame_outlineOfLineWidth()
{
    QFETCH(int, iLineWidth);
    QStyleOptionFrame clOption;
    clOption.rect = QRect(0, 0, 40, 30);
    clOption.state = QStyle::State_Enabled;
    clOption.frameShape = QFrame::StyledPanel;
    clOption.lineWidth = iLineWidth;
    QImage clImage = canvas(clOption.rect.size(), Qt::white);
    {
        QPainter clPainter(&clImage);
        pclBasic->drawControl(QStyle::CE_ShapedFrame, &clOption, &clPainter);
    }
    const QColor clLine(120, 120, 120);
    // Exactly lw pixels on each side, inside the rectangle.
    for (int i = 0; i < iLineWidth; ++i) {
        QCOMPARE_COLOR(clImage.pixelColor(i, 15), clLine);
        QCOMPARE_COLOR(clImage.pixelColor(39 - i, 15), clLine);
        QCOMPARE_COLOR(clImage.pixelColor(20, i), clLine);
        QCOMPARE_COLOR(clImage.pixelColor(20, 29 - i), clLine);
    }
    QCOMPARE_COLOR(clImage.pixelColor(iLineWidth, 15), QColor(Qt::white));
    QCOMPARE_COLOR(clImage.pixelColor(39 - iLineWidth, 15), QColor(Qt::white));
    if (iLineWidth == 1)
        QCOMPARE_COLOR(clImage.pixelColor(0, 0), clLine); // wider lines have bevelled corners
}

QTEST_MAIN(TestStyles)
#include "tst_styles.moc"

void TestStyles::slider_disabledIsDrawnAtHalfOpacity()
{
    const QImage clHandle(QStringLiteral(":/slider/handle2"));
    QSlider clSlider(Qt::Horizontal);
    clSlider.setStyle(pclBasic);
    clSlider.setRange(0, 10);
    clSlider.resize(150, clHandle.height());

    QStyleOptionSlider clOption;
    clOption.initFrom(&clSlider);
    clOption.orientation = Qt::Horizontal;
    clOption.minimum = 0;
    clOption.maximum = 10;
    clOption.subControls = QStyle::SC_All;
    const QRect clHandleRect
        = pclBasic->subControlRect(QStyle::CC_Slider, &clOption, QStyle::SC_SliderHandle, &clSlider);
    const QPoint clProbe = clHandleRect.topLeft() + QPoint(clHandle.width() / 2, clHandle.height() / 2);
    const QColor clBackground(Qt::white);

    QImage clEnabled = canvas(clSlider.size(), clBackground);
    {
        QPainter clPainter(&clEnabled);
        pclBasic->drawComplexControl(QStyle::CC_Slider, &clOption, &clPainter, &clSlider);
    }
    clOption.state &= ~QStyle::State_Enabled;
    QImage clDisabled = canvas(clSlider.size(), clBackground);
    {
        QPainter clPainter(&clDisabled);
        pclBasic->drawComplexControl(QStyle::CC_Slider, &clOption, &clPainter, &clSlider);
    }
    const QRgb uiHandle = clHandle.pixel(clHandle.width() / 2, clHandle.height() / 2);
    QCOMPARE_COLOR(clEnabled.pixelColor(clProbe), over(uiHandle, clBackground));
    // Faded: every layer at half strength, so the handle sits between its own colour and white.
    const QColor clFaded = clDisabled.pixelColor(clProbe);
    const QColor clFull = clEnabled.pixelColor(clProbe);
    QVERIFY(clFaded != clFull);
    QVERIFY(clFaded.red() >= clFull.red() && clFaded.green() >= clFull.green()
        && clFaded.blue() >= clFull.blue());
}
