#pragma once

#include <QString>

namespace kavri {

/// The application folder: where every file of the program lives. It is the
/// folder named by KAVRI_APP_DIR when that is set, else the executable's folder.
QString appFolder();
/// Fixes the application folder (start-up and tests).
void setAppFolder(const QString &folder);
/// The path of `name` inside the application folder.
QString appFilePath(const QString &name);

} // namespace kavri
