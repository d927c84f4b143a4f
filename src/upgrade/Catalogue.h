#pragma once

#include "platform/CatalogueDb.h"

#include <QString>

#include <memory>

namespace kavri {

/// Elapsed milliseconds as "#,###": thousands separated by ",", nothing at all for 0.
QString formatElapsed(qint64 ms);

/// The connection settings of the catalogue: upgradeState().patchServer, database "mgmt",
/// character set euckr, and limits on connecting and reading.
platform::DbTarget catalogueTarget();

/// Opens a catalogue connection; on failure writes the error report and returns false.
bool openCatalogue(std::unique_ptr<platform::DbConnection> &connection);

/// Asks the catalogue for the newest release of upgradeState().patchType on the channel
/// (development, forced or ordinary); sets upgradeState().serverVersion, upgradeState().serverSize and
/// upgradeState().serverSha256 when a release matches. False when the catalogue could not be
/// reached or the query failed.
bool TNV_GetPatchVersion(bool force);

/// Records an install history event: route "W", "X" or ""; status "T", "F", "S",
/// or "E" (the newest row of this PC for this version is marked instead of adding one).
bool TNV_PutPatchHistory(const QString &route, const QString &status);

} // namespace kavri
