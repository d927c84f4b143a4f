#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The remembered login in the per-user store: the login window reads and saves
// it, the main window's logout turns its automatic login off.
namespace kavri::login {

inline const QString StoreApplication = QStringLiteral("fsVadn");
/// The sibling program's record, read when ours is missing or broken; never written.
inline const QString SiblingApplication = QStringLiteral("fsPelno");
inline const QString StoreSection = QStringLiteral("Login");
inline const QString StoreKey = QStringLiteral("A");

/// The record used when neither store holds a valid one.
QString defaultRecord();

/// The fields of a stored record; nothing unless splitting at every "◈" gives exactly four.
std::optional<QStringList> parseRecord(const QString &text);

/// The fields joined again with "◈".
QString joinRecord(const QStringList &fields);

/// The remembered login: ours, else the sibling's, else the default. Always four fields.
QStringList rememberedRecord();

/// The record saved after a successful login. With `remember` off it is
/// "flag◈flag◈◈◈" (five fields), which the next start does not take as valid.
QString buildRecord(bool remember, bool autoLogin, const QString &id, const QString &password);

/// What a logout saves for the stored text `stored`: the same record with the
/// automatic login off, or the default when `stored` is not a valid record.
QString recordAfterLogout(const QString &stored);

/// Our stored text (fsVadn / Login / A), as it is.
QString storedRecord();

/// Saves the record under fsVadn / Login / A.
bool saveRecord(const QString &record);

} // namespace kavri::login
