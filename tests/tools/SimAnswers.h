#pragma once

#include <QString>
#include <QStringList>

// Reading the simulator's answers the way the monitor does: records cut at a marker,
// a field's value between its first opening marker and the next closing one.
namespace kavri::test {

inline QString fieldValue(const QString &record, const QString &open, const QString &close)
{
    const qsizetype start = record.indexOf(open);
    if (start < 0)
        return {};
    const qsizetype from = start + open.size();
    const qsizetype end = record.indexOf(close, from);
    return record.mid(from, end < 0 ? -1 : end - from);
}

inline QStringList records(const QString &answer, const QString &marker)
{
    QStringList parts = answer.split(marker);
    parts.removeFirst();
    return parts;
}

inline QString memoField(const QString &record, const QString &tag)
{
    return fieldValue(record, u'<' + tag + u'>', QStringLiteral("</") + tag + u'>');
}

inline QString tableField(const QString &record, const QString &name)
{
    return fieldValue(record, name + u'[', u']' + name);
}

} // namespace kavri::test
