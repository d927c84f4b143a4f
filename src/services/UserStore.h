#pragma once

#include <QString>

namespace kavri {

/// The per-user settings store: one UTF-8 INI file per application name at
/// $XDG_CONFIG_HOME/kavri-display/<application>.ini (default ~/.config), mode
/// 0600 in a folder of mode 0700, because it holds the remembered password.
/// Values come back exactly as set; a symbolic link in place of the folder or a
/// file is never followed (the store then reads empty and refuses to write).
namespace userstore {

QString filePath(const QString &application);
/// The stored text; empty when absent.
QString get(const QString &application, const QString &section, const QString &key);
bool set(const QString &application, const QString &section, const QString &key, const QString &value);

} // namespace userstore
} // namespace kavri
