#include "platform/Processes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>

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
    std::sort(out.begin(), out.end(),
              [](const ProcessEntry &a, const ProcessEntry &b) { return a.pid < b.pid; });
    return true;
}

void killProcess(qint64 pid)
{
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGKILL);
}

namespace {

// Field 22 of /proc/N/stat (after the parenthesised name, which may hold blanks), and the state.
bool readStat(qint64 pid, quint64 *startTime, char *state, bool *tableReadable)
{
    *tableReadable = QFileInfo(u"/proc/self/stat"_s).exists();
    QFile stat(u"/proc/"_s + QString::number(pid) + u"/stat"_s);
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.read(4096);
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0)
        return false;
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    // fields[0] is field 3 (state); the start time is field 22.
    if (fields.size() < 20)
        return false;
    *state = fields.at(0).isEmpty() ? '?' : fields.at(0).at(0);
    bool ok = false;
    *startTime = fields.at(19).toULongLong(&ok);
    return ok;
}

} // namespace

ProcessStamp stampOf(qint64 pid)
{
    quint64 start = 0;
    char state = '?';
    bool readable = false;
    if (pid <= 0 || !readStat(pid, &start, &state, &readable) || state == 'Z' || state == 'X')
        return {};
    return {pid, start};
}

RunState runState(const ProcessStamp &stamp)
{
    if (stamp.isNull())
        return RunState::Gone;
    quint64 start = 0;
    char state = '?';
    bool readable = false;
    if (!readStat(stamp.pid, &start, &state, &readable))
        return readable ? RunState::Gone : RunState::Unknown;
    if (start != stamp.startTime || state == 'Z' || state == 'X')
        return RunState::Gone;
    return RunState::Running;
}

ProcessStamp startDetached(const QString &program, const QStringList &arguments, const QString &workingFolder,
                           QString *error)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingFolder);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!process.startDetached(&pid) || pid <= 0) {
        if (error)
            *error = process.errorString();
        return {};
    }
    ProcessStamp stamp = stampOf(pid);
    // A program that ended at once still was started; keep its id.
    if (stamp.isNull())
        stamp.pid = pid;
    return stamp;
}

void endProcessNow(int code)
{
    std::fflush(nullptr);
    std::_Exit(code);
}

void ignoreFileSizeLimitSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace kavri::platform
