#pragma once

#include "platform/Clock.h"

namespace kavri::platform {

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

} // namespace kavri::platform
