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

/// The clock in use; the system clock unless a test installed another.
const Clock &clock();
/// Installs `clock` (not owned); nullptr goes back to the system clock.
void setClock(const Clock *clock);

} // namespace kavri::platform
