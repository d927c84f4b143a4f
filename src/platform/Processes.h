#pragma once

#include <QList>
#include <QString>

namespace kavri::platform {

struct ProcessEntry
{
    qint64 pid = 0;
    QString exeName; ///< file name of the executable, without folder
};

/// A snapshot of the running processes, in ascending process id order.
/// False (with `error` set) when the process table cannot be read.
bool listProcesses(QList<ProcessEntry> &out, QString *error = nullptr);

/// Ends the process at once; failures (no such process, no right) are ignored.
void killProcess(qint64 pid);

} // namespace kavri::platform
