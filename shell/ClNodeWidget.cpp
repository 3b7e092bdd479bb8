#include "shell/ClNodeWidget.h"

#include <QMetaType>

using ClRouteStack = QStack<ClNodeWidget*>;

ClNodeWidget::ClNodeWidget(QWidget* pclParent)
    : QWidget(pclParent)
{
    registerMetaTypes();
}

void ClNodeWidget::registerMetaTypes()
{
    // The command record's types belong to the camera layer, which registers them.
    zkRegisterMetaTypes();
    static const bool bRegistered = [] {
        qRegisterMetaType<ClNodeWidget*>("ClNodeWidget*");
        qRegisterMetaType<ClRouteStack>("QStack<ClNodeWidget*>");
        return true;
    }();
    Q_UNUSED(bRegistered)
}

void ClNodeWidget::addNode(ClNodeWidget* pclNode)
{
    clNodeList.append(pclNode);
    connect(pclNode, &ClNodeWidget::sigSendRequest, this, &ClNodeWidget::slotSendRequest);
    connect(pclNode, &ClNodeWidget::sigEndSession, this, &ClNodeWidget::sigEndSession);
}

void ClNodeWidget::sendRequest(const QUuid& clCommand, ZK_CMD clCmd)
{
    clCmd.insert(ZkKey::CMD, QVariant::fromValue(clCommand));
    slotSendRequest(clCmd);
}

void ClNodeWidget::slotSendRequest(ZK_CMD clCmd)
{
    ClRouteStack clRoute;
    const QVariant clId = clCmd.value(ZkKey::ID);
    if (clId.canConvert<ClRouteStack>())
        clRoute = clId.value<ClRouteStack>();
    clRoute.push(this);
    clCmd.insert(ZkKey::ID, QVariant::fromValue(clRoute));
    emit sigSendRequest(clCmd);
}

void ClNodeWidget::routeResponse(ZK_CMD clCmd)
{
    const QVariant clId = clCmd.value(ZkKey::ID);
    if (!clId.canConvert<ClRouteStack>())
        return;
    ClRouteStack clRoute = clId.value<ClRouteStack>();
    if (clRoute.isEmpty())
        return;

    ClNodeWidget* pclTop = clRoute.pop();
    clCmd.insert(ZkKey::ID, QVariant::fromValue(clRoute));
    if (pclTop != this)
        return;

    if (!clRoute.isEmpty()) {
        ClNodeWidget* pclNext = clRoute.top();
        if (clNodeList.contains(pclNext))
            pclNext->routeResponse(clCmd);
        return;
    }

    // This node sent the request. A camera that no longer knows the session ends it instead; a
    // transfer that failed or timed out is the sender's failure to report (its change may or may
    // not have reached the camera, so it reads the settings again).
    if (zkError(clCmd) == ZkError::CameraRefused) {
        emit sigEndSession();
        return;
    }
    recvResponse(clCmd);
}

void ClNodeWidget::recvResponse(ZK_CMD clCmd)
{
    Q_UNUSED(clCmd)
}
