#include "monitor/Expiry.h"

#include "monitor/RequestBoard.h"

using namespace Qt::StringLiterals;

namespace kavri::monitor {

namespace {
const QString kTimeFormat = u"yyyy-MM-dd HH:mm:ss"_s;
}

QDateTime readRegistrationTime(const QString &text)
{
    return QDateTime::fromString(text, kTimeFormat);
}

QStringList expiredRequestNumbers(const RequestBoard &board, qint64 minutes, const QDateTime &now)
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
        if (!registered.isValid())
            continue;
        const QString expiresText = registered.addSecs(minutes * 60).toString(kTimeFormat);
        if (expiresText < nowText)
            numbers.append(row.numTag);
    }
    return numbers;
}

} // namespace kavri::monitor
