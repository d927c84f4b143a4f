#include "platform/Clock.h"

#include <ctime>

namespace kavri::platform {
namespace {

quint32 monotonicMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const quint64 ms = static_cast<quint64>(ts.tv_sec) * 1000u + static_cast<quint64>(ts.tv_nsec) / 1000000u;
    return static_cast<quint32>(ms & 0xFFFFFFFFu);
}

const SystemClock g_systemClock;
const Clock *g_clock = &g_systemClock;

} // namespace

quint32 SystemClock::tick() const
{
    return monotonicMs();
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

ManualClock::ManualClock() : m_now(QDateTime::currentDateTime()), m_tickBase(monotonicMs()), m_realAtBase(m_tickBase)
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

const Clock &clock()
{
    return *g_clock;
}

void setClock(const Clock *clock)
{
    g_clock = clock ? clock : &g_systemClock;
}

} // namespace kavri::platform
