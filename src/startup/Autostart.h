#pragma once

#include <QByteArray>
#include <QString>

namespace kavri {

/// $XDG_CONFIG_HOME/autostart/kavri-display.desktop (~/.config when unset or not absolute).
QString autostartFilePath();

/// One argument of a desktop entry's Exec line: quoted when it holds a reserved
/// character, with "%" doubled. Empty when it cannot be written (a line break).
QString desktopExecArgument(const QString &argument);

/// The autostart entry that starts `program`, with KAVRI_APP_DIR=`appDir` when
/// that is not empty. Empty when a path cannot be written into it.
QByteArray autostartEntry(const QString &program, const QString &appDir);

/// Writes (on) or removes (off) the autostart entry. False with `error` set
/// when it could not; removing an entry that is not there succeeds.
bool setAutostart(bool on, const QString &program, const QString &appDir, QString *error);

} // namespace kavri
