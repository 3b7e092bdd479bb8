// The main window, the shared message dialog and a gallery of every control the styles draw, in
// each state.

#include "tools/screenshot/Shots.h"

#include "app/ClAppCheck.h"
#include "app/ClMainWidget.h"
#include "app/ClStartup.h"
#include "shell/ClBasicStyle.h"
#include "shell/ClDialogHelpers.h"
#include "shell/ClSettingItemStyle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QToolBox>
#include <QVBoxLayout>

namespace {

// Hover without a mouse: the flag Qt sets when the pointer enters a widget.
template <typename T> T* hovered(T* pclWidget)
{
    pclWidget->setAttribute(Qt::WA_UnderMouse, true);
    return pclWidget;
}

QWidget* buttonRow(const QString& strCaption, QStyle* pclStyle, QWidget* pclParent)
{
    auto* pclRow = new QWidget(pclParent);
    auto* pclLayout = new QHBoxLayout(pclRow);
    pclLayout->addWidget(new QLabel(strCaption, pclRow));
    auto* pclNormal = new QPushButton(QStringLiteral("Normal"), pclRow);
    auto* pclHover = hovered(new QPushButton(QStringLiteral("Hover"), pclRow));
    auto* pclPressed = new QPushButton(QStringLiteral("Pressed"), pclRow);
    pclPressed->setDown(true);
    auto* pclDisabled = new QPushButton(QStringLiteral("Disabled"), pclRow);
    pclDisabled->setEnabled(false);
    for (QPushButton* pclButton : { pclNormal, pclHover, pclPressed, pclDisabled }) {
        if (pclStyle)
            pclButton->setStyle(pclStyle);
        pclLayout->addWidget(pclButton);
    }
    pclLayout->addStretch();
    return pclRow;
}

QWidget* buildGallery(QStyle* pclItemStyle)
{
    auto* pclPage = new QWidget;
    pclPage->setAutoFillBackground(true);
    auto* pclGrid = new QVBoxLayout(pclPage);

    pclGrid->addWidget(buttonRow(QStringLiteral("ClBasicStyle"), nullptr, pclPage));
    pclGrid->addWidget(buttonRow(QStringLiteral("ClSettingItemStyle"), pclItemStyle, pclPage));

    // Combo boxes: basic and setting-row style, enabled and disabled.
    auto* pclComboRow = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        auto* pclCombo = new QComboBox(pclPage);
        pclCombo->addItems({ QStringLiteral("1080p 30fps"), QStringLiteral("720p 60fps") });
        pclCombo->setFixedWidth(150);
        if (i >= 2)
            pclCombo->setStyle(pclItemStyle);
        if (i % 2)
            pclCombo->setEnabled(false);
        pclComboRow->addWidget(pclCombo);
    }
    pclComboRow->addStretch();
    pclGrid->addLayout(pclComboRow);

    // Spin boxes, one with its up arrow pressed.
    auto* pclSpinRow = new QHBoxLayout;
    auto* pclSpin = new QSpinBox(pclPage);
    pclSpin->setRange(0, 60);
    pclSpin->setValue(12);
    pclSpin->setFixedWidth(60);
    pclSpin->setAlignment(Qt::AlignCenter);
    auto* pclSpinHover = hovered(new QSpinBox(pclPage));
    pclSpinHover->setFixedWidth(60);
    auto* pclSpinDisabled = new QSpinBox(pclPage);
    pclSpinDisabled->setEnabled(false);
    pclSpinDisabled->setFixedWidth(60);
    pclSpinRow->addWidget(pclSpin);
    pclSpinRow->addWidget(pclSpinHover);
    pclSpinRow->addWidget(pclSpinDisabled);

    // Sliders.
    for (const int iValue : { 0, 5, 10 }) {
        auto* pclSlider = new QSlider(Qt::Horizontal, pclPage);
        pclSlider->setRange(0, 10);
        pclSlider->setValue(iValue);
        pclSlider->setFixedWidth(150);
        pclSpinRow->addWidget(pclSlider);
    }
    pclSpinRow->addStretch();
    pclGrid->addLayout(pclSpinRow);

    // Radio and check boxes.
    auto* pclRadioRow = new QHBoxLayout;
    auto* pclRadioOn = new QRadioButton(QStringLiteral("Radio on"), pclPage);
    pclRadioOn->setChecked(true);
    auto* pclRadioOff = new QRadioButton(QStringLiteral("Radio off"), pclPage);
    auto* pclRadioHover = hovered(new QRadioButton(QStringLiteral("Hover"), pclPage));
    pclRadioHover->setAutoExclusive(false);
    auto* pclRadioDisabled = new QRadioButton(QStringLiteral("Disabled"), pclPage);
    pclRadioDisabled->setEnabled(false);
    auto* pclRadioTwoLines = new QRadioButton(QStringLiteral("720p / 120fps\nHigh Speed"), pclPage);
    pclRadioTwoLines->setAutoExclusive(false);
    auto* pclCheckOn = new QCheckBox(QStringLiteral("Check on"), pclPage);
    pclCheckOn->setChecked(true);
    auto* pclCheckOff = new QCheckBox(QStringLiteral("Check off"), pclPage);
    for (QWidget* pclWidget : std::initializer_list<QWidget*> { pclRadioOn, pclRadioOff, pclRadioHover,
             pclRadioDisabled, pclRadioTwoLines, pclCheckOn, pclCheckOff })
        pclRadioRow->addWidget(pclWidget);
    pclRadioRow->addStretch();
    pclGrid->addLayout(pclRadioRow);

    // Group boxes and progress bars.
    auto* pclGroupRow = new QHBoxLayout;
    auto* pclGroup = new QGroupBox(QStringLiteral("Group box"), pclPage);
    auto* pclGroupLayout = new QVBoxLayout(pclGroup);
    pclGroupLayout->addWidget(new QLabel(QStringLiteral("Inside the group"), pclGroup));
    auto* pclCheckGroup = new QGroupBox(QStringLiteral("Checkable group"), pclPage);
    pclCheckGroup->setCheckable(true);
    auto* pclCheckGroupLayout = new QVBoxLayout(pclCheckGroup);
    pclCheckGroupLayout->addWidget(new QLabel(QStringLiteral("Inside"), pclCheckGroup));
    pclGroupRow->addWidget(pclGroup);
    pclGroupRow->addWidget(pclCheckGroup);

    auto* pclBars = new QVBoxLayout;
    const struct
    {
        int iMin, iMax, iValue;
    } aBars[] = { { 0, 100, 0 }, { 0, 100, 35 }, { 0, 100, 100 }, { 5, 5, 5 }, { 50, 100, 75 } };
    for (const auto& stBar : aBars) {
        auto* pclBar = new QProgressBar(pclPage);
        pclBar->setRange(stBar.iMin, stBar.iMax);
        pclBar->setValue(stBar.iValue);
        pclBar->setFixedSize(300, 20);
        pclBars->addWidget(pclBar);
    }
    pclGroupRow->addLayout(pclBars);
    pclGroupRow->addStretch();
    pclGrid->addLayout(pclGroupRow);

    // Scroll bars, the add line of one shown pressed is not reachable without a mouse: the normal
    // look of both orientations, plus a scroll area with a frame.
    auto* pclScrollRow = new QHBoxLayout;
    auto* pclHorizontal = new QScrollBar(Qt::Horizontal, pclPage);
    pclHorizontal->setRange(0, 100);
    pclHorizontal->setValue(30);
    pclHorizontal->setFixedWidth(250);
    auto* pclVertical = new QScrollBar(Qt::Vertical, pclPage);
    pclVertical->setRange(0, 100);
    pclVertical->setValue(70);
    pclVertical->setFixedHeight(120);
    auto* pclArea = new QScrollArea(pclPage);
    auto* pclBig = new QLabel(QStringLiteral("A scroll area\nwith content larger\nthan itself"), pclArea);
    pclBig->setMinimumSize(400, 300);
    pclArea->setWidget(pclBig);
    pclArea->setFixedSize(200, 120);
    pclScrollRow->addWidget(pclHorizontal, 0, Qt::AlignTop);
    pclScrollRow->addWidget(pclVertical);
    pclScrollRow->addWidget(pclArea);

    // Tool box with three tabs: selected, hovered, normal.
    auto* pclToolBox = new QToolBox(pclPage);
    pclToolBox->addItem(new QLabel(QStringLiteral("First page"), pclToolBox), QStringLiteral("Selected tab"));
    pclToolBox->addItem(new QLabel(QStringLiteral("Second page"), pclToolBox), QStringLiteral("Hovered tab"));
    pclToolBox->addItem(new QLabel(QStringLiteral("Third page"), pclToolBox), QStringLiteral("Normal tab"));
    pclToolBox->setFixedSize(300, 200);
    const QList<QAbstractButton*> clTabs = pclToolBox->findChildren<QAbstractButton*>();
    if (clTabs.size() > 1)
        hovered(clTabs.at(1));
    pclScrollRow->addWidget(pclToolBox);
    pclScrollRow->addStretch();
    pclGrid->addLayout(pclScrollRow);
    pclGrid->addStretch();
    return pclPage;
}

} // namespace

bool shots::gallery(const QString& strDir, const QString& strCode)
{
    bool bOk = true;
    {
        std::unique_ptr<ClMainWidget> pclWindow = ClStartup::createMainWindow();
        pclWindow->resize(pclWindow->maximumSize().boundedTo(QSize(1218, 620)));
        pclWindow->show();
        bOk &= save(pclWindow.get(), strDir + QStringLiteral("/window-%1.png").arg(strCode));
    }

    ClSettingItemStyle clItemStyle;
    std::unique_ptr<QWidget> pclGallery(buildGallery(&clItemStyle));
    pclGallery->resize(pclGallery->sizeHint().expandedTo(QSize(1000, 0)));
    pclGallery->show();
    bOk &= save(pclGallery.get(), strDir + QStringLiteral("/gallery-%1.png").arg(strCode));
    // The top of the gallery three times enlarged, to see single pixels.
    const QImage clZoom = pclGallery->grab(QRect(0, 0, 700, 420)).toImage().scaled(2100, 1260);
    bOk &= clZoom.save(strDir + QStringLiteral("/gallery-zoom-%1.png").arg(strCode));

    // The shared message dialog with the refusal a second copy shows.
    return saveModal(
               [] { showMessageDialog(nullptr, ClStartup::refusalMessage(ClAppCheck::AlreadyRunning)); },
               strDir + QStringLiteral("/dialog-%1.png").arg(strCode))
        && bOk;
}
