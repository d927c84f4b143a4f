#include "support/FileBytes.h"

#include <QFile>

namespace kavri::test {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray hex(const QByteArray &bytes)
{
    return bytes.toHex(' ');
}

} // namespace kavri::test
