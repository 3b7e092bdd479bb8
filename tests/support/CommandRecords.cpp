#include "tests/support/CommandRecords.h"

namespace Kd4Test {

ZK_CMD command(const QUuid& clId, const QVariant& clParam1, const QVariant& clParam2)
{
    ZK_CMD clCmd;
    clCmd.insert(ZkKey::CMD, QVariant::fromValue(clId));
    if (clParam1.isValid())
        clCmd.insert(ZkKey::PARAM1, clParam1);
    if (clParam2.isValid())
        clCmd.insert(ZkKey::PARAM2, clParam2);
    return clCmd;
}

ZK_CMD answerTo(const ZK_CMD& clRequest, const QVariant& clError, const QVariant& clParam1)
{
    ZK_CMD clAnswer;
    clAnswer.insert(ZkKey::CMD, clRequest.value(ZkKey::CMD));
    clAnswer.insert(ZkKey::ID, clRequest.value(ZkKey::ID));
    if (clError.isValid())
        clAnswer.insert(ZkKey::ERROR, clError);
    if (clParam1.isValid())
        clAnswer.insert(ZkKey::PARAM1, clParam1);
    return clAnswer;
}

} // namespace Kd4Test
