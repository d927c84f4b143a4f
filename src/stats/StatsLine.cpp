#include "stats/StatsLine.h"

#include "services/Conversions.h"
#include "stats/LocalTimes.h"

#include <QStringList>

#include <array>

using namespace Qt::StringLiterals;

namespace kavri::stats {

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

} // namespace kavri::stats
