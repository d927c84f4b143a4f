#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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

/// One particular process: its id and the kernel's start time, so that a
/// later process that happens to get the same id is never taken for it.
struct ProcessStamp
{
    qint64 pid = 0;
    quint64 startTime = 0;
    bool isNull() const { return pid <= 0; }
};

/// The stamp of the running process `pid`; a null stamp when it is not running.
ProcessStamp stampOf(qint64 pid);

enum class RunState { Running, Gone, Unknown };
/// Whether the process of the stamp still runs; Unknown when the process table cannot be read.
RunState runState(const ProcessStamp &stamp);

/// Starts `program` with `arguments` in `workingFolder` as a process of its own
/// (not waited for, not ended with us). Returns its stamp; null with `error` set
/// when it could not be started.
ProcessStamp startDetached(const QString &program, const QStringList &arguments, const QString &workingFolder,
                           QString *error = nullptr);

/// Ends this process at once with `code`. Every file of the program is written
/// and closed record by record, so there is nothing left to flush.
[[noreturn]] void endProcessNow(int code);

/// A file that reaches the process's file-size limit then fails its writes
/// instead of ending the process (SIGXFSZ is ignored).
void ignoreFileSizeLimitSignal();

} // namespace kavri::platform
