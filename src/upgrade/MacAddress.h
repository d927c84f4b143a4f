#pragma once

#include "platform/NetworkAdapters.h"

#include <QString>
#include <QStringList>

namespace kavri {

/// The candidates from adapters that have an IP address: their hardware
/// addresses without ":", in the kernel's order (loopback left out).
QStringList macCandidatesWithIp(const QList<platform::NetworkAdapter> &adapters);

/// The Ethernet adapters' addresses, "AA:BB:CC:DD:EE:FF" joined by ";".
QString GetAdapterMACs(const QList<platform::NetworkAdapter> &adapters);
QString GetAdapterMACs();

/// The choice among `candidates` with the remembered address and the deny
/// list ("a;b;..."); the log lines it would write go to `logLines`.
QString chooseMacAddress(QStringList candidates, const QString &remembered, const QString &denyList,
                         QStringList *logLines);

/// The adapter address of this PC (twelve upper-case hex digits), or "" when
/// none qualifies. Reads the remembered address ("QTVNX"), the deny list of
/// CfgWork and the adapter list; writes its log lines to the main log.
QString GetMACAddress();

} // namespace kavri
