#include "support/ManualClock.h"

namespace kavri::platform {
namespace {

// The tick of the machine, which ManualClock runs on from its own base.
quint32 monotonicMs()
{
    return SystemClock().tick();
}

} // namespace

ManualClock::ManualClock()
    : m_now(QDateTime::currentDateTime()), m_tickBase(monotonicMs()), m_realAtBase(m_tickBase)
{
}

quint32 ManualClock::tick() const
{
    return m_tickBase + (monotonicMs() - m_realAtBase);
}

QDateTime ManualClock::now() const
{
    return m_now;
}

void ManualClock::advance(qint64 ms)
{
    m_now = m_now.addMSecs(ms);
    m_tickBase += static_cast<quint32>(ms);
}

void ManualClock::setTick(quint32 tick)
{
    m_tickBase = tick;
    m_realAtBase = monotonicMs();
}

} // namespace kavri::platform
