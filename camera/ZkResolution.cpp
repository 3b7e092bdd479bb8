#include "camera/ZkResolution.h"

bool ZkResolution::isHighSpeed(const QString& strResolution)
{
    return strResolution == RES_720P_120 || strResolution == RES_WVGA_240;
}

bool ZkResolution::isNormal(const QString& strResolution)
{
    return strResolution == RES_1080P_60 || strResolution == RES_1080P_30 || strResolution == RES_720P_60
        || strResolution == RES_720P_30;
}
