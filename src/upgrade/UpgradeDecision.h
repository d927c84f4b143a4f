#pragma once

#include <QString>

#include <functional>

namespace kavri {

/// -1, 0 or 1 as `a` is older, the same as or newer than `b`: each dotted part
/// by its number written with at least four digits, then compared as text.
int VersionCompare(const QString &a, const QString &b);

enum class UpgradeOutcome {
    Continue, ///< the login goes on with this copy
    Ending    ///< the process is ending (hand-over or close button); the login must stop
};

/// What the decision opens when a newer version is offered: the download
/// window, modally. Tests install their own.
void setDownloadWindowRunner(std::function<void()> runner);

/// After every successful login: compares the catalogue's newest version with
/// this copy and with Patch.ini, and then does nothing, downloads the new
/// version, starts an already downloaded one, or gives the hand-over up.
/// Skipped silently when Deploy.ini names no patch server.
UpgradeOutcome TNV_자동_업그레이드();

} // namespace kavri
