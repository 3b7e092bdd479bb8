// kd4-soak: the program as kd4tool starts it, with a scripted user who keeps connecting, switching
// pages and changing settings with the mouse for as long as the program runs. scripts/soak.sh runs
// it against kd4-camsim while injecting faults, and ends it with SIGTERM like any program.
// At the end it prints what it did and how many live frames the window was given.

#include "app/ClMainContentWidget.h"
#include "app/ClMainWidget.h"
#include "app/ClStartup.h"
#include "session/ClKD4Mgr.h"
#include "settings/ClSettingWidget.h"
#include "tests/app/MainTestSupport.h"
#include "tests/support/WidgetSupport.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <random>
#include <vector>

namespace {

class ClSoakUser : public QObject
{
public:
    ClSoakUser(ClMainWidget* pclWindow, unsigned uSeed)
        : QObject(pclWindow)
        , pclWindow(pclWindow)
        , clRandom(uSeed)
    {
        connect(content()->sessionManager(), &ClKD4Mgr::sigImage, this, [this] { ++llFrames; });
        clTimer.setSingleShot(true);
        connect(&clTimer, &QTimer::timeout, this, &ClSoakUser::act);
        clTimer.start(1000);
    }
    ~ClSoakUser() override
    {
        std::printf("kd4-soak: connects %d, setting changes %d, frames shown %lld\n", iConnects, iChanges,
            static_cast<long long>(llFrames));
        std::fflush(stdout);
    }

private:
    ClMainContentWidget* content() const { return pclWindow->contentWidget(); }
    int pick(int iCount) { return std::uniform_int_distribution<int>(0, iCount - 1)(clRandom); }

    void act()
    {
        ClSettingWidget* pclPanel = content()->settingWidget();
        QPushButton* pclConnect = MainTest::connectButton(pclPanel);
        if (MainTest::panelPage(pclPanel) == 0) {
            if (pclConnect->isEnabled()) {
                ++iConnects;
                QTest::mouseClick(pclConnect, Qt::LeftButton);
            }
        } else if (pick(4) == 0) {
            Kd4Test::openTab(
                pclPanel, pick(2) ? QStringLiteral("Simple settings") : QStringLiteral("Detail settings"));
        } else {
            QList<QComboBox*> clCombos;
            for (QComboBox* pclCombo : pclPanel->findChildren<QComboBox*>()) {
                if (pclCombo->isVisible() && pclCombo->isEnabled() && pclCombo->count() > 1)
                    clCombos.append(pclCombo);
            }
            if (!clCombos.isEmpty()) {
                QComboBox* pclCombo = clCombos.at(pick(clCombos.size()));
                ++iChanges;
                // The window may go while the change is under way (SIGTERM): the guard notices.
                QPointer<QObject> clAlive(this);
                Kd4Test::chooseComboEntry(pclCombo, pclCombo->itemText(pick(pclCombo->count())));
                if (!clAlive)
                    return;
            }
        }
        clTimer.start(300 + pick(1200));
    }

    ClMainWidget* pclWindow;
    std::mt19937 clRandom;
    QTimer clTimer;
    int iConnects = 0;
    int iChanges = 0;
    qint64 llFrames = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    // "--seed N" is ours; the program refuses options it does not know, so it does not see it.
    unsigned uSeed = 1;
    std::vector<char*> clArgv { argv[0] };
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--seed") == 0 && i + 1 < argc)
            uSeed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else
            clArgv.push_back(argv[i]);
    }
    int iArgc = int(clArgv.size());
    clArgv.push_back(nullptr);
    return ClStartup::run(
        iArgc, clArgv.data(), [uSeed](ClMainWidget* pclWindow) { new ClSoakUser(pclWindow, uSeed); });
}
