#pragma once

#include "ShopState.h"

#include <QStringList>

namespace kavri::sim {

struct Options
{
    int httpPort = 0; ///< 0: any free port
    int httpsPort = 0;
    QString certPath;
    QString keyPath;
    QList<Shop> shops;
    bool demo = false;
    QString stateFile;
    int maxConnections = 64;
    QString patchFolder; ///< served under /cc/; empty: no downloads
};

/// Reads the command line; on a mistake returns false with a message for the user.
bool parseOptions(const QStringList &arguments, Options *options, QString *error);

/// "ID:PW:NAME"; the name may hold ':'.
bool parseShop(const QString &text, Shop *shop);
/// "group/table,group/table,..."; an entry "group/table/N" is a table that is not in use,
/// an entry without '/' is a table without group. Numbers run from 1 in the order given.
QList<Table> parseTables(const QString &list);

/// The demo shop "demo" / "1234" with tables A1..A6 and B1..B5.
Shop demoShop();
/// A few open requests of the demo shop, registered minutes before now.
QList<CustomerRequest> demoRequests();

} // namespace kavri::sim
