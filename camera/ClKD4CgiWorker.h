#pragma once

#include "camera/ZK_CMD.h"

#include <QPair>
#include <QString>
#include <QThread>

#include <memory>
#include <string>
#include <unordered_map>

class raptor_service;
struct Notification_Rsp;

// Runs one camera command per start on a thread of its own: turns the command record into the
// camera messages that carry it out and emits one answer record when it is done.
class ClKD4CgiWorker : public QThread
{
    Q_OBJECT
    Q_DISABLE_COPY(ClKD4CgiWorker)

public:
    // How a setting's value travels as text, decided by its key.
    enum class ValueType
    {
        Text,
        DateTime,
        Integer,
    };

    explicit ClKD4CgiWorker(const QString& strAddress);
    ~ClKD4CgiWorker() override;

    // Starts the thread for clCmd; false (and clCmd dropped) while a command still runs.
    bool startCommand(const ZK_CMD& clCmd);

    // Executes one command on the calling thread and returns its answer, as run() does on the
    // worker's own thread; never while that thread runs a command.
    ZK_CMD execute(const ZK_CMD& clCmd);
    // All settings as the camera's own texts, read as CMD_GET_ALL_SETTINGS reads them (again after
    // a time-out); returns the error code, clTable is filled only on success. Calling thread.
    int readAllSettings(std::unordered_map<std::string, std::string>& clTable);

    QString getAddress() const;
    // Sends the closing message of the open session at once, within iTimeoutSec, from any thread
    // and while a command is still running; true when the camera took it.
    bool closeSessionNow(int iTimeoutSec);
    // One notification long-poll (hold time 2 s) on the caller's thread; empty on failure.
    ClNotifyList pollNotifications();

    static ValueType valueType(const QString& strKey);
    // (key, value) as the camera's texts; two empty texts when the value does not convert.
    static QPair<QString, QString> toWireValue(const QString& strKey, const QVariant& clValue);
    static QVariant fromWireValue(const QString& strKey, const QString& strText);
    static ClAllSettings toAllSettings(const std::unordered_map<std::string, std::string>& clTable);
    // The (type, param) pairs of a notification poll's reply; empty when the poll failed.
    static ClNotifyList toNotifyList(const Notification_Rsp& clRsp);

signals:
    void sigResponse(ZK_CMD clCmd);

protected:
    void run() override;

private:
    int startSession();
    int startLive(const QString& strStreamType, QVariant& clResult);
    int setSetting(const QString& strKey, const QVariant& clValue, QVariant& clResult);
    int getAllSettings(QVariant& clResult);
    // One set of a text value, without retries.
    int setPlain(const QString& strKey, const QString& strValue);
    int setWithRetries(const std::string& strKey, const std::string& strValue);

    ZK_CMD clCurrentCmd;
    std::unique_ptr<raptor_service> pclService;
};
