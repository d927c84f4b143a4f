#pragma once

#include <QDateTime>
#include <QHash>
#include <QStringView>

#include <optional>

namespace kavri::stats {

/// Reads the local times of the statistics files (readWallTime()) with one
/// time-zone lookup per day instead of several per time: a day whose offset from UTC
/// is the same at its start and its end has that offset all day. A day on which the
/// offset changes is converted time by time.
class LocalTimes
{
public:
    /// The moment `text` names, with its offset from UTC fixed (later arithmetic needs no
    /// lookup); invalid unless it is exactly such a time of a real day.
    QDateTime read(QStringView text);

private:
    /// The day's offset from UTC in seconds; nothing when it changes within the day.
    std::optional<int> dayOffset(const QDate &day);

    /// Days looked up at most; a file of that many days is not the recorder's.
    static constexpr qsizetype MaxDays = 4096;
    QHash<qint64, std::optional<int>> m_offsets;
};

} // namespace kavri::stats
