#pragma once

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUuid>
#include <QVariant>
#include <QVariantMap>

// The command record passed between every layer: "CMD" (QUuid), "ID" (routing value, opaque to the
// camera layer), "PARAM1", "PARAM2" and, in answers, "ERROR" (int, 0 = success).
using ZK_CMD = QVariantMap;

// All current camera settings keyed by the camera's setting key.
using ClAllSettings = QVariantMap;

// A batch of camera notifications: (type, param) in the order the camera listed them.
using ClNotifyList = QList<QPair<QString, QString>>;

namespace ZkKey {
inline const QString CMD = QStringLiteral("CMD");
inline const QString ID = QStringLiteral("ID");
inline const QString PARAM1 = QStringLiteral("PARAM1");
inline const QString PARAM2 = QStringLiteral("PARAM2");
inline const QString ERROR = QStringLiteral("ERROR");
// Stamped by the session manager on the requests it counts and handed back in the answer, so it
// can tell the answers of a closed session from those of the current one.
inline const QString ROUND = QStringLiteral("ROUND");
} // namespace ZkKey

// Error codes carried in "ERROR" besides the camera's own "rval".
namespace ZkError {
constexpr int Success = 0;
constexpr int NoRval = -1;
constexpr int CameraRefused = -4;
constexpr int Timeout = -1000;
constexpr int TransferFailed = -1001;
constexpr int NotJson = -1002;
constexpr int HttpStatus = -1003;
constexpr int NoHandle = -1004;
// Answer to a command identity the worker does not know; no camera answer uses it.
constexpr int UnknownCommand = -1005;
} // namespace ZkError

// Registers "ZK_CMD", "ClAllSettings", "ClNotifyList" (and the pair and list types under them)
// with the meta-type system, so they cross threads; once per process, whoever calls it first.
void zkRegisterMetaTypes();

// "CMD" of a record as a QUuid; the null QUuid when absent or not convertible.
inline QUuid zkCommand(const ZK_CMD& clCmd)
{
    const QVariant clValue = clCmd.value(ZkKey::CMD);
    if (clValue.canConvert<QUuid>())
        return clValue.value<QUuid>();
    return QUuid();
}

// A component's own command: "CMD" the identity and "ID" a pointer to the component, by which it
// knows the answer again (zkIsFrom).
inline ZK_CMD zkOwnCommand(const QUuid& clCommand, QObject* pclOwner)
{
    ZK_CMD clCmd;
    clCmd.insert(ZkKey::CMD, QVariant::fromValue(clCommand));
    clCmd.insert(ZkKey::ID, QVariant::fromValue(pclOwner));
    return clCmd;
}

// The record's "ID" points to this component.
inline bool zkIsFrom(const ZK_CMD& clCmd, const QObject* pclOwner)
{
    const QVariant clId = clCmd.value(ZkKey::ID);
    return clId.userType() == QMetaType::QObjectStar && clId.value<QObject*>() == pclOwner;
}

// "ERROR" of an answer as an int; a missing or non-integer value reads as 0.
inline int zkError(const ZK_CMD& clCmd)
{
    bool bOk = false;
    const int iErr = clCmd.value(ZkKey::ERROR).toInt(&bOk);
    return bOk ? iErr : 0;
}
