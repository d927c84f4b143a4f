#pragma once

#include <QDateTime>
#include <QList>
#include <QStringList>

namespace kavri::monitor {

class RequestBoard;
class RequestCycle;

/// The numbers of the requests on the rows in use that are older than `minutes`
/// at `now`, in row order: registration time plus the minutes is before `now`
/// on the wall clock, to the second (registrationSeconds()). Nothing when
/// `minutes` is not above 0. A row whose time cannot be read is passed over and
/// named in `unreadableRows` when given.
QStringList expiredRequestNumbers(const RequestBoard &board, qint64 minutes, const QDateTime &now,
                                  QList<int> *unreadableRows = nullptr);

/// The expiry pass over the board as the last cycle filled it: confirms the
/// requests older than the minutes shown in `삭제` (`shownMinutes`, 0 or less
/// is off) in row order, up to the first confirmation the service does not
/// answer (ConfirmResult::NoAnswer); a refused one is passed over. It names each
/// to `cycle`, which does not announce them. When at least one
/// was confirmed it asks `cycle` for one reload, unless the running cycle was
/// itself asked for by an expiry pass. A row whose time cannot be read is
/// reported and passed over. True when the pass ran to its end.
bool runExpiryPass(const QString &shownMinutes, const RequestBoard &board, RequestCycle &cycle);

} // namespace kavri::monitor
