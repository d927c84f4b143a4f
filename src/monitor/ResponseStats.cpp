#include "monitor/ResponseStats.h"

#include "monitor/LocalTimes.h"
#include "platform/Folders.h"
#include "services/AppFolder.h"
#include "services/Conversions.h"
#include "services/EventLog.h"

#include <QFile>
#include <QFileInfo>

#include <array>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

namespace {

const QString kTimeFormat = u"yyyy-MM-dd HH:mm:ss"_s;

/// The lines of the statistics files have six fields.
constexpr qsizetype FieldCount = 6;

QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toString(kTimeFormat) : QString();
}

/// Whether a spreadsheet would run the text as a formula (=, +, - or @ first), once the
/// quotes it may start with are taken off: such a text is written with one more quote first,
/// and read back with one less.
bool needsFormulaQuote(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u'\'')
        ++i;
    if (i == text.size())
        return false;
    const QChar c = text.at(i);
    return c == u'=' || c == u'+' || c == u'-' || c == u'@';
}

QString csvField(QStringView raw)
{
    QString text = withoutControls(raw);
    if (needsFormulaQuote(text))
        text.prepend(u'\'');
    if (!text.contains(u',') && !text.contains(u'"'))
        return text;
    text.replace(u"\""_s, u"\"\""_s);
    return u'"' + text + u'"';
}

/// A field as it was before csvField(): the formula quote off, no control character.
QString fieldText(QStringView field)
{
    if (field.startsWith(u'\'') && needsFormulaQuote(field))
        field = field.sliced(1);
    return withoutControls(field);
}

/// The fields of one CSV line; nothing when a quote is left open or the count is not six.
/// Text after a closing quote belongs to the field, as does a quote inside an unquoted one.
std::optional<std::array<QString, FieldCount>> csvFields(QStringView line)
{
    std::array<QString, FieldCount> fields;
    qsizetype count = 0;
    qsizetype i = 0;
    while (true) {
        if (count == FieldCount)
            return std::nullopt;
        QString &field = fields[size_t(count++)];
        if (i < line.size() && line.at(i) == u'"') {
            ++i;
            while (true) {
                const qsizetype quote = line.indexOf(u'"', i);
                if (quote < 0)
                    return std::nullopt;
                field += line.sliced(i, quote - i);
                i = quote + 1;
                if (i >= line.size() || line.at(i) != u'"')
                    break;
                field += u'"';
                ++i;
            }
        }
        qsizetype end = line.indexOf(u',', i);
        if (end < 0)
            end = line.size();
        field += line.sliced(i, end - i);
        if (end == line.size())
            break;
        i = end + 1;
    }
    if (count != FieldCount)
        return std::nullopt;
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
    LocalTimes times;
    return parseStatsCsvLine(text, times);
}

std::optional<StatsLine> parseStatsCsvLine(QStringView text, LocalTimes &times)
{
    const std::optional<std::array<QString, FieldCount>> fields = csvFields(text);
    if (!fields)
        return std::nullopt;
    StatsLine line;
    const QString &how = fields->at(5);
    if (how == u"staff"_s)
        line.how = LeftHow::Staff;
    else if (how == u"auto"_s)
        line.how = LeftHow::Auto;
    else if (how == u"gone"_s)
        line.how = LeftHow::Gone;
    else
        return std::nullopt;
    line.left = times.read(fields->at(4));
    // A line without its number or the moment it left says nothing (the header is such a line).
    if (fields->at(0).isEmpty() || !line.left.isValid())
        return std::nullopt;
    line.number = fieldText(fields->at(0));
    line.table = fieldText(fields->at(1));
    line.registered = times.read(fields->at(2));
    line.firstSeen = times.read(fields->at(3));
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

} // namespace kavri::monitor
