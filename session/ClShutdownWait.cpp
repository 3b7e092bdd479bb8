#include "session/ClShutdownWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void ClShutdownWait::run(QEventLoop& clLoop, const std::function<bool()>& fnDone)
{
    QTimer clLimit;
    clLimit.setSingleShot(true);
    QObject::connect(&clLimit, &QTimer::timeout, &clLoop, &QEventLoop::quit);
    clLimit.start(LIMIT_MS);
    // When the wait begins inside the handling of a queued event, what ends it may already be
    // posted (an answer's completion in the request queue, a stop queued beside a stream error),
    // and GLib's event dispatcher leaves such events to the outer loop: deliver them now.
    QCoreApplication::sendPostedEvents();
    // What ends the wait may have happened already; a quit() before exec() is lost.
    if (!fnDone())
        clLoop.exec();
}
