#include "camera/ClCurlTransport.h"

#include "camera/ClCameraCodec.h"
#include "camera/ClCurlApi.h"
#include "camera/ZK_CMD.h"

#include <QLoggingCategory>
#include <QString>

#include <new>

namespace {

// What goes to the camera and what comes back, for support: shown with kd4tool --debug.
Q_LOGGING_CATEGORY(lcCamera, "kd4.camera", QtInfoMsg)

// Receive buffer of one message. A reply that outgrows the cap, or memory that runs out, marks the
// buffer as failed and stops the transfer, so its partial data is never read.
struct ReceiveBuffer
{
    std::string clData;
    bool bFailed = false;
};

size_t appendReply(char* pData, size_t size, size_t count, void* pUser)
{
    auto* pclBuffer = static_cast<ReceiveBuffer*>(pUser);
    const size_t bytes = size * count;
    if (count != 0 && bytes / count != size) {
        pclBuffer->bFailed = true;
        return 0;
    }
    if (pclBuffer->clData.size() + bytes > ClCurlTransport::MAX_REPLY_BYTES) {
        pclBuffer->bFailed = true;
        return 0;
    }
    try {
        pclBuffer->clData.append(pData, bytes);
    } catch (const std::bad_alloc&) {
        pclBuffer->bFailed = true;
        return 0; // makes libcurl end the transfer with a write error
    }
    return bytes;
}

} // namespace

ClCurlTransport::ClCurlTransport(const std::string& strUrl)
    : strUrl(strUrl)
{
}

picojson::object ClCurlTransport::post(const std::string& strJson, int iTimeoutSec) const
{
    ClCurlApi clApi;
    if (!clApi.resolve())
        return picojson::object();

    ReceiveBuffer clBuffer;
    CURL* pclHandle = clApi.fnEasyInit();
    if (!pclHandle)
        return ClCameraCodec::rvalReply(ZkError::NoHandle);

    curl_slist* pclHeaders = clApi.fnSlistAppend(nullptr, "Content-Type: application/json");
    clApi.fnEasySetopt(pclHandle, CURLOPT_URL, strUrl.c_str());
    clApi.fnEasySetopt(pclHandle, CURLOPT_SSL_VERIFYPEER, 0L);
    clApi.fnEasySetopt(pclHandle, CURLOPT_CONNECTTIMEOUT, 5L);
    clApi.fnEasySetopt(pclHandle, CURLOPT_NOSIGNAL, 1L);
    // The camera is the access point this machine joined directly: a proxy from the environment
    // (http_proxy, all_proxy) cannot reach it, so none is used.
    clApi.fnEasySetopt(pclHandle, CURLOPT_PROXY, "");
    clApi.fnEasySetopt(pclHandle, CURLOPT_POSTFIELDS, strJson.c_str());
    clApi.fnEasySetopt(pclHandle, CURLOPT_WRITEFUNCTION, &appendReply);
    clApi.fnEasySetopt(pclHandle, CURLOPT_WRITEDATA, &clBuffer);
    clApi.fnEasySetopt(pclHandle, CURLOPT_TIMEOUT, static_cast<long>(iTimeoutSec));
    clApi.fnEasySetopt(pclHandle, CURLOPT_HTTPHEADER, pclHeaders);

    qCDebug(lcCamera).noquote() << "sent" << QString::fromStdString(strJson);
    const CURLcode eResult = clApi.fnEasyPerform(pclHandle);

    picojson::object clReply;
    if (eResult == CURLE_OPERATION_TIMEDOUT) {
        qCDebug(lcCamera) << "no answer within" << iTimeoutSec << "s";
        clReply = ClCameraCodec::rvalReply(ZkError::Timeout);
    } else if (eResult != CURLE_OK || clBuffer.bFailed) {
        qCDebug(lcCamera) << "transfer failed, libcurl code" << int(eResult);
        clReply = ClCameraCodec::rvalReply(ZkError::TransferFailed);
    } else {
        long lStatus = 0;
        clApi.fnEasyGetinfo(pclHandle, CURLINFO_RESPONSE_CODE, &lStatus);
        qCDebug(lcCamera).noquote() << "received" << lStatus << QString::fromStdString(clBuffer.clData);
        if (lStatus != 200)
            clReply = ClCameraCodec::rvalReply(ZkError::HttpStatus);
        else
            clReply = ClCameraCodec::parseReply(clBuffer.clData);
    }

    clApi.fnSlistFreeAll(pclHeaders);
    clApi.fnEasyCleanup(pclHandle);
    return clReply;
}
