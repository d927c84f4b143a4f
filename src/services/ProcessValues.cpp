#include "services/ProcessValues.h"

namespace kavri {

bool gDevMode = false;
bool gFilePrint = false;
QString gMacAddress;
QString gOSName;
QString gVersion;
QString gSkinPath;
QString gSoundPath;

QString gLoginID;
QString gLoginPW;
QString gStoreName;
QString gBaseURL;

QString buildVersionText(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2.0.%3 #22").arg(major).arg(minor).arg(revision);
}

} // namespace kavri
