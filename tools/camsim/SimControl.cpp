#include "tools/camsim/SimControl.h"

#include "tools/camsim/CamSim.h"

#include <httplib.h>
#include <picojson.h>

namespace camsim {

namespace {

picojson::value number(std::int64_t llValue)
{
    return picojson::value(llValue);
}

void reply(httplib::Response& res, const picojson::value& clValue, int iStatus = 200)
{
    res.status = iStatus;
    res.set_content(clValue.serialize() + "\n", "application/json");
}

void ok(httplib::Response& res)
{
    picojson::object obj;
    obj["ok"] = picojson::value(true);
    reply(res, picojson::value(obj));
}

void fail(httplib::Response& res, const std::string& strError)
{
    picojson::object obj;
    obj["ok"] = picojson::value(false);
    obj["error"] = picojson::value(strError);
    reply(res, picojson::value(obj), 400);
}

// The request body as a JSON object; an empty body counts as {}.
bool parseBody(const httplib::Request& req, picojson::object& obj, std::string& strError)
{
    if (req.body.find_first_not_of(" \t\r\n") == std::string::npos) {
        obj.clear();
        return true;
    }
    picojson::value clValue;
    strError = picojson::parse(clValue, req.body);
    if (!strError.empty())
        return false;
    if (!clValue.is<picojson::object>()) {
        strError = "body is not a JSON object";
        return false;
    }
    obj = clValue.get<picojson::object>();
    return true;
}

bool intMember(const picojson::object& obj, const char* pKey, int& iValue)
{
    const auto it = obj.find(pKey);
    if (it == obj.end())
        return false;
    if (it->second.is<std::int64_t>()) {
        iValue = static_cast<int>(it->second.get<std::int64_t>());
        return true;
    }
    if (it->second.is<double>()) {
        iValue = static_cast<int>(it->second.get<double>());
        return true;
    }
    return false;
}

bool doubleMember(const picojson::object& obj, const char* pKey, double& dValue)
{
    const auto it = obj.find(pKey);
    if (it == obj.end() || !it->second.is<double>())
        return false;
    dValue = it->second.get<double>();
    return true;
}

bool stringMember(const picojson::object& obj, const char* pKey, std::string& strValue)
{
    const auto it = obj.find(pKey);
    if (it == obj.end() || !it->second.is<std::string>())
        return false;
    strValue = it->second.get<std::string>();
    return true;
}

bool boolMember(const picojson::object& obj, const char* pKey, bool& bValue)
{
    const auto it = obj.find(pKey);
    if (it == obj.end() || !it->second.is<bool>())
        return false;
    bValue = it->second.get<bool>();
    return true;
}

picojson::value messageJson(const LoggedMessage& msg)
{
    picojson::object obj;
    obj["seq"] = number(static_cast<std::int64_t>(msg.seq));
    obj["time_ms"] = number(msg.timeMs);
    obj["raw"] = picojson::value(msg.raw);
    obj["json"] = picojson::value(msg.jsonObject);
    if (msg.hasMsgId)
        obj["msg_id"] = number(msg.msgId);
    if (msg.hasToken)
        obj["token"] = number(msg.token);
    if (msg.hasType) {
        obj["type"] = picojson::value(msg.type);
        obj["type_is_string"] = picojson::value(msg.typeIsString);
    }
    if (msg.hasParam) {
        obj["param"] = picojson::value(msg.param);
        obj["param_is_string"] = picojson::value(msg.paramIsString);
    }
    if (msg.hasTimeout)
        obj["timeout"] = number(msg.timeout);
    obj["answered"] = picojson::value(msg.answered);
    if (msg.answered) {
        obj["http_status"] = number(msg.httpStatus);
        if (msg.hasRval)
            obj["rval"] = number(msg.rval);
    }
    if (!msg.fault.empty())
        obj["fault"] = picojson::value(msg.fault);
    return picojson::value(obj);
}

picojson::value frameJson(const FrameRequest& frame)
{
    picojson::object obj;
    obj["seq"] = number(static_cast<std::int64_t>(frame.seq));
    obj["time_ms"] = number(frame.timeMs);
    obj["status"] = number(frame.status);
    obj["bytes"] = number(static_cast<std::int64_t>(frame.bytes));
    if (frame.status == 200)
        obj["frame"] = number(static_cast<std::int64_t>(frame.frameNumber));
    if (!frame.fault.empty())
        obj["fault"] = picojson::value(frame.fault);
    if (!frame.sha256.empty())
        obj["sha256"] = picojson::value(frame.sha256);
    return picojson::value(obj);
}

// A handler taking the JSON body; answers 400 on a body that is no object.
template <typename F> httplib::Server::Handler withBody(F fnHandle)
{
    return [fnHandle](const httplib::Request& req, httplib::Response& res) {
        picojson::object obj;
        std::string strError;
        if (!parseBody(req, obj, strError)) {
            fail(res, strError);
            return;
        }
        fnHandle(obj, res);
    };
}

} // namespace

void SimControl::install(httplib::Server& clServer, CamSim& clSim)
{
    CamSim* pclSim = &clSim;

    clServer.Get("/sim/state", [pclSim](const httplib::Request&, httplib::Response& res) {
        picojson::object obj;
        obj["address"] = picojson::value(pclSim->address());
        obj["session"] = picojson::value(pclSim->sessionOpen());
        obj["token"] = number(pclSim->sessionToken());
        obj["view_finder"] = picojson::value(pclSim->viewFinderRunning());
        obj["recording"] = picojson::value(pclSim->isRecording());
        obj["fps"] = picojson::value(pclSim->frameRate());
        obj["frames_served"] = number(static_cast<std::int64_t>(pclSim->framesServed()));
        obj["messages"] = number(static_cast<std::int64_t>(pclSim->messageCount()));
        obj["pending_notifications"] = number(static_cast<std::int64_t>(pclSim->pendingNotifications()));
        picojson::object settings;
        for (const auto& entry : pclSim->settings())
            settings[entry.first] = picojson::value(entry.second);
        obj["settings"] = picojson::value(settings);
        reply(res, picojson::value(obj));
    });

    clServer.Get("/sim/log", [pclSim](const httplib::Request&, httplib::Response& res) {
        picojson::array list;
        for (const LoggedMessage& msg : pclSim->messages())
            list.push_back(messageJson(msg));
        reply(res, picojson::value(list));
    });

    clServer.Get("/sim/frame-log", [pclSim](const httplib::Request&, httplib::Response& res) {
        picojson::array list;
        for (const FrameRequest& frame : pclSim->frameRequests())
            list.push_back(frameJson(frame));
        reply(res, picojson::value(list));
    });

    clServer.Post("/sim/log/clear", [pclSim](const httplib::Request&, httplib::Response& res) {
        pclSim->clearLog();
        ok(res);
    });

    clServer.Post("/sim/record/start", [pclSim](const httplib::Request&, httplib::Response& res) {
        pclSim->startRecording();
        ok(res);
    });

    clServer.Post("/sim/record/stop", [pclSim](const httplib::Request&, httplib::Response& res) {
        pclSim->stopRecording();
        ok(res);
    });

    clServer.Post("/sim/session/end", [pclSim](const httplib::Request&, httplib::Response& res) {
        pclSim->endSession();
        ok(res);
    });

    clServer.Post("/sim/battery", withBody([pclSim](const picojson::object& obj, httplib::Response& res) {
        int iLevel = 0;
        if (!intMember(obj, "level", iLevel))
            return fail(res, "\"level\" (number) is required");
        pclSim->setBattery(iLevel);
        ok(res);
    }));

    clServer.Post("/sim/ac", withBody([pclSim](const picojson::object& obj, httplib::Response& res) {
        bool bConnected = false;
        if (!boolMember(obj, "connected", bConnected))
            return fail(res, "\"connected\" (true/false) is required");
        pclSim->setAcConnected(bConnected);
        ok(res);
    }));

    clServer.Post("/sim/firmware", withBody([pclSim](const picojson::object& obj, httplib::Response& res) {
        std::string strVersion;
        if (!stringMember(obj, "version", strVersion))
            return fail(res, "\"version\" (string) is required");
        pclSim->setFirmwareVersion(strVersion);
        ok(res);
    }));

    clServer.Post("/sim/setting", withBody([pclSim](const picojson::object& obj, httplib::Response& res) {
        std::string strKey;
        std::string strValue;
        if (!stringMember(obj, "key", strKey) || !stringMember(obj, "value", strValue))
            return fail(res, "\"key\" and \"value\" (strings) are required");
        pclSim->setSetting(strKey, strValue);
        ok(res);
    }));

    clServer.Post("/sim/notify", withBody([pclSim](const picojson::object& obj, httplib::Response& res) {
        std::string strType;
        std::string strParam;
        if (!stringMember(obj, "type", strType))
            return fail(res, "\"type\" (string) is required");
        stringMember(obj, "param", strParam);
        pclSim->queueNotification(strType, strParam);
        ok(res);
    }));

    clServer.Post("/sim/fault", withBody([pclSim](const picojson::object& obj, httplib::Response& res) {
        int iMsgId = 0;
        std::string strKind;
        if (!intMember(obj, "msg_id", iMsgId) || !stringMember(obj, "kind", strKind))
            return fail(res, "\"msg_id\" (number) and \"kind\" (string) are required");
        Fault fault;
        // A late answer is a delay after which the camera has already acted.
        fault.effectFirst = strKind == "late_answer";
        if (!fault.effectFirst && !faultKindFromName(strKind, fault.kind))
            return fail(res, "unknown kind: " + strKind);
        intMember(obj, "delay_ms", fault.delayMs);
        intMember(obj, "status", fault.httpStatus);
        intMember(obj, "rval", fault.rval);
        intMember(obj, "count", fault.count);
        bool bAppend = false;
        boolMember(obj, "append", bAppend);
        if (bAppend)
            pclSim->addFault(iMsgId, fault);
        else
            pclSim->setFault(iMsgId, fault);
        ok(res);
    }));

    clServer.Post("/sim/fault/clear", [pclSim](const httplib::Request&, httplib::Response& res) {
        pclSim->clearFaults();
        ok(res);
    });

    clServer.Post("/sim/frames", withBody([pclSim](const picojson::object& obj, httplib::Response& res) {
        double dFps = 0;
        if (obj.count("fps")) {
            if (!doubleMember(obj, "fps", dFps) || dFps < 0)
                return fail(res, "\"fps\" must be a number >= 0");
        }
        int iWidth = 0;
        int iHeight = 0;
        const bool bSize = intMember(obj, "width", iWidth) && intMember(obj, "height", iHeight);
        FrameFault fault;
        std::string strKind;
        const bool bFault = stringMember(obj, "fault", strKind);
        if (bFault && !frameFaultKindFromName(strKind, fault.kind))
            return fail(res, "unknown fault: " + strKind);
        if (obj.count("fps"))
            pclSim->setFrameRate(dFps);
        if (bSize)
            pclSim->setFrameSize(iWidth, iHeight);
        if (bFault) {
            intMember(obj, "delay_ms", fault.delayMs);
            intMember(obj, "stall_after", fault.stallAfterBytes);
            intMember(obj, "stall_ms", fault.stallMs);
            intMember(obj, "chunks", fault.chunks);
            intMember(obj, "chunk_pause_ms", fault.chunkPauseMs);
            intMember(obj, "count", fault.count);
            bool bAppend = false;
            boolMember(obj, "append", bAppend);
            if (bAppend)
                pclSim->addFrameFault(fault);
            else
                pclSim->setFrameFault(fault);
        }
        ok(res);
    }));
}

} // namespace camsim
