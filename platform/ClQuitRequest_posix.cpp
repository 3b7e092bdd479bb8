#include "platform/ClQuitRequest.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A signal handler may do next to nothing: it writes one byte into a socket pair whose other end
// the event loop watches (the self-pipe trick).
int aiSocketPair[2] = { -1, -1 };
const int QUIT_SIGNALS[] = { SIGTERM, SIGINT, SIGHUP };
struct sigaction aclPrevious[sizeof(QUIT_SIGNALS) / sizeof(QUIT_SIGNALS[0])];

extern "C" void onQuitSignal(int)
{
    const int iSavedErrno = errno;
    const char cByte = 1;
    // The write end never blocks; a full buffer already holds a pending request.
    [[maybe_unused]] const ssize_t llWritten = ::write(aiSocketPair[0], &cByte, 1);
    errno = iSavedErrno;
}

} // namespace

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
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, aiSocketPair) != 0) {
        aiSocketPair[0] = aiSocketPair[1] = -1;
        return; // without the pair the signals keep their default action
    }
    ::fcntl(aiSocketPair[0], F_SETFL, ::fcntl(aiSocketPair[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(aiSocketPair[1], F_SETFL, ::fcntl(aiSocketPair[1], F_GETFL) | O_NONBLOCK);

    pclNotifier = new QSocketNotifier(aiSocketPair[1], QSocketNotifier::Read, this);
    connect(pclNotifier, &QSocketNotifier::activated, this, [this] {
        char acBuffer[64];
        while (::read(aiSocketPair[1], acBuffer, sizeof(acBuffer)) > 0) { }
        emit sigQuitRequested();
    });

    struct sigaction clAction = {};
    clAction.sa_handler = onQuitSignal;
    sigemptyset(&clAction.sa_mask);
    clAction.sa_flags = SA_RESTART;
    for (size_t i = 0; i < sizeof(QUIT_SIGNALS) / sizeof(QUIT_SIGNALS[0]); ++i) {
        ::sigaction(QUIT_SIGNALS[i], &clAction, &aclPrevious[i]);
        // A signal the program was started to ignore (SIGINT for a background job, SIGHUP under
        // nohup) stays ignored.
        if (QUIT_SIGNALS[i] != SIGTERM && aclPrevious[i].sa_handler == SIG_IGN)
            ::sigaction(QUIT_SIGNALS[i], &aclPrevious[i], nullptr);
    }
}

ClQuitRequest::~ClQuitRequest()
{
    if (!pclNotifier)
        return;
    for (size_t i = 0; i < sizeof(QUIT_SIGNALS) / sizeof(QUIT_SIGNALS[0]); ++i)
        ::sigaction(QUIT_SIGNALS[i], &aclPrevious[i], nullptr);
    delete pclNotifier;
    ::close(aiSocketPair[0]);
    ::close(aiSocketPair[1]);
    aiSocketPair[0] = aiSocketPair[1] = -1;
}
