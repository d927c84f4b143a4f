#include "Faults.h"

using namespace Qt::StringLiterals;

namespace kavri::sim {

QString FaultPlan::set(const QString &mode, int count, const QString &scheme, int delayMs,
                       const QString &body, const QString &numt)
{
    bool http = false;
    bool https = false;
    if (scheme.isEmpty() || scheme == u"both"_s)
        http = https = true;
    else if (scheme == u"http"_s)
        http = true;
    else if (scheme == u"https"_s)
        https = true;
    else
        return u"scheme은 http, https, both 중 하나여야 합니다."_s;
    if (count < 0)
        return u"count는 0 이상이어야 합니다."_s;
    if (delayMs > maxDelayMs)
        return u"delay_ms가 너무 큽니다."_s;

    std::shared_ptr<Active> active;
    if (mode != u"none"_s) {
        FaultAction a;
        if (mode == u"blank"_s)
            a.mode = FaultAction::Mode::Blank;
        else if (mode == u"error500"_s)
            a.mode = FaultAction::Mode::Error500;
        else if (mode == u"slow"_s) {
            a.mode = FaultAction::Mode::Slow;
            a.delayMs = delayMs < 0 ? defaultSlowMs : delayMs;
        } else if (mode == u"drop"_s)
            a.mode = FaultAction::Mode::Drop;
        else if (mode == u"hang"_s)
            a.mode = FaultAction::Mode::Hang;
        else if (mode == u"raw"_s) {
            a.mode = FaultAction::Mode::Raw;
            a.body = body;
        } else
            return u"알 수 없는 mode입니다: "_s + mode;
        active = std::make_shared<Active>(Active{a, numt, count, count == 0});
    }
    if (http)
        m_slots[0] = active;
    if (https)
        m_slots[1] = active;
    return {};
}

void FaultPlan::reset()
{
    m_slots[0].reset();
    m_slots[1].reset();
}

std::optional<FaultAction> FaultPlan::take(Scheme scheme, const QString &numt)
{
    const std::shared_ptr<Active> active = m_slots[scheme == Scheme::Http ? 0 : 1];
    // A fault kept for one request's confirmations lets every other request through uncounted.
    if (!active || (!active->numt.isEmpty() && active->numt != numt))
        return std::nullopt;
    const FaultAction action = active->action;
    if (!active->unlimited && --active->remaining <= 0) {
        for (auto &slot : m_slots) {
            if (slot == active)
                slot.reset();
        }
    }
    return action;
}

} // namespace kavri::sim
