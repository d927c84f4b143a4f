#include "monitor/Expiry.h"

#include "monitor/Confirmation.h"
#include "monitor/RequestBoard.h"
#include "monitor/RequestCycle.h"
#include "monitor/RequestList.h"
#include "platform/Clock.h"
#include "services/Conversions.h"
#include "services/ErrorReport.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

namespace {
// Beyond a century of minutes nothing on the board can expire; the bound keeps
// the arithmetic in range.
constexpr qint64 kMaxMinutes = qint64(100) * 366 * 24 * 60;
} // namespace

QStringList expiredRequestNumbers(const RequestBoard &board, qint64 minutes, const QDateTime &now,
                                  QList<int> *unreadableRows)
{
    QStringList numbers;
    if (minutes <= 0)
        return numbers;
    minutes = std::min(minutes, kMaxMinutes);
    // The cycle's reader, so every row it shows can expire and no text it
    // refuses (a signed year, say) is read here.
    const qint64 nowSeconds = wallClockSeconds(now);
    for (int r = 0; r < board.rowCount(); ++r) {
        const BoardRow &row = board.row(r);
        if (row.regDate.isEmpty())
            continue;
        const std::optional<qint64> registered = registrationSeconds(row.regDate);
        if (!registered) {
            if (unreadableRows)
                unreadableRows->append(r);
            continue;
        }
        if (*registered + minutes * 60 < nowSeconds && !row.numTag.isEmpty())
            numbers.append(row.numTag);
    }
    return numbers;
}

bool runExpiryPass(const QString &shownMinutes, const RequestBoard &board, RequestCycle &cycle)
{
    const qint64 minutes = std::min(ToLong(shownMinutes), kMaxMinutes);
    if (minutes <= 0)
        return true;
    QList<int> unreadable;
    const QStringList expired = expiredRequestNumbers(board, minutes, platform::clock().now(), &unreadable);
    for (int r : unreadable) {
        reportError(u"frmAlarm"_s, u"Disp_삭제"_s,
                    {2, 13,
                     u"등록 시각을 읽을 수 없어 건너뜀: "_s + QString::number(r + 1) + u"번 줄 "_s +
                         board.row(r).regDate});
    }
    // The board is read once: the confirmations let events run, and a layout
    // change meanwhile must not make the pass confirm rows it never examined.
    // A service that hangs ends the pass: it would otherwise hold the poll loop
    // for every row in turn, and the rest wait for the next pass. A refusal
    // concerns its own request only: the older rows go on, and the refused one
    // is tried again by the next pass.
    bool anyConfirmed = false;
    for (const QString &numT : expired) {
        cycle.noteConfirmedByExpiry(numT);
        const ConfirmResult result = confirmRequest(numT);
        if (result == ConfirmResult::NoAnswer)
            break;
        if (result == ConfirmResult::Refused)
            continue;
        cycle.responseStats().noteConfirmed(numT, stats::LeftHow::Auto, platform::clock().now());
        anyConfirmed = true;
    }
    // Only a list that changed is reloaded. A reload asked for by a pass runs a
    // pass of its own; that one confirms again but asks no further, and the
    // next poll tries again.
    if (anyConfirmed && !cycle.runningForExpiry())
        cycle.Load_Kavri(false, RequestCycle::Asker::Expiry);
    return true;
}

} // namespace kavri::monitor
