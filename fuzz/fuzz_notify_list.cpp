// A reply to the notification poll (message 4097), from its body through the notification
// entries the codec reads to the ClNotifyList the listener hands to the session manager.
#include "fuzz/FuzzSupport.h"

#include "camera/ClCameraCodec.h"
#include "camera/ClKD4CgiWorker.h"
#include "camera/ZK_CMD.h"

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
    const Notification_Rsp clRsp = ClCameraCodec::readNotification(ClCameraCodec::parseReply(strBody));
    kd4fuzz::require(clRsp.msg_id == ClCameraCodec::ZK_NOTIFICATION_POLL, "msg_id is always 4097");
    if (clRsp.rval != ZkError::Success)
        kd4fuzz::require(clRsp.listing.empty(), "a failed poll carries no entries");

    const ClNotifyList clList = ClKD4CgiWorker::toNotifyList(clRsp);
    kd4fuzz::require(clList.size() == static_cast<int>(clRsp.listing.size()), "one pair per entry");
    for (int i = 0; i < clList.size(); ++i) {
        const NotificationEntry& clEntry = clRsp.listing[static_cast<size_t>(i)];
        // Malformed UTF-8 turns into replacement characters, at most three bytes for each byte.
        kd4fuzz::require(clList[i].first.isEmpty() == clEntry.type.empty()
                && clList[i].first.toUtf8().size() <= static_cast<int>(clEntry.type.size()) * 3,
            "the type text comes from the entry");
        kd4fuzz::require(clList[i].second.isEmpty() == clEntry.param.empty()
                && clList[i].second.toUtf8().size() <= static_cast<int>(clEntry.param.size()) * 3,
            "the param text comes from the entry");
    }
    return 0;
}
