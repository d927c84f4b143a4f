#pragma once

#include <QDateTime>
#include <QStringList>

namespace kavri::monitor {

class RequestBoard;

/// The numbers of the requests on the rows in use that are older than `minutes`
/// at `now`, in row order: registration time plus the minutes, written as
/// "yyyy-MM-dd hh:mm:ss", sorts before `now` written the same way. Nothing when
/// `minutes` is not above 0. A row whose time cannot be read is passed over.
QStringList expiredRequestNumbers(const RequestBoard &board, qint64 minutes, const QDateTime &now);

/// Reads a registration time "yyyy-MM-dd hh:mm:ss"; invalid when it is not one.
QDateTime readRegistrationTime(const QString &text);

} // namespace kavri::monitor
