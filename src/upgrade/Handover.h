#pragma once

#include <QString>

#include <functional>

namespace kavri {

/// Ends the process (after a hand-over or the close button). In the program it
/// does not return; a test installs a hook that records the call and returns.
void endUpgradeProcess(int code);
/// True once endUpgradeProcess was called (only a test hook lets it return).
bool upgradeProcessEnded();
void clearUpgradeProcessEnded();
/// Installs the hook; an empty function goes back to ending the process.
void setEndUpgradeProcess(std::function<void(int)> hook);

/// Starts the downloaded program: gives it its run bit, then starts it with the
/// one argument "/a" in the application folder, not waiting for it. False with
/// `error` set when it could not be started.
bool startPatchedProgram(const QString &path, QString *error);

/// Reads and writes Patch.ini through CfgWork, pointing it back at the file it had.
QString readPatchIni(const QString &key);
void writePatchIni(const QString &version, const QString &result);
void writePatchResult(const QString &result);

} // namespace kavri
