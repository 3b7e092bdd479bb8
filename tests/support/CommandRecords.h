#pragma once

// Command records as the widgets send them and as the camera layer answers them.

#include "camera/ZK_CMD.h"

#include <QUuid>
#include <QVariant>

namespace Kd4Test {

// A request: "CMD" and, when valid, "PARAM1" and "PARAM2".
ZK_CMD command(
    const QUuid& clId, const QVariant& clParam1 = QVariant(), const QVariant& clParam2 = QVariant());

// The camera layer's answer to a request: "CMD", the request's "ID" and, when valid, "ERROR" and
// "PARAM1".
ZK_CMD answerTo(const ZK_CMD& clRequest, const QVariant& clError, const QVariant& clParam1 = QVariant());

} // namespace Kd4Test
