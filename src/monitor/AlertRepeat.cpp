#include "monitor/AlertRepeat.h"

#include <algorithm>

namespace kavri::monitor {

int AlertRepeat::intervalFrom(const QString &stored)
{
    bool ok = false;
    const qlonglong seconds = stored.trimmed().toLongLong(&ok);
    if (!ok || seconds <= 0)
        return 0;
    return int(std::min<qlonglong>(seconds, MaxIntervalSeconds));
}

int AlertRepeat::choiceIndex(int seconds)
{
    const auto found = std::find(std::begin(Choices), std::end(Choices), seconds);
    return found == std::end(Choices) ? -1 : int(found - std::begin(Choices));
}

void AlertRepeat::setInterval(int seconds, quint32 nowTick)
{
    const int interval = std::clamp(seconds, 0, MaxIntervalSeconds);
    if (interval == m_interval)
        return;
    m_interval = interval;
    m_since = m_lastAlert = nowTick;
}

void AlertRepeat::observeTop(const QString &number, quint32 nowTick)
{
    if (number == m_top)
        return;
    if (!m_top.isEmpty() && (m_repeats > 0 || m_stopped)) {
        if (m_memory.size() >= RememberedRequests)
            m_memory.removeFirst();
        m_memory.append({m_top, m_repeats, m_stopped});
    }
    m_top = number;
    m_repeats = 0;
    m_stopped = false;
    const auto kept = std::find_if(m_memory.cbegin(), m_memory.cend(),
                                   [&number](const Memory &m) { return m.number == number; });
    if (kept != m_memory.cend()) {
        m_repeats = kept->repeats;
        m_stopped = kept->stopped;
        m_memory.erase(kept);
    }
    m_since = m_lastAlert = nowTick;
}

void AlertRepeat::stop()
{
    m_stopped = true;
}

bool AlertRepeat::isDue(quint32 nowTick) const
{
    if (!watching() || m_repeats >= MaxRepeats)
        return false;
    // Unsigned difference: right across the tick counter's wrap. Counted from the
    // last alert, so repeats held back (a poll, a confirmation) never come in a burst.
    const quint64 waited = quint32(nowTick - m_lastAlert);
    return waited >= quint64(m_interval) * 1000u;
}

void AlertRepeat::noteRepeated(quint32 nowTick)
{
    if (m_repeats < MaxRepeats)
        ++m_repeats;
    m_lastAlert = nowTick;
}

bool AlertRepeat::isStale(quint32 nowTick) const
{
    if (!watching())
        return false;
    const quint64 waited = quint32(nowTick - m_since);
    return waited >= quint64(MaxRepeats) * quint64(m_interval) * 1000u;
}

} // namespace kavri::monitor
