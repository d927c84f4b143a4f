#pragma once

#include "stats/LocalTimes.h"
#include "stats/StatsHours.h"
#include "stats/StatsLine.h"
#include "stats/StatsReport.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <memory>
#include <optional>

namespace kavri::stats {

/// Reads one day's statistics file a slice at a time, so that the window's thread
/// can let its events run between slices. A missing file, a folder or a link in
/// its place reads as empty; only the first MaxReadBytes are read.
class StatsFileReader
{
public:
    /// A longer line is not the recorder's: it is counted as unreadable without being parsed.
    static constexpr qsizetype MaxLineBytes = 64 * 1024;
    /// A slice ends after this many lines, this many bytes or this many milliseconds,
    /// whichever comes first.
    static constexpr int SliceLines = 4000;
    static constexpr qsizetype SliceBytes = 512 * 1024;
    static constexpr quint32 SliceMs = 20;

    explicit StatsFileReader(const QString &path);
    StatsFileReader(const StatsFileReader &) = delete;
    StatsFileReader &operator=(const StatsFileReader &) = delete;

    /// Reads one slice; false once the whole file has been read.
    bool readSlice();
    bool atEnd() const { return m_atEnd; }

    /// The lines read so far.
    QList<StatsLine> takeLines() { return std::exchange(m_lines, {}); }
    /// Lines that could not be read (the header is not counted).
    int unreadable() const { return m_unreadable; }

private:
    /// More of the file onto the buffer; false at its end.
    bool fill();
    void take(QByteArrayView line);

    QFile m_file;
    qint64 m_left = MaxReadBytes;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    /// Inside a line too long to read: up to its end nothing is kept.
    bool m_skipping = false;
    bool m_first = true;
    bool m_atEnd = false;
    QList<StatsLine> m_lines;
    int m_unreadable = 0;
    LocalTimes m_times;
};

/// The figures of the `days` days (1 to MaxReportDays) up to `today` of the statistics
/// in `folder`, read a slice at a time: the days one after the other, oldest first, each
/// slice's lines counted and dropped. A day's hours are complete once the next day's
/// file, which holds the requests of its late evening, has been read too.
class StatsReading
{
public:
    StatsReading(const QString &folder, const QDate &today, int days);

    /// Reads one slice; false once every day has been read.
    bool readSlice();
    bool atEnd() const { return !m_reader; }

    /// The days read so far, oldest first.
    const QList<DayFigures> &days() const { return m_days; }
    /// The hours of every day, oldest first; complete at the end.
    QList<HourFigures> hours() const;

private:
    void startDay();

    QString m_folder;
    QDate m_today;
    int m_count = 0;
    int m_left = 0;
    std::unique_ptr<StatsFileReader> m_reader;
    std::optional<DayTally> m_tally;
    HourTally m_hours;
    QList<DayFigures> m_days;
};

} // namespace kavri::stats
