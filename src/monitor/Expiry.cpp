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
const QString kTimeFormat = u"yyyy-MM-dd HH:mm:ss"_s;
}

QDateTime readRegistrationTime(const QString &text)
{
    // The cycle's reader decides what is a time, so every row it shows can expire
    // and no text it refuses (a signed year, say) is read here.
    if (!minuteStamp(text))
        return {};
    const QDate date = QDate::fromString(text.left(10), u"yyyy-MM-dd"_s);
    const QTime time = QTime::fromString(text.mid(11), u"HH:mm:ss"_s);
    const QDateTime local(date, time);
    // A time the clock skipped at the change to summer time is read as written.
    return local.isValid() ? local : QDateTime(date, time, Qt::UTC);
}

QStringList expiredRequestNumbers(const RequestBoard &board, qint64 minutes, const QDateTime &now,
                                  QList<int> *unreadableRows)
{
    QStringList numbers;
    if (minutes <= 0)
        return numbers;
    const QString nowText = now.toString(kTimeFormat);
    for (int r = 0; r < board.rowCount(); ++r) {
        const BoardRow &row = board.row(r);
        if (row.regDate.isEmpty())
            continue;
        const QDateTime registered = readRegistrationTime(row.regDate);
        if (!registered.isValid()) {
            if (unreadableRows)
                unreadableRows->append(r);
            continue;
        }
        const QString expiresText = registered.addSecs(minutes * 60).toString(kTimeFormat);
        if (expiresText < nowText && !row.numTag.isEmpty())
            numbers.append(row.numTag);
    }
    return numbers;
}

bool Disp_삭제(const QString &shownMinutes, const RequestBoard &board, RequestCycle &cycle)
{
    // Beyond a century of minutes nothing on the board can expire; the bound
    // keeps the date arithmetic in range.
    constexpr qint64 kMaxMinutes = qint64(100) * 366 * 24 * 60;
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
    // The first confirmation that fails or times out ends the pass: a service
    // that hangs on each would otherwise hold the poll loop for every row in
    // turn. The rest wait for the next pass.
    bool anyConfirmed = false;
    for (const QString &numT : expired) {
        cycle.noteConfirmedByExpiry(numT);
        if (!Check_Kavri(numT))
            break;
        cycle.responseStats().noteConfirmed(numT, LeftHow::Auto, platform::clock().now());
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
