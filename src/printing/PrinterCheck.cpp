#include "printing/PrinterCheck.h"

#include "printing/PrinterConnection.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

// A printer that answers does so within milliseconds; staff should not wait longer for one that does not.
constexpr quint32 kMostStatusWaitMs = 1000;

} // namespace

PrinterCheck checkPrinter(const PortTarget &target, qint32 speed, quint32 waitMs)
{
    PrinterCheck check;
    platform::LineOpening opening = openPrinter(target, speed, waitMs);
    if (!opening.line) {
        const QString why = opening.error.description.isEmpty() ? QString::number(opening.error.number)
                                                                : opening.error.description;
        check.text = u"연결 실패: "_s + why;
        return check;
    }
    check.connected = true;
    if (!opening.line->twoWay()) {
        check.text = u"연결됨 · 상태를 알리지 않는 장치"_s;
    } else {
        check.condition = askCondition(*opening.line, std::min(waitMs, kMostStatusWaitMs));
        check.text = u"연결됨 · "_s + conditionText(check.condition);
    }
    opening.line->close();
    return check;
}

} // namespace kavri
