// The body of a camera reply, as libcurl hands it over after an HTTP 200 answer, through the
// codec's reading into the reply object and the "rval", "msg_id" and "param" every message
// takes from it.
#include "fuzz/FuzzSupport.h"

#include "camera/ClCameraCodec.h"
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
    const picojson::object clReply = ClCameraCodec::parseReply(strBody);

    const int iRval = ClCameraCodec::readNumber(clReply, "rval");
    ClCameraCodec::readNumber(clReply, "msg_id");
    ClCameraCodec::readText(clReply, "param");
    if (clReply.find("rval") == clReply.end())
        kd4fuzz::require(iRval == ZkError::NoRval, "a reply without rval reads as -1");

    // What the reader accepted reads back the same after writing it out again, synthetic replies
    // included: nothing in a reply object is lost or changed by the parser's own writer.
    const std::string strAgain = picojson::value(clReply).serialize();
    const picojson::object clAgain = ClCameraCodec::parseReply(strAgain);
    kd4fuzz::require(picojson::value(clAgain) == picojson::value(clReply), "reply object round trip");
    return 0;
}
