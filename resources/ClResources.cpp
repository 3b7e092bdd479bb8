#include "resources/ClResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares a function at the point of use, so it must run outside any namespace.
static void initKd4Resources()
{
    Q_INIT_RESOURCE(kd4_assets);
    Q_INIT_RESOURCE(kd4_translations);
}

void ClResources::init()
{
    initKd4Resources();
}
