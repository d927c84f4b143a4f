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

// Values of the self-upgrade, read and set by the decision, the catalogue and the download.
extern QString gPatchType;     ///< "A": the catalogue key of this product
extern QString gServerVersion; ///< version of the newest catalogue entry; empty when none
extern qint32 gServerSize;     ///< its size in bytes; 0 when unreadable
extern QString gServerSha256;  ///< its SHA-256 (lower-case hex) when the catalogue gives one
extern QString gCurVersion;    ///< the running program's version, GetAppVersion()
extern QString
    gPatchFile; ///< "TenviVadn_Last.EXE": the downloaded executable; the catalogue relies on the name

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
/// Set by the upgrade decision from Deploy.ini; tests set it directly.
extern PatchServer gPatchServer;

/// "host[:port]" or "[v6]:port"; false when it cannot be read.
bool splitHostPort(const QString &text, QString *host, quint16 *port, quint16 defaultPort);

/// The program's version: major.minor.0.revision, without leading zeros.
QString GetAppVersion();

} // namespace kavri
