#include "stats/ResponseStats.h"

#include "platform/Folders.h"
#include "services/AppFolder.h"
#include "services/EventLog.h"
#include "stats/LocalTimes.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kavri::stats {

void ResponseStats::observeListed(const QList<ListedRequest> &requests, const QSet<QString> &listed,
                                  const QDateTime &now)
{
    for (const ListedRequest &request : requests) {
        if (m_followed.size() >= MaxFollowed)
            break;
        if (m_followed.contains(request.number) || m_left.contains(request.number))
            continue;
        m_followed.insert(request.number, {request.table.left(200), request.registered, now});
    }
    for (auto it = m_followed.begin(); it != m_followed.end();) {
        if (listed.contains(it.key())) {
            ++it;
            continue;
        }
        leave(it.key(), it.value(), LeftHow::Gone, now);
        it = m_followed.erase(it);
    }
    // A confirmed number the service no longer lists can be forgotten.
    m_left.intersect(listed);
}

void ResponseStats::noteConfirmed(const QString &number, LeftHow how, const QDateTime &now)
{
    const auto it = m_followed.constFind(number);
    if (it == m_followed.constEnd())
        return;
    leave(number, it.value(), how, now);
    m_followed.erase(it);
    if (m_left.size() < MaxFollowed)
        m_left.insert(number);
}

void ResponseStats::leave(const QString &number, const Followed &followed, LeftHow how, const QDateTime &now)
{
    LocalTimes times;
    append({number, followed.table, times.read(followed.registered), followed.firstSeen, now, how});
}

bool ResponseStats::append(const StatsLine &line)
{
    const QString path = statsFilePath(appFolder(), line.left.date());
    bool ok = platform::makeFolders(QFileInfo(path).path());
    QFile file(path);
    const QFileInfo info(path);
    // Only a plain file is written to, and only up to its bound.
    if (ok && info.exists() && (!info.isFile() || info.isSymLink()))
        ok = false;
    if (ok && info.exists() && info.size() >= MaxFileBytes)
        ok = false;
    if (ok && file.open(QIODevice::ReadWrite | QIODevice::Append)) {
        QByteArray bytes;
        if (file.size() == 0) {
            bytes = statsHeader().toUtf8() + '\n';
        } else {
            // A line cut short (a full disk) stays a broken line of its own, read as unreadable,
            // instead of taking the next line with it.
            char last = '\n';
            ok = file.seek(file.size() - 1) && file.getChar(&last);
            if (last != '\n')
                bytes = "\n";
        }
        bytes += statsCsvLine(line).toUtf8() + '\n';
        ok = ok && file.write(bytes) == bytes.size() && file.flush();
    } else {
        ok = false;
    }
    // The statistics never hold up the board: one line when writing stops, one when it works again.
    if (!ok && !m_failing)
        WriteLog(u"응답 통계를 쓰지 못함: "_s + path);
    else if (ok && m_failing)
        WriteLog(u"응답 통계 쓰기 복구: "_s + path);
    m_failing = !ok;
    return ok;
}

} // namespace kavri::stats
