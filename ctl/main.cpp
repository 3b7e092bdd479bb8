#include "ctl/ClCtlOutput.h"
#include "ctl/ClCtlRunner.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    ClCtlOutput::guardStandardOutput();
    QCoreApplication clApp(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kd4ctl"));
    return ClCtlRunner().run(QCoreApplication::arguments());
}
