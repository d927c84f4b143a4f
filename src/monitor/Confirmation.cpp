#include "monitor/Confirmation.h"

#include "monitor/RequestBoard.h"
#include "services/EventLog.h"
#include "services/ProcessValues.h"
#include "services/WebService.h"
#include "services/WinHttp.h"

using namespace Qt::StringLiterals;

namespace kavri::monitor {

bool Check_Kavri(const QString &numT)
{
    const QString address = web::endpoint(web::ConfirmPath);
    const QString body = web::confirmBody(gLoginID, gLoginPW, numT);
    WriteLog(web::maskPassword(u"Check_Kavri() ... "_s + address + u'?' + body), LogChannel::WinHttpReq);
    const QString answer = GetWinHttp(address, body);
    WriteLog(u"Check_Kavri() ... ResponseStr:"_s + gCrLf + answer, LogChannel::WinHttpReq);
    return web::hasSuccessMarker(answer);
}

QStringList markedRequestNumbers(const RequestBoard &board)
{
    QStringList numbers;
    for (int r = 0; r < RequestBoard::kMaxRows; ++r) {
        const BoardRow &row = board.row(r);
        if (row.marked && !row.isEmpty() && !row.numTag.isEmpty())
            numbers.append(row.numTag);
    }
    return numbers;
}

} // namespace kavri::monitor
