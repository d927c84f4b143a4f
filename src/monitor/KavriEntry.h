#pragma once

#include <QList>
#include <QString>

namespace kavri {

/// One open customer request as one cycle keeps it. All fields are text, as the
/// service sent them (the request text decoded and with its quantity).
struct KavriEntry
{
    QString NumT;     ///< the request's number at the service
    QString TableT;   ///< the table's name, also the board's table label
    QString RegDateT; ///< registration time, "yyyy-MM-dd hh:mm:ss"
    QString MemoT;    ///< request text
    QString PayTypeT; ///< "카드", "현금" or empty

    bool operator==(const KavriEntry &) const = default;
};

/// The entries of one cycle, newest first, cut to the row count.
using KavriList = QList<KavriEntry>;

} // namespace kavri
