#pragma once

#include <QDateTime>
#include <QtGlobal>

namespace kavri::platform {

/// Every reading of the time goes through one clock, so a test can set it.
class Clock
{
public:
    virtual ~Clock() = default;
    /// Milliseconds since the machine started, low 32 bits; compare modulo 2^32.
    virtual quint32 tick() const = 0;
    /// Local date and time with milliseconds.
    virtual QDateTime now() const = 0;
};

/// The clock of the machine.
class SystemClock final : public Clock
{
public:
    quint32 tick() const override;
    QDateTime now() const override;
};

/// A clock for tests: the date stands still until the test moves it; the tick
/// runs with real time (so waits still end) from a settable starting value.
class ManualClock final : public Clock
{
public:
    ManualClock();
    quint32 tick() const override;
    QDateTime now() const override;

    void setNow(const QDateTime &now) { m_now = now; }
    void advance(qint64 ms);
    void setTick(quint32 tick);

private:
    QDateTime m_now;
    quint32 m_tickBase = 0;
    quint32 m_realAtBase = 0;
};

/// The clock in use; the system clock unless a test installed another.
const Clock &clock();
/// Installs `clock` (not owned); nullptr goes back to the system clock.
void setClock(const Clock *clock);

} // namespace kavri::platform
