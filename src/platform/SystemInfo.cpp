#include "platform/SystemInfo.h"

#include <QFile>
#include <QSysInfo>

#include <sys/utsname.h>

using namespace Qt::StringLiterals;

namespace kavri::platform {

QString osPrettyName()
{
    for (const QString &path : {u"/etc/os-release"_s, u"/usr/lib/os-release"_s}) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (!line.startsWith(u"PRETTY_NAME="_s))
                continue;
            QString value = line.mid(12);
            if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                value.back() == value.front())
                value = value.mid(1, value.size() - 2);
            if (!value.isEmpty())
                return value;
        }
    }
    return QSysInfo::prettyProductName();
}

bool isOs64Bit()
{
    utsname u{};
    if (uname(&u) != 0)
        return QSysInfo::WordSize == 64;
    const QString machine = QString::fromLatin1(u.machine);
    return machine.contains(u"64"_s) || machine == u"s390x"_s;
}

} // namespace kavri::platform
