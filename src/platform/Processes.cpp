#include "platform/Processes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <csignal>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

// The executable's file name: the target of /proc/N/exe when we may read it,
// otherwise the first word of the command line, otherwise the kernel's short name.
QString exeNameOf(const QString &procDir)
{
    const QString target = QFileInfo(procDir + u"/exe"_s).symLinkTarget();
    if (!target.isEmpty()) {
        QString name = QFileInfo(target).fileName();
        if (name.endsWith(u" (deleted)"_s))
            name.chop(10);
        return name;
    }
    QFile cmdline(procDir + u"/cmdline"_s);
    if (cmdline.open(QIODevice::ReadOnly)) {
        const QByteArray argv0 = cmdline.readAll().split('\0').value(0);
        if (!argv0.isEmpty())
            return QFileInfo(QString::fromLocal8Bit(argv0)).fileName();
    }
    QFile comm(procDir + u"/comm"_s);
    if (comm.open(QIODevice::ReadOnly))
        return QString::fromLocal8Bit(comm.readAll().trimmed());
    return {};
}

} // namespace

bool listProcesses(QList<ProcessEntry> &out, QString *error)
{
    out.clear();
    QDir proc(u"/proc"_s);
    if (!proc.exists()) {
        if (error)
            *error = u"/proc를 읽을 수 없습니다."_s;
        return false;
    }
    const QStringList names = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        bool ok = false;
        const qint64 pid = name.toLongLong(&ok);
        if (!ok)
            continue;
        const QString exe = exeNameOf(proc.filePath(name));
        if (!exe.isEmpty())
            out.append({pid, exe});
    }
    std::sort(out.begin(), out.end(), [](const ProcessEntry &a, const ProcessEntry &b) { return a.pid < b.pid; });
    return true;
}

void killProcess(qint64 pid)
{
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGKILL);
}

} // namespace kavri::platform
