#include "stats/StatsReading.h"

#include "platform/Clock.h"

#include <QFileInfo>

#include <algorithm>

namespace kavri::stats {

namespace {

/// The bytes taken from the file at once.
constexpr qint64 ChunkBytes = 128 * 1024;

} // namespace

StatsFileReader::StatsFileReader(const QString &path) : m_file(path)
{
    const QFileInfo info(path);
    m_atEnd = !info.isFile() || info.isSymLink() || !m_file.open(QIODevice::ReadOnly);
}

bool StatsFileReader::fill()
{
    if (m_left <= 0)
        return false;
    m_buffer.remove(0, m_pos);
    m_pos = 0;
    const qsizetype had = m_buffer.size();
    const qint64 wanted = std::min(m_left, ChunkBytes);
    m_buffer.resize(had + wanted);
    const qint64 got = m_file.read(m_buffer.data() + had, wanted);
    m_buffer.resize(had + std::max<qint64>(got, 0));
    m_left = got > 0 ? m_left - got : 0;
    return got > 0;
}

bool StatsFileReader::readSlice()
{
    if (m_atEnd)
        return false;
    const quint32 started = platform::clock().tick();
    qint64 read = 0;
    for (int lines = 0; lines < SliceLines; ++lines) {
        if (lines % 64 == 63 && platform::clock().tick() - started >= SliceMs)
            return true;
        const qsizetype end = m_buffer.indexOf('\n', m_pos);
        if (end >= 0) {
            take(QByteArrayView(m_buffer).sliced(m_pos, end - m_pos));
            m_pos = end + 1;
            continue;
        }
        // A line longer than any the recorder writes is dropped as it comes, unparsed.
        if (m_buffer.size() - m_pos > MaxLineBytes) {
            if (!m_skipping)
                ++m_unreadable;
            m_skipping = true;
            m_first = false;
            m_pos = m_buffer.size();
        }
        if (read >= SliceBytes)
            return true;
        const qsizetype had = m_buffer.size() - m_pos;
        if (fill()) {
            read += m_buffer.size() - had;
            continue;
        }
        // The file's end, or the end of what is read of it: the rest is its last line.
        take(QByteArrayView(m_buffer).sliced(m_pos));
        m_buffer.clear();
        m_pos = 0;
        m_file.close();
        m_atEnd = true;
        return false;
    }
    return true;
}

void StatsFileReader::take(QByteArrayView line)
{
    if (std::exchange(m_skipping, false))
        return; // the end of a line already counted
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty())
        return;
    const bool first = std::exchange(m_first, false);
    if (line.size() > MaxLineBytes) {
        ++m_unreadable;
        return;
    }
    const QString text = QString::fromUtf8(line);
    if (first && text == statsHeader())
        return;
    if (std::optional<StatsLine> read = parseStatsCsvLine(text, m_times))
        m_lines.append(std::move(*read));
    else
        ++m_unreadable;
}

StatsReading::StatsReading(const QString &folder, const QDate &today, int days)
    : m_folder(folder), m_today(today), m_count(std::clamp(days, 1, MaxReportDays)), m_left(m_count),
      m_hours(today.addDays(1 - m_count), m_count)
{
    startDay();
}

void StatsReading::startDay()
{
    const QDate day = m_today.addDays(1 - m_left);
    m_reader = std::make_unique<StatsFileReader>(statsFilePath(m_folder, day));
    m_tally.emplace(day);
}

bool StatsReading::readSlice()
{
    if (!m_reader)
        return false;
    const bool more = m_reader->readSlice();
    for (const StatsLine &line : m_reader->takeLines()) {
        m_tally->add(line);
        m_hours.add(line);
    }
    if (more)
        return true;
    m_days.append(m_tally->figures(m_reader->unreadable()));
    m_reader.reset();
    if (--m_left > 0)
        startDay();
    return m_reader != nullptr;
}

QList<HourFigures> StatsReading::hours() const
{
    QList<HourFigures> hours;
    for (int back = m_count - 1; back >= 0; --back)
        hours.append(m_hours.figures(m_today.addDays(-back)));
    return hours;
}

} // namespace kavri::stats
