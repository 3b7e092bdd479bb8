#pragma once

#include "shell/ClNodeWidget.h"

class ClKD4Mgr;
class ClLiveWidget;
class ClSettingWidget;
class ClUpdateWidget;
class QStackedLayout;

// Root of the request routing tree and the main window's only child: a stack of pages, one shown
// at a time (0 the main page with live view and settings panel, 1 the update page). It owns the
// session manager, wires it to the live view and the settings panel, and connects to the camera
// once by itself when it is built. Ctrl+S anywhere in the window saves the live picture on screen
// as the camera sent it.
class ClMainContentWidget : public ClNodeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClMainContentWidget)

public:
    explicit ClMainContentWidget(QWidget* pclParent = nullptr);

    // Ends the camera session before the window closes (waits at most 10 seconds for the camera).
    void stopSession();

    ClKD4Mgr* sessionManager() const { return pclKD4Mgr; }
    ClLiveWidget* liveWidget() const { return pclLiveWidget; }
    ClSettingWidget* settingWidget() const { return pclSettingWidget; }
    ClUpdateWidget* updateWidget() const { return pclUpdateWidget; }
    int currentPage() const;

private slots:
    void slotRecvResponse(ZK_CMD clCmd);
    void slotStartSession();
    void slotEscapeSession();
    void slotStartedSession(ClAllSettings clSettings);
    void slotFinishedSession();
    void slotSetPage(int iPage);
    void slotUpdate();
    void slotLostSession();
    void slotPolledSettings(ClAllSettings clSettings);
    void slotSaveFrame();

private:
    // The three steps that follow every end of a session: connect page, empty view, no grid.
    void resetToDisconnected();

    ClKD4Mgr* pclKD4Mgr = nullptr;
    QStackedLayout* pclPageStack = nullptr;
    ClLiveWidget* pclLiveWidget = nullptr;
    ClSettingWidget* pclSettingWidget = nullptr;
    ClUpdateWidget* pclUpdateWidget = nullptr;
};
