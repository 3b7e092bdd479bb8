// A reply to "get all current settings" (message 3), from its body through the settings table the
// codec reads to the ClAllSettings snapshot the command worker answers with, typed keys
// included, and back to the camera's texts as a settings page would send a value again.
#include "fuzz/FuzzSupport.h"

#include "camera/ClCameraCodec.h"
#include "camera/ClKD4CgiWorker.h"
#include "camera/ZK_CMD.h"

#include <QDateTime>

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerInitialize(int* pArgc, char*** pArgv)
{
    kd4fuzz::startApplication(pArgc, pArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t size)
{
    const std::string strBody(reinterpret_cast<const char*>(pData), size);
    const AllSettings_Rsp clRsp = ClCameraCodec::readAllSettings(ClCameraCodec::parseReply(strBody));
    kd4fuzz::require(clRsp.msg_id == ClCameraCodec::ZK_GET_ALL_CURRENT_SETTINGS, "msg_id is always 3");
    if (clRsp.rval != ZkError::Success)
        kd4fuzz::require(clRsp.param.empty(), "a failed reply carries no table");

    const ClAllSettings clSettings = ClKD4CgiWorker::toAllSettings(clRsp.param);
    // Keys that differ only in malformed UTF-8 may fall together; nothing is ever added.
    kd4fuzz::require(static_cast<size_t>(clSettings.size()) <= clRsp.param.size(), "no extra keys");

    for (auto it = clSettings.cbegin(); it != clSettings.cend(); ++it) {
        const QString& strKey = it.key();
        const QVariant& clValue = it.value();
        switch (ClKD4CgiWorker::valueType(strKey)) {
        case ClKD4CgiWorker::ValueType::DateTime:
            kd4fuzz::require(clValue.userType() == QMetaType::QDateTime, "camera_clock is a QDateTime");
            break;
        case ClKD4CgiWorker::ValueType::Integer:
            kd4fuzz::require(clValue.userType() == QMetaType::Int, "volume and audio keys are ints");
            break;
        case ClKD4CgiWorker::ValueType::Text:
            kd4fuzz::require(clValue.userType() == QMetaType::QString, "other keys are texts");
            break;
        }

        // The value goes back to the camera in the form it came in.
        const QPair<QString, QString> clWire = ClKD4CgiWorker::toWireValue(strKey, clValue);
        if (clValue.userType() == QMetaType::QDateTime && !clValue.toDateTime().isValid()) {
            kd4fuzz::require(clWire.first.isEmpty(), "an invalid clock is not sent");
            continue;
        }
        kd4fuzz::require(clWire.first == strKey, "the key is sent as read");
        kd4fuzz::require(ClKD4CgiWorker::fromWireValue(strKey, clWire.second) == clValue,
            "a value read from the camera survives being sent back");
    }
    return 0;
}
