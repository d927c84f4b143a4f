#pragma once

#include <QFileDevice>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

namespace kavri {

enum class IniEncoding { Cp949, Utf8 };

/// The one INI reader and writer of the program. Section and key names are
/// compared without regard to case, values are trimmed (unless `exactValues`).
/// The file is read anew on every call, as settings may be edited by hand while
/// the program runs. Only a regular file of at most MaxFileBytes is read; a FIFO,
/// a device or a folder in its place reads as missing and is never replaced.
namespace ini {

/// The largest settings file read; a bigger one is not a settings file of ours.
inline constexpr qsizetype MaxFileBytes = 1024 * 1024;

/// How one file is read and written beyond its code page.
struct Access
{
    IniEncoding encoding = IniEncoding::Cp949;
    /// Values keep their blanks: what was set is what is read (the per-user store).
    bool exactValues = false;
    /// False: a symbolic link in the file's place is neither read nor replaced.
    bool followLinks = true;
    /// The mode of a file the write creates; an existing file keeps its own.
    QFileDevice::Permissions newFilePermissions =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
};

/// The whole file when it is a regular file of at most MaxFileBytes; nothing
/// otherwise. Never waits (a FIFO is not read) and never reads without bound.
std::optional<QByteArray> readFile(const QString &path, bool followLinks = true);

/// The value of `key` in `section`, or nothing when the file, section or key is missing.
std::optional<QString> read(const QString &path, const QString &section, const QString &key,
                            IniEncoding encoding = IniEncoding::Cp949);
std::optional<QString> read(const QString &path, const QString &section, const QString &key,
                            const Access &access);

/// Sets `key` in `section`, creating file, section and key when missing. Every
/// other line of the file stays as it was. The new contents go to a temporary
/// file that replaces the old one (keeping its mode, owner and group), so a
/// crash never leaves it half written; only when the folder allows no temporary
/// file is the file rewritten in place, in one write, and put back as it was
/// when that write fails. `permissions` applies to a new file.
bool write(const QString &path, const QString &section, const QString &key, const QString &value,
           IniEncoding encoding = IniEncoding::Cp949,
           QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther);
bool write(const QString &path, const QString &section, const QString &key, const QString &value,
           const Access &access);

/// Sets every key of `values` in `section` (in their order) with ONE atomic
/// replace of the file: either all of them reach the file or none does and the
/// file stays as it was.
bool writeValues(const QString &path, const QString &section, const QList<QPair<QString, QString>> &values,
                 IniEncoding encoding = IniEncoding::Cp949,
                 QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ReadGroup | QFileDevice::ReadOther);

/// Replaces the whole file with `contents` the way write() replaces it (a temporary
/// file renamed over it, mode and owner kept; a FIFO, device or folder in its place,
/// or a link when `access.followLinks` is false, is left alone). False when it did
/// not, or when `contents` is over MaxFileBytes. For the program's own small files.
bool writeFile(const QString &path, const QByteArray &contents, const Access &access);

/// The pure text transformation behind write(): `original` with the key set.
QByteArray withValue(const QByteArray &original, const QString &section, const QString &key,
                     const QString &value, IniEncoding encoding);

/// The pure lookup behind read().
std::optional<QString> valueIn(const QByteArray &contents, const QString &section, const QString &key,
                               IniEncoding encoding, bool exactValues = false);

} // namespace ini
} // namespace kavri
