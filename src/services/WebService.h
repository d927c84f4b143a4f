#pragma once

#include <QString>

// What the program fixes about the web service: endpoint paths and form bodies.
// What it reads in the answers is in ServiceAnswers.h.
namespace kavri::web {

inline const QString LoginPath = QStringLiteral("/program/logins.php");
inline const QString RequestListPath = QStringLiteral("/program/qrtablememolistloading.php");
inline const QString ConfirmPath = QStringLiteral("/program/qrtablememoOK.php");
inline const QString TableListPath = QStringLiteral("/program/qrtableloading.php");

/// The form key whose value never reaches a log line.
inline const QString PasswordKey = QStringLiteral("PassWord");

/// A value as application/x-www-form-urlencoded (UTF-8): letters, digits and
/// "-._~" stay, a space becomes "+", everything else "%XX". So "&", "=", "+"
/// and "%" in an ID or password reach the service as typed.
QString formValue(const QString &value);

/// `gBaseURL` + path.
QString endpoint(const QString &path);

/// "ID=" + ID + "&PassWord=" + password: the start of every body.
QString credentialsBody(const QString &id, const QString &password);
QString loginBody(const QString &id, const QString &password);
/// The open request list: credentials + "&checked=Y".
QString requestListBody(const QString &id, const QString &password);
/// Confirming one request: credentials + "&numt=" + the request number.
QString confirmBody(const QString &id, const QString &password, const QString &requestNumber);
QString tableListBody(const QString &id, const QString &password);

/// `text` (a body, or an address + "?" + body) with the value of every
/// "PassWord" field written as "****"; everything else unchanged.
QString maskPassword(const QString &text);

} // namespace kavri::web
