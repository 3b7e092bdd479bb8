#pragma once

#include <QObject>

class QSocketNotifier;

// The system asking the program to end (logout, shutdown, a terminal's Ctrl+C): on POSIX systems
// the signals SIGTERM, SIGINT and SIGHUP, turned into a Qt signal in the GUI thread so that the
// main window can close the camera session before the program goes. One per process.
class ClQuitRequest : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClQuitRequest)

public:
    // The process's instance, created on first use as a child of the application object (which
    // must exist). Installs the signal handlers; they are restored when the instance goes.
    static ClQuitRequest* instance();

    ~ClQuitRequest() override;

signals:
    void sigQuitRequested();

private:
    explicit ClQuitRequest(QObject* pclParent);

    QSocketNotifier* pclNotifier = nullptr;
};
