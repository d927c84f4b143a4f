#pragma once

#include <QList>
#include <QString>

namespace kavri::monitor {

/// Repeats the alert of a top request that nobody has handled, and says when it
/// has waited so long that the banner keeps a steady frame. A plain state object:
/// the session tells it the board's top after each cycle and what staff did, and
/// asks it on the loop's ticks. Times are ticks in milliseconds (modulo 2^32).
///
/// With an interval of N seconds the top request's chime and speech come again
/// N seconds after its alert and after each repeat while it stays the top and
/// staff do nothing: at most five times per request, counted across its times
/// at the top (a newer request that came and went, an empty list between, a
/// change of the interval). From 5N seconds after it became the top (when the
/// repeats are spent, if none was held back) it is stale.
class AlertRepeat
{
public:
    static constexpr int MaxRepeats = 5;
    /// The requests whose repeats are remembered when they leave the top; the
    /// one longest away from it is forgotten first.
    static constexpr int RememberedRequests = 64;
    /// The choices the option bar offers, in seconds (0 is off).
    static constexpr int Choices[] = {0, 30, 60, 120};
    /// The longest interval read from a hand-edited file: an hour.
    static constexpr int MaxIntervalSeconds = 3600;

    /// The interval kept in "AlertRepeat": whole seconds from 0 to an hour; an
    /// empty, unreadable or negative text is 0 (off), a larger one an hour.
    static int intervalFrom(const QString &stored);
    /// The option bar's entry for `seconds`: its index in Choices, or -1.
    static int choiceIndex(int seconds);

    /// Off with 0. A change starts the wait again for the present top; the
    /// repeats it has had still count.
    void setInterval(int seconds, quint32 nowTick);
    int interval() const { return m_interval; }

    /// The board's top request after a cycle (empty when the board is empty).
    /// A different number goes on with its own count (0 when new to the top);
    /// the same number changes nothing.
    void observeTop(const QString &number, quint32 nowTick);
    /// Staff answered (a confirmation, a click on the banner): nothing more is
    /// repeated for this top, not even when it comes back to the top, and it is not stale.
    void stop();

    /// A repeat of the top request's alert is due now.
    bool isDue(quint32 nowTick) const;
    /// The repeat that was due has been played (or started and cut short).
    void noteRepeated(quint32 nowTick);
    /// Staff answered the present top.
    bool stopped() const { return m_stopped; }
    /// Repeats played for the present top.
    int repeats() const { return m_repeats; }
    /// The top request has waited past its repeats unanswered.
    bool isStale(quint32 nowTick) const;
    /// How many requests that left the top are remembered.
    int remembered() const { return int(m_memory.size()); }

private:
    struct Memory
    {
        QString number;
        int repeats = 0;
        bool stopped = false;
    };

    bool watching() const { return m_interval > 0 && !m_stopped && !m_top.isEmpty(); }

    QString m_top;
    int m_interval = 0;
    int m_repeats = 0;
    bool m_stopped = false;
    quint32 m_since = 0;     ///< tick at which m_top became the top (or the interval changed)
    quint32 m_lastAlert = 0; ///< tick of its alert or last repeat
    QList<Memory> m_memory;  ///< requests that left the top, the longest away first
};

} // namespace kavri::monitor
