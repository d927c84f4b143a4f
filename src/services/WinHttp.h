#pragma once

#include "platform/HttpTransport.h"

#include <QString>

namespace kavri {

/// Posts `body` (form fields, already encoded) to `address` and returns the
/// answer text: the body of the last response, whatever its status, or the
/// empty text after three attempts without a response. A bad status is logged
/// once on "_WinHttp" and not retried; a failed attempt is logged and retried at
/// once. The password's value never reaches the log. Never fails to its caller.
/// `status`, when given, receives the answer's HTTP status (0 when none came).
QString GetWinHttp(const QString &address, const QString &body, int *status = nullptr);
/// An answer as it came: the body's bytes and the Content-Type that may name
/// their character set.
struct WinHttpAnswer
{
    QByteArray body;
    QByteArray contentType;
    int status = 0; ///< its HTTP status; 0 when no attempt got a response
};
/// GetWinHttp without the decoding (the same attempts, logs and status), for a
/// caller that decodes a long answer in pieces (platform::decodeResponsePieces).
WinHttpAnswer GetWinHttpAnswer(const QString &address, const QString &body);

/// The options every GetWinHttp call uses: 10000 ms per stage and the system's
/// certificate authorities. Tests shorten the limit or add their own authority here.
platform::HttpOptions &winHttpOptions();

/// The most characters of an answer written to a log line.
inline constexpr int kLogAnswerLimit = 1024 * 1024;
/// An answer as the log shows it: whole up to kLogAnswerLimit characters, else cut
/// there with its full length noted. Every log line that holds an answer uses it.
QString answerForLog(const QString &answer);
/// The same for an answer of `totalChars` characters of which `head` holds the
/// first ones (at least kLogAnswerLimit of them when there are more).
QString answerForLog(const QString &head, qsizetype totalChars);

} // namespace kavri
