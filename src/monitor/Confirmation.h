#pragma once

#include <QString>
#include <QStringList>

namespace kavri::monitor {

class RequestBoard;

/// Confirms one request at the service: posts its number, writes the request and
/// the answer to "_WinHttp_Req", and is true when the answer holds "성공".
bool Check_Kavri(const QString &numT);

/// The numbers of the marked rows that show a request, in row order, at most one
/// per row. A marked row that shows nothing gives nothing.
QStringList markedRequestNumbers(const RequestBoard &board);

} // namespace kavri::monitor
