#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace kavri::sim {

enum class Scheme { Http, Https };

/// One way of misbehaving, as applied to a single /program/ request.
struct FaultAction
{
    enum class Mode { Blank, Error500, Slow, Drop, Hang, Raw };
    Mode mode = Mode::Blank;
    int delayMs = 0;
    QString body; ///< the answer of Raw
};

/// The misbehaviour asked for by the tests. A fault set for both schemes shares one
/// count, so "the next request" means the next one of either scheme.
class FaultPlan
{
public:
    static constexpr int defaultSlowMs = 15000;
    static constexpr int maxDelayMs = 600000;

    /// mode: none | blank | error500 | slow | drop | hang | raw; count 0 = until reset;
    /// scheme: http | https | both; delayMs < 0 = the default. With `numt` the fault
    /// applies only to confirmations of that request number. Returns an error text or empty.
    QString set(const QString &mode, int count, const QString &scheme, int delayMs, const QString &body,
                const QString &numt = {});
    void reset();

    /// The fault that applies to the next /program/ request of this scheme, counting it down.
    /// `numt`: the request number a confirmation names, empty for any other request.
    std::optional<FaultAction> take(Scheme scheme, const QString &numt = {});

private:
    struct Active
    {
        FaultAction action;
        QString numt; ///< only confirmations of this number; empty: every request
        int remaining = 1;
        bool unlimited = false;
    };
    std::shared_ptr<Active> m_slots[2];
};

} // namespace kavri::sim
