#include "monitor/ResponseStats.h"

#include "platform/Folders.h"
#include "services/AppFolder.h"
#include "services/EventLog.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

namespace {

const QString kTimeFormat = u"yyyy-MM-dd HH:mm:ss"_s;

QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toString(kTimeFormat) : QString();
}

QDateTime timeFrom(QStringView text)
{
    if (text.size() != 19)
        return {};
    return QDateTime::fromString(text.toString(), kTimeFormat);
}

QString csvField(QString text)
{
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    if (!text.contains(u',') && !text.contains(u'"'))
        return text;
    text.replace(u"\""_s, u"\"\""_s);
    return u'"' + text + u'"';
}

/// The fields of one CSV line; nothing when a quote is left open.
std::optional<QStringList> csvFields(QStringView line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c != u'"')
                field += c;
            else if (i + 1 < line.size() && line.at(i + 1) == u'"')
                field += c, ++i;
            else
                quoted = false;
        } else if (c == u'"' && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == u',') {
            fields.append(field);
            field.clear();
            wasQuoted = false;
        } else {
            field += c;
        }
    }
    if (quoted)
        return std::nullopt;
    fields.append(field);
    return fields;
}

} // namespace

QString statsHeader()
{
    return u"number,table,registered,first_seen,left,how"_s;
}

QString leftHowText(LeftHow how)
{
    switch (how) {
    case LeftHow::Staff:
        return u"staff"_s;
    case LeftHow::Auto:
        return u"auto"_s;
    case LeftHow::Gone:
        break;
    }
    return u"gone"_s;
}

QString statsCsvLine(const StatsLine &line)
{
    return QStringList{csvField(line.number),    csvField(line.table), timeText(line.registered),
                       timeText(line.firstSeen), timeText(line.left),  leftHowText(line.how)}
        .join(u',');
}

std::optional<StatsLine> parseStatsCsvLine(QStringView text)
{
    const std::optional<QStringList> fields = csvFields(text);
    if (!fields || fields->size() != 6)
        return std::nullopt;
    StatsLine line;
    line.number = fields->at(0);
    line.table = fields->at(1);
    line.registered = timeFrom(fields->at(2));
    line.firstSeen = timeFrom(fields->at(3));
    line.left = timeFrom(fields->at(4));
    const QString how = fields->at(5);
    if (how == u"staff"_s)
        line.how = LeftHow::Staff;
    else if (how == u"auto"_s)
        line.how = LeftHow::Auto;
    else if (how == u"gone"_s)
        line.how = LeftHow::Gone;
    else
        return std::nullopt;
    // A line without its number or the moment it left says nothing (the header is such a line).
    if (line.number.isEmpty() || !line.left.isValid())
        return std::nullopt;
    return line;
}

QString statsFilePath(const QString &folder, const QDate &day)
{
    return folder + u'/' + QString::fromUtf16(StatsFolderName) + u'/' + day.toString(u"yyyy-MM-dd"_s) +
           u".csv"_s;
}

QSet<QString> ResponseStats::numbersOf(const QList<HandledRecord> &records)
{
    QSet<QString> numbers;
    numbers.reserve(records.size());
    for (const HandledRecord &record : records)
        numbers.insert(record.entry.NumT);
    return numbers;
}

void ResponseStats::observeListed(const QList<HandledRecord> &records, const QDateTime &now)
{
    observeListed(records, numbersOf(records), now);
}

void ResponseStats::observeListed(const QList<HandledRecord> &records, const QSet<QString> &listed,
                                  const QDateTime &now)
{
    for (const HandledRecord &record : records) {
        const KavriEntry &e = record.entry;
        if (m_followed.size() >= MaxFollowed)
            break;
        if (m_followed.contains(e.NumT) || m_left.contains(e.NumT))
            continue;
        m_followed.insert(e.NumT, {e.TableT.left(200), e.RegDateT, now});
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
    append({number, followed.table, timeFrom(followed.registered), followed.firstSeen, now, how});
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
    if (ok && file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        QByteArray bytes;
        if (file.size() == 0)
            bytes = statsHeader().toUtf8() + '\n';
        bytes += statsCsvLine(line).toUtf8() + '\n';
        ok = file.write(bytes) == bytes.size() && file.flush();
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

} // namespace kavri::monitor
