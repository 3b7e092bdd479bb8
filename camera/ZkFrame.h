#pragma once

#include <QtGlobal>

// The limits of fetching one live frame from the camera's frame resource (the URL of a start-live
// answer): the live stream and kd4ctl's snapshot keep the same ones.
namespace ZkFrame {
// No camera answer carries a frame anywhere near this size.
constexpr qint64 MAX_BYTES = 16 * 1024 * 1024;
// A frame request that receives nothing for this long is cancelled.
constexpr int TIMEOUT_MS = 1000;
// Time-outs, cancellations and 404 answers (the view finder not running yet) are retried this
// often, this long apart.
constexpr int MAX_RETRIES = 2;
constexpr int RETRY_PAUSE_MS = 500;
} // namespace ZkFrame
