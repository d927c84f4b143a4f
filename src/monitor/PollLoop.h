#pragma once

#include <QString>

#include <functional>

namespace kavri::monitor {

/// The poll loop as a plain state object. The session owns a 100 ms timer
/// (`LoopTimer`) and calls LoopTimer_Timer() on every timeout; the
/// loop runs one request list cycle whenever the interval has passed since the
/// end of the last one, the first on the first tick. Keep it beside the
/// request cycle, outside the window, so a reload of the window keeps its state.
class PollLoop
{
public:
    /// `cycle` runs one request list cycle (the session passes Load_Kavri(false)).
    /// `cycleRunning` tells whether a cycle started elsewhere (an option change,
    /// a confirmation) is running; the tick then leaves the decision to the next
    /// tick after it ends.
    explicit PollLoop(std::function<void()> cycle, std::function<bool()> cycleRunning = {});

    /// The poll interval in milliseconds from the stored `calltime`: every "초"
    /// removed, whole seconds above 9, else 10 (an empty text is 10).
    static quint32 intervalFromCallTime(const QString &calltime);
    /// Window activation: reads `calltime` of section "Set" of Zarazo.cfg.
    void activate();

    /// One tick of `LoopTimer`.
    void LoopTimer_Timer();

    bool LoopTimerDoing() const { return m_doing; }
    /// The confirmation holds the loop while it works, so ticks only skip.
    void setLoopTimerDoing(bool doing) { m_doing = doing; }
    /// Tick at the end of the last cycle; 0 before the first.
    quint32 LastLoopTick() const { return m_lastLoopTick; }
    /// Makes the next poll come one full interval from now.
    void restartInterval();
    /// Milliseconds until a tick could next start a cycle: 0 before the first
    /// cycle, the tick period while a cycle runs or the loop is held, else
    /// what is left of the interval.
    quint32 msUntilNextDecision() const;
    /// The period of `LoopTimer` after a tick: msUntilNextDecision() kept
    /// between the tick period and one second, so the loop wakes at most once a
    /// second between polls and every tick while a cycle runs.
    int nextTickMs() const;
    static constexpr quint32 kTickMs = 100;
    quint32 LoopInterval() const { return m_loopInterval; }

    /// The longest interval: tick differences are measured modulo 2^32, so
    /// anything up to half of that stays unambiguous.
    static constexpr qint64 kMaxIntervalSeconds = 2147483;

private:
    std::function<void()> m_cycle;
    std::function<bool()> m_cycleRunning;
    bool m_doing = false;
    bool m_started = false; // tick 0 is a real tick after the wrap, not "never"
    quint32 m_lastLoopTick = 0;
    quint32 m_loopInterval = 10000;
};

} // namespace kavri::monitor
