#pragma once

#include <QString>

namespace kavri {

/// The file beside the executable that marks a copy installed from the package.
/// Such a copy never writes into its own folder (under /usr, read only).
inline constexpr char16_t InstalledMarkerName[] = u"kavri-display.installed";

/// How the application folder was chosen.
enum class AppFolderSource {
    Environment, ///< KAVRI_APP_DIR names it
    PerUser,     ///< an installed copy: $XDG_DATA_HOME/kavri-display
    Program,     ///< the executable's own folder (portable copy, build folder)
    Fixed        ///< set by setAppFolder (tests, tools)
};

struct AppFolderChoice
{
    QString folder;
    AppFolderSource source = AppFolderSource::Program;
    /// True when the executable's folder belongs to an installed copy.
    bool installed = false;
};

/// True when the executable's folder is an installed copy: it holds the marker,
/// or this user cannot write it.
bool isInstalledProgramFolder(const QString &programFolder);
/// $XDG_DATA_HOME/kavri-display; ~/.local/share/kavri-display when XDG_DATA_HOME
/// is unset or not absolute.
QString perUserAppFolder();
/// The choice itself: KAVRI_APP_DIR (`fromEnv`) first, unless it names the
/// installed copy's own folder; then the per-user folder for an installed copy;
/// else the executable's folder.
AppFolderChoice chooseAppFolder(const QString &fromEnv, const QString &programFolder, const QString &perUser);

/// The application folder: where every file of the program lives (see chooseAppFolder).
QString appFolder();
/// How appFolder() was chosen.
AppFolderChoice appFolderChoice();
/// The folder of the running executable (where the installed pictures and kavri-speak are).
QString programFolder();
/// Fixes the application folder (start-up and tests).
void setAppFolder(const QString &folder);
/// The path of `name` inside the application folder.
QString appFilePath(const QString &name);

/// Makes `folder` (mode 0700 when new, as is each folder made above it) with
/// skin/ and sound/, and links every
/// picture and chime of `installFolder` into it that it does not hold yet (a copy
/// where a link cannot be made). A file the user put there is kept. False with
/// `error` set when the folder cannot be made.
bool prepareAppFolder(const QString &folder, const QString &installFolder, QString *error);

} // namespace kavri
