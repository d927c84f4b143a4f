#include "monitor/PollLoop.h"

#include "services/Conversions.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/Settings.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

PollLoop::PollLoop(std::function<void()> cycle, std::function<bool()> cycleRunning)
    : m_cycle(std::move(cycle)), m_cycleRunning(std::move(cycleRunning))
{
}

quint32 PollLoop::intervalFromCallTime(const QString &calltime)
{
    QString text = calltime.isEmpty() ? u"10"_s : calltime;
    text.remove(u"초"_s);
    qint64 seconds = ToLong(text);
    if (seconds <= 9)
        seconds = 10;
    seconds = std::min(seconds, kMaxIntervalSeconds);
    return static_cast<quint32>(seconds * 1000);
}

void PollLoop::activate()
{
    m_loopInterval = intervalFromCallTime(ReadINI(u"Set"_s, u"calltime"_s, CfgMain.fileName()));
}

void PollLoop::restartInterval()
{
    m_lastLoopTick = GetTick();
    m_started = true;
}

void PollLoop::LoopTimer_Timer()
{
    if (m_doing) {
        WriteLog(u"LoopTimer_Timer ... LoopTimerDoing으로 미처리"_s);
        return;
    }
    // A cycle someone else started is under way: it shows the newest answer, and
    // the first tick after it decides about the next one.
    if (m_cycleRunning && m_cycleRunning())
        return;
    m_doing = true;
    const quint32 now = GetTick();
    if (!m_started) {
        m_lastLoopTick = now;
        m_started = true;
    } else if (static_cast<quint32>(now - m_lastLoopTick) < m_loopInterval) {
        m_doing = false;
        return;
    }
    if (m_cycle)
        m_cycle();
    m_lastLoopTick = GetTick();
    m_doing = false;
}

quint32 PollLoop::msUntilNextDecision() const
{
    if (!m_started)
        return 0;
    if (m_doing || (m_cycleRunning && m_cycleRunning()))
        return kTickMs;
    const quint32 elapsed = GetTick() - m_lastLoopTick;
    return elapsed >= m_loopInterval ? 0 : m_loopInterval - elapsed;
}

int PollLoop::nextTickMs() const
{
    return int(std::clamp<quint32>(msUntilNextDecision(), kTickMs, 1000));
}

} // namespace kavri::monitor
