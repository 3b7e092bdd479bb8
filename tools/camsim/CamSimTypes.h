#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace camsim {

// The camera's "rval" codes used by the simulator.
namespace rval {
constexpr int Ok = 0;
constexpr int Unsupported = -3; // unknown message number
constexpr int InvalidToken = -4; // token of no current session
constexpr int BadRequest = -7; // body is not a JSON object, or "msg_id" is missing
constexpr int InvalidOption = -14; // unknown or read-only key, value outside the vocabulary
} // namespace rval

// One JSON message received on "/cgi-bin/cgi", as it arrived and as it was answered.
struct LoggedMessage
{
    std::uint64_t seq = 0; // 1, 2, ... in order of arrival
    std::int64_t timeMs = 0; // monotonic, since the simulator started
    std::chrono::steady_clock::time_point received;
    std::string raw; // the request body, byte for byte
    bool jsonObject = false; // the body parsed as one JSON object

    bool hasMsgId = false; // "msg_id" present and a number
    std::int64_t msgId = 0;
    bool hasToken = false; // "token" present and a number
    std::int64_t token = 0;
    bool hasType = false; // "type" present (any JSON type)
    bool typeIsString = false;
    std::string type; // the string, or the member's JSON text
    bool hasParam = false; // "param" present (any JSON type)
    bool paramIsString = false;
    std::string param; // the string, or the member's JSON text
    bool hasTimeout = false; // "timeout" present and a number
    std::int64_t timeout = 0;

    // Filled in when the answer has been decided.
    bool answered = false;
    int httpStatus = 0; // 0: connection dropped, no answer
    bool hasRval = false;
    int rval = 0;
    std::string fault; // name of the injected fault, if any
    bool recording = false; // the camera was recording when the message arrived
};

// One GET of "/mjpeg/amba.jpg".
struct FrameRequest
{
    std::uint64_t seq = 0;
    std::int64_t timeMs = 0;
    std::chrono::steady_clock::time_point received;
    int status = 0; // 200, 404, or 0 while undecided
    std::size_t bytes = 0; // body length announced
    std::uint64_t frameNumber = 0; // counter drawn into the frame (status 200)
    std::string fault;
    // SHA-256 of the body announced (status 200), lowercase hex: a client's copy can be compared
    // with what was served.
    std::string sha256;
};

// A fault injected into the answers to one message number.
struct Fault
{
    enum class Kind
    {
        None, // the normal answer (after delayMs, if any)
        HttpStatus, // HTTP httpStatus with a small HTML body
        BrokenJson, // HTTP 200 with a truncated JSON object
        NotObject, // HTTP 200 with valid JSON that is not an object ([1,2])
        NoRval, // HTTP 200 with an object lacking "rval"
        Rval, // HTTP 200 with {"rval": rval, "msg_id": ...}
        Drop, // the connection is closed without any HTTP answer
    };
    Kind kind = Kind::None;
    int delayMs = 0; // waited before answering, for every kind
    int httpStatus = 500;
    int rval = -1;
    int count = -1; // applies to the next `count` messages of the number; -1 = permanent
    bool effectFirst = false; // kind None: the camera acts at once, only its answer is late

    // A message that gets a fault other than None (after the delay) has no effect on the camera.
    static Fault delay(int iMs, int iCount = -1)
    {
        Fault f;
        f.delayMs = iMs;
        f.count = iCount;
        return f;
    }
    // The camera does what the message asks when it arrives, and answers iMs later.
    static Fault lateAnswer(int iMs, int iCount = -1)
    {
        Fault f = delay(iMs, iCount);
        f.effectFirst = true;
        return f;
    }
    static Fault status(int iStatus, int iCount = -1)
    {
        Fault f;
        f.kind = Kind::HttpStatus;
        f.httpStatus = iStatus;
        f.count = iCount;
        return f;
    }
    static Fault brokenJson(int iCount = -1)
    {
        Fault f;
        f.kind = Kind::BrokenJson;
        f.count = iCount;
        return f;
    }
    static Fault notObject(int iCount = -1)
    {
        Fault f;
        f.kind = Kind::NotObject;
        f.count = iCount;
        return f;
    }
    static Fault noRval(int iCount = -1)
    {
        Fault f;
        f.kind = Kind::NoRval;
        f.count = iCount;
        return f;
    }
    static Fault withRval(int iRval, int iCount = -1)
    {
        Fault f;
        f.kind = Kind::Rval;
        f.rval = iRval;
        f.count = iCount;
        return f;
    }
    static Fault drop(int iCount = -1)
    {
        Fault f;
        f.kind = Kind::Drop;
        f.count = iCount;
        return f;
    }
};

// A fault injected into frame answers.
struct FrameFault
{
    enum class Kind
    {
        None, // a good frame (after delayMs, if any)
        NotFound, // HTTP 404
        Stall, // sends stallAfterBytes of the body, holds for stallMs, then closes
        BrokenJpeg, // HTTP 200 image/jpeg with random bytes that do not decode
        Truncated, // HTTP 200 image/jpeg with the first half of a good frame
        Chunked, // a good frame sent in `chunks` pieces with chunkPauseMs between them
    };
    Kind kind = Kind::None;
    int delayMs = 0; // waited before answering, for every kind
    int stallAfterBytes = -1; // -1: half of the frame
    int stallMs = 10000;
    int chunks = 4;
    int chunkPauseMs = 300;
    int count = -1; // applies to the next `count` frame requests; -1 = permanent
};

std::string faultName(Fault::Kind eKind);
std::string frameFaultName(FrameFault::Kind eKind);
bool faultKindFromName(const std::string& strName, Fault::Kind& eKind);
bool frameFaultKindFromName(const std::string& strName, FrameFault::Kind& eKind);

} // namespace camsim
