#include "startup/OsName.h"

#include "platform/SystemInfo.h"

using namespace Qt::StringLiterals;

namespace kavri {

QString GetOSName()
{
    return platform::osPrettyName();
}

QString bitnessSuffix(bool os64Bit)
{
    return os64Bit ? u", 64비트"_s : u", 32비트"_s;
}

} // namespace kavri
