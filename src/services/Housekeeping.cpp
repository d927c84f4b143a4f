#include "services/Housekeeping.h"

#include "platform/Clock.h"
#include "platform/Processes.h"
#include "services/AppFolder.h"
#include "services/Conversions.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri {

bool 로그_파일_삭제(const QString &pattern)
{
    constexpr qsizetype keep = 21;
    QDir folder(appFolder());
    QStringList names = folder.entryList({pattern}, QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    if (names.size() <= keep)
        return true;
    QuickSort(names);
    for (qsizetype i = 0; i < names.size() - keep; ++i) {
        const QString path = folder.filePath(names.at(i));
        QFile file(path);
        // A read-only log is deleted all the same.
        file.setPermissions(file.permissions() | QFileDevice::WriteOwner);
        if (!file.remove()) {
            reportError(
                u"lib_misc"_s, u"로그_파일_삭제"_s,
                {3, static_cast<int>(file.error()), file.errorString() + u" ("_s + names.at(i) + u")"_s});
            break;
        }
    }
    return true;
}

int removeOldStatsFiles(const QString &statsFolder, const QDate &today, int keepDays)
{
    const QDate oldestKept = today.addDays(-keepDays);
    int removed = 0;
    const QDir folder(statsFolder);
    for (const QString &name :
         folder.entryList({u"[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9].csv"_s}, QDir::Files, QDir::Name)) {
        const QDate day = QDate::fromString(name.left(10), u"yyyy-MM-dd"_s);
        if (!day.isValid() || day >= oldestKept)
            continue;
        if (QFile::remove(folder.filePath(name)))
            ++removed;
    }
    return removed;
}

quint32 GetTick()
{
    return platform::clock().tick();
}

void Delay(quint32 ms)
{
    Delay(ms, {});
}

bool Delay(quint32 ms, const std::function<bool()> &stopWhen)
{
    const quint32 start = GetTick();
    auto stopped = [&stopWhen] { return stopWhen && stopWhen(); };
    if (!QCoreApplication::instance()) {
        // Nothing to keep responsive: just sleep the time away.
        while (GetTick() - start <= ms) {
            if (stopped())
                return false;
            QThread::msleep(std::min<quint32>(ms - (GetTick() - start) + 1, 50));
        }
        return true;
    }
    QEventLoop loop;
    QTimer wake;
    wake.setSingleShot(true);
    QObject::connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
    while (true) {
        if (stopped())
            return false;
        const quint32 elapsed = GetTick() - start;
        if (elapsed > ms)
            break;
        // Sleep in the event loop until an event arrives or the time is up.
        wake.start(static_cast<int>(std::min<quint32>(ms - elapsed + 1, 50)));
        loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    wake.stop();
    return true;
}

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

qint64 IsProcessExist(const QString &exeName)
{
    QList<platform::ProcessEntry> processes;
    QString error;
    if (!platform::listProcesses(processes, &error)) {
        WriteLog(processLookupErrorReport(exeName, {1, 5, error}));
        return -1;
    }
    const QString wanted = exeName.toLower();
    for (const platform::ProcessEntry &p : processes) {
        if (p.exeName.toLower() == wanted)
            return p.pid;
    }
    return 0;
}

void QuickSort(QStringList &items, qsizetype first, qsizetype last)
{
    if (items.isEmpty())
        return;
    if (first == -2)
        first = 0;
    if (last == -2)
        last = items.size() - 1;
    first = std::max<qsizetype>(first, 0);
    last = std::min<qsizetype>(last, items.size() - 1);
    if (first >= last)
        return;
    // QString's operator< compares UTF-16 code units, i.e. character codes.
    std::sort(items.begin() + first, items.begin() + last + 1);
}

QString TableNameSortKey(const QString &name)
{
    const QString text = u"A"_s + name;
    qsizetype tail = text.size();
    while (tail > 0 && !text.at(tail - 1).isSurrogate() && IsNumber(QString(text.at(tail - 1))))
        --tail;
    if (tail == text.size())
        return {};
    const QString digits = text.mid(tail);
    return text.left(tail) + (digits.size() < 10 ? digits.rightJustified(10, u'0') : digits);
}

} // namespace kavri
