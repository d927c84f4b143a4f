#pragma once

#include "platform/CatalogueDb.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kavri {

struct Deployment;

/// The upgrade's log lines name its window and join names with an arrow.
inline const QString UpgradeWindowName = QStringLiteral("frmDataLoad");
inline const QString LogArrow = QString(QChar(0x2192));

/// Where the catalogue and the downloads are, from Deploy.ini [Patch].
struct PatchServer
{
    QString host;        ///< empty: no patch server, the upgrade check is skipped
    quint16 port = 3306; ///< the catalogue database
    QString user;        ///< the catalogue account
    QString password;
    QString downloadAddress; ///< host[:port] of the "/cc/" downloads, without a scheme
    /// When a [Patch] key could not be read: the main log line that names it (the server is then unset).
    QString unreadable;

    bool isSet() const { return !host.isEmpty(); }
};

/// The patch server of the deployment; an empty Server, or a Server or Download
/// that cannot be read, gives an unset one (the latter with `unreadable` said).
PatchServer patchServerOf(const Deployment &deployment);

/// A Deploy.ini address as host[:port]: a leading "scheme://" of `schemes` (any
/// case) and trailing slashes are dropped; nullopt for another scheme, a path,
/// or what splitHostPort cannot read.
std::optional<QString> hostPortOf(const QString &text, const QStringList &schemes, quint16 defaultPort);
/// What the self-upgrade reads and sets between the decision, the catalogue and the download.
struct UpgradeState
{
    QString patchType = QStringLiteral("A"); ///< the catalogue key of this product
    QString serverVersion;                   ///< version of the newest catalogue entry; empty when none
    qint32 serverSize = 0;                   ///< its size in bytes; 0 when unreadable
    QString serverSha256;                    ///< its SHA-256 (lower-case hex) when the catalogue gives one
    QString curVersion;                      ///< the running program's version, GetAppVersion()
    /// The downloaded executable; the catalogue relies on the name.
    QString patchFile = QStringLiteral("TenviVadn_Last.EXE");
    /// Set by the upgrade decision from Deploy.ini.
    PatchServer patchServer;
};

/// The upgrade's state: the one the innermost living UpgradeStateScope holds,
/// else the program's own.
UpgradeState &upgradeState();

/// Owns a fresh state and lends it as the program's while it lives, then puts
/// back the one before: a test starts from the defaults, whatever ran before.
class UpgradeStateScope
{
public:
    UpgradeStateScope();
    ~UpgradeStateScope();
    UpgradeStateScope(const UpgradeStateScope &) = delete;
    UpgradeStateScope &operator=(const UpgradeStateScope &) = delete;
    UpgradeState &state() { return m_state; }

private:
    UpgradeState m_state;
    UpgradeState *m_before;
};

/// "host[:port]" or "[v6]:port"; false when it cannot be read.
bool splitHostPort(const QString &text, QString *host, quint16 *port, quint16 defaultPort);

/// The program's version: major.minor.0.revision, without leading zeros.
QString GetAppVersion();

} // namespace kavri
