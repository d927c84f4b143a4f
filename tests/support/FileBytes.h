#pragma once

#include <QByteArray>
#include <QString>

namespace kavri::test {

/// The whole file as bytes; empty when it cannot be read.
QByteArray readBytes(const QString &path);
/// Writes `bytes` as the whole file; false on failure.
bool writeBytes(const QString &path, const QByteArray &bytes);
/// Hex dump for readable failure messages.
QByteArray hex(const QByteArray &bytes);

} // namespace kavri::test
