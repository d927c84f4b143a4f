#pragma once

#include <QDate>
#include <QStringView>
#include <QTime>

#include <optional>

namespace kavri {

/// A time as a wall clock shows it: no time zone, so a time the clock skipped at a
/// summer-time change is kept as written.
struct WallTime
{
    QDate date;
    QTime time;
};

/// The one reader of the times the service sends and the statistics files hold,
/// "yyyy-MM-dd hh:mm:ss" (year 1 to 9999, 24-hour clock): nothing when the text is
/// not exactly such a time of a real day.
std::optional<WallTime> readWallTime(QStringView text);

} // namespace kavri
