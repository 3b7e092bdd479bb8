#pragma once

// What the system counts for a process the benchmarks run, read from /proc.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <utility>

#include <unistd.h>

namespace bench {

// Processor time so far, user and system, in seconds; zeros when the process is gone.
inline std::pair<double, double> cpuSeconds(qint64 llPid)
{
    QFile clFile(QStringLiteral("/proc/%1/stat").arg(llPid));
    if (!clFile.open(QIODevice::ReadOnly))
        return {};
    const QByteArray clStat = clFile.readAll();
    // Fields after the command name, which ends with the last ')'.
    const QList<QByteArray> clFields = clStat.mid(clStat.lastIndexOf(')') + 2).split(' ');
    const double dTick = double(sysconf(_SC_CLK_TCK));
    return { double(clFields.value(11).toLongLong()) / dTick,
        double(clFields.value(12).toLongLong()) / dTick };
}

// Resident memory, in MiB; 0 when the process is gone.
inline double residentMiB(qint64 llPid)
{
    QFile clFile(QStringLiteral("/proc/%1/status").arg(llPid));
    if (!clFile.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& clLine : clFile.readAll().split('\n')) {
        if (clLine.startsWith("VmRSS:"))
            return clLine.mid(6).trimmed().split(' ').value(0).toLongLong() / 1024.0;
    }
    return 0;
}

} // namespace bench
