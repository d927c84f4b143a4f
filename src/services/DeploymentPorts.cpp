#include "services/DeploymentPorts.h"

#include "services/IniFile.h"

#include <QFile>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace kavri {

QByteArray withPortLines(const QByteArray &original, const QMap<int, QString> &lines)
{
    // A new file starts with the section header alone, in the line ends of this platform.
    QByteArray contents = original.isEmpty() ? QByteArray("[Ports]\n") : original;
    for (auto it = lines.cbegin(); it != lines.cend(); ++it)
        contents = ini::withValue(contents, u"Ports"_s, u"COM"_s + QString::number(it.key()), it.value(),
                                  IniEncoding::Utf8);
    return contents;
}

PortsWrite writePortLines(const QString &path, const QMap<int, QString> &lines)
{
    if (lines.isEmpty())
        return {true, {}};
    struct stat st
    {
    };
    const bool present = ::lstat(QFile::encodeName(path).constData(), &st) == 0;
    // The deployment's own file is changed only where it is: never through a link to somewhere else.
    if (present && S_ISLNK(st.st_mode))
        return {false, u"Deploy.ini가 다른 파일을 가리키는 링크여서 쓰지 않았습니다: "_s + path};
    if (present && !S_ISREG(st.st_mode))
        return {false, u"Deploy.ini가 일반 파일이 아니어서 쓰지 않았습니다: "_s + path};
    QByteArray original;
    if (present) {
        const auto bytes = ini::readFile(path, false);
        if (!bytes)
            return {false, u"Deploy.ini를 읽을 수 없어 쓰지 않았습니다: "_s + path};
        original = *bytes;
    }
    ini::Access access;
    access.encoding = IniEncoding::Utf8;
    access.followLinks = false;
    if (!ini::writeFile(path, withPortLines(original, lines), access))
        return {false, u"Deploy.ini에 쓸 수 없습니다: "_s + path};
    return {true, {}};
}

} // namespace kavri
