#pragma once

#include <QString>

// Values fixed once for the whole process and read everywhere.
namespace kavri {

// Fixed by start-up.
extern bool gDevMode;       ///< "-developermode" on the command line
extern bool gFilePrint;     ///< "-fileprint": tickets go to the print log only
extern QString gMacAddress; ///< network adapter address for the patch history
extern QString gOSName;     ///< operating system label with ", 64비트" or ", 32비트"
extern QString gVersion;    ///< "major.minor.0.patch #22"
extern QString gSkinPath;   ///< application folder + "/skin"
extern QString gSoundPath;  ///< application folder + "/sound"

/// Separator of the fields of the remembered login record.
inline const QString gSep = QString(QChar(0x25C8));
inline const QString gCrLf = QStringLiteral("\r\n");

// Established by a successful login.
extern QString gLoginID;
extern QString gLoginPW;
extern QString gStoreName;
extern QString gBaseURL;

/// The version text of this build.
QString buildVersionText(int major, int minor, int revision);

} // namespace kavri
