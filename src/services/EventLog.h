#pragma once

#include <QDateTime>
#include <QString>

namespace kavri {

/// Log channels: suffixes of the daily file name; the empty suffix is the main log.
namespace LogChannel {
inline const QString Main;
inline const QString WinHttp = QStringLiteral("_WinHttp");
inline const QString WinHttpReq = QStringLiteral("_WinHttp_Req");
inline const QString Print = QStringLiteral("_PRN");
/// The request list channel: one file per hour, "_WinHttp_Req_" + HH.
QString requestListHour(const QDateTime &at);
} // namespace LogChannel

/// Path of the log file of `channel` for the day of `at`: yyMMdd + channel + ".log".
QString logFilePath(const QDateTime &at, const QString &channel);

/// The record as written: "[yyMMdd-hhmmss.zzz]" + text + CR LF, in CP949.
QByteArray logRecord(const QDateTime &at, const QString &text);

/// Appends one record to the day's file of `channel`. Opens and closes the file
/// for every record; never reports a failure to the caller.
void WriteLog(const QString &text, const QString &channel = {});

} // namespace kavri
