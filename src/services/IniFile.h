#pragma once

#include <QFileDevice>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

namespace kavri {

enum class IniEncoding { Cp949, Utf8 };

/// The one INI reader and writer of the program. Section and key names are
/// compared without regard to case, values are trimmed. The file is read anew
/// on every call, as settings may be edited by hand while the program runs.
namespace ini {

/// The value of `key` in `section`, or nothing when the file, section or key is missing.
std::optional<QString> read(const QString &path, const QString &section, const QString &key,
                            IniEncoding encoding = IniEncoding::Cp949);

/// Sets `key` in `section`, creating file, section and key when missing. Every
/// other line of the file stays as it was. The file is replaced atomically, so
/// a crash never leaves it half written. `permissions` applies to a new file.
bool write(const QString &path, const QString &section, const QString &key, const QString &value,
           IniEncoding encoding = IniEncoding::Cp949,
           QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther);

/// Sets every key of `values` in `section` (in their order) with ONE atomic
/// replace of the file: either all of them reach the file or none does and the
/// file stays as it was.
bool writeValues(const QString &path, const QString &section, const QList<QPair<QString, QString>> &values,
                 IniEncoding encoding = IniEncoding::Cp949,
                 QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ReadGroup | QFileDevice::ReadOther);

/// The pure text transformation behind write(): `original` with the key set.
QByteArray withValue(const QByteArray &original, const QString &section, const QString &key,
                     const QString &value, IniEncoding encoding);

/// The pure lookup behind read().
std::optional<QString> valueIn(const QByteArray &contents, const QString &section, const QString &key,
                               IniEncoding encoding);

} // namespace ini
} // namespace kavri
