#pragma once

#include <picojson.h>

#include <cstddef>
#include <string>

// Posts JSON messages to one fixed URL through the run-time bound HTTP library (ClCurlApi) and
// hands back each reply object. A transfer keeps its state local to the call, so two threads may
// post through one transport at once. Transfer failures come back as a synthetic reply whose "rval"
// holds a code of ZkError (ZK_CMD.h); an empty object when the library is not loaded.
class ClCurlTransport
{
public:
    // A reply larger than this is a transfer failure; no camera answer comes near it.
    static constexpr size_t MAX_REPLY_BYTES = 16u * 1024u * 1024u;

    explicit ClCurlTransport(const std::string& strUrl);

    picojson::object post(const std::string& strJson, int iTimeoutSec) const;

private:
    const std::string strUrl;
};
