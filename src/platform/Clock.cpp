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

const Clock &clock()
{
    return *g_clock;
}

void setClock(const Clock *clock)
{
    g_clock = clock ? clock : &g_systemClock;
}

} // namespace kavri::platform
