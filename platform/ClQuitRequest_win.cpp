#include "platform/ClQuitRequest.h"

#include <QCoreApplication>
#include <QPointer>

// A Windows desktop program gets no POSIX signals (logoff and shutdown arrive as window messages,
// which Qt hands to its session management), so this instance never reports anything.
ClQuitRequest* ClQuitRequest::instance()
{
    static QPointer<ClQuitRequest> pclInstance;
    if (!pclInstance)
        pclInstance = new ClQuitRequest(QCoreApplication::instance());
    return pclInstance;
}

ClQuitRequest::ClQuitRequest(QObject* pclParent)
    : QObject(pclParent)
{
}

ClQuitRequest::~ClQuitRequest() = default;
