#pragma once

#include <QByteArray>
#include <QString>

namespace kavri {

/// $XDG_CONFIG_HOME/autostart/kavri-display.desktop (~/.config when unset or not absolute).
QString autostartFilePath();

/// One argument of a desktop entry's Exec line: quoted when it holds a reserved
/// character, with "%" doubled. Empty when it cannot be written (a line break).
QString desktopExecArgument(const QString &argument);

/// The command the autostart entry runs for the program file `program`: the name
/// "kavri-display" when this is the package's copy (`installed`) and that name on
/// PATH reaches this very file (`onPath`, the file it resolves to, "" when none),
/// so the entry survives upgrades and is skipped once the package is removed;
/// else the absolute path. Both paths are resolved (no links) by the caller.
QString autostartCommand(const QString &program, const QString &onPath, bool installed);

/// The autostart entry that starts `command`, with KAVRI_APP_DIR=`appDir` when
/// that is not empty; TryExec names `command` too, so a desktop skips the entry
/// once the program is gone. Empty when a path cannot be written into it.
QByteArray autostartEntry(const QString &command, const QString &appDir);

/// Writes (on) or removes (off) the autostart entry for `command`. False with
/// `error` set when it could not; removing an entry that is not there succeeds.
bool setAutostart(bool on, const QString &command, const QString &appDir, QString *error);

} // namespace kavri
