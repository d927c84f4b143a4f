#pragma once

#include "stats/StatsLine.h"
#include "stats/StatsReport.h"

#include <QDate>
#include <QStringList>

namespace kavri::test {

/// The lines of a day's statistics file without the times that depend on the run:
/// number, table, how it left, when (HH:mm) and the wait in minutes.
inline QStringList recordedStatsLines(const QString &appFolder, const QDate &day)
{
    QStringList out;
    for (const stats::StatsLine &line : stats::readStatsFile(stats::statsFilePath(appFolder, day)))
        out << line.number + u' ' + line.table + u' ' + stats::leftHowText(line.how) + u' ' +
                   line.left.toString(QStringLiteral("HH:mm")) + u' ' +
                   QString::number(stats::waitMinutes(line));
    return out;
}

} // namespace kavri::test
