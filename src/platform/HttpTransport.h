#pragma once

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QString>
#include <QStringView>

#include <functional>
#include <memory>

namespace kavri::platform {

/// How one form post is made.
struct HttpOptions
{
    /// The limit on each stage (name lookup, connect, send, receive): no stage may
    /// go longer than this without progress, and a whole attempt ends after four of them.
    int stageLimitMs = 10000;
    /// The largest response body taken (10,000 requests are about 4 MB); a bigger
    /// one fails the attempt as soon as it crosses this, while it is still arriving.
    qint64 maxBodyBytes = 16 * 1024 * 1024;
    /// Certificates trusted besides the system's own; empty in the program (tests add
    /// the simulator's authority here).
    QList<QSslCertificate> extraCaCertificates;
};

/// What one attempt gave.
struct HttpResult
{
    bool responded = false; ///< a response arrived, whatever its status
    int status = 0;         ///< HTTP status code when responded
    QString statusText;     ///< the reason phrase of the status line
    QByteArray body;        ///< the response body as it came
    QByteArray contentType; ///< its Content-Type header, which may name its character set
    int failedStep = 0;     ///< when not responded: 2 the request could not be made, 3 the wait failed
    int errorNumber = 0;    ///< when not responded: the transport's error code
    QString errorText;      ///< when not responded: what went wrong

    /// The body as text (decodeResponseBody, at once).
    QString text() const;
};

inline constexpr char kFormContentType[] = "application/x-www-form-urlencoded";
inline constexpr char kUserAgent[] = "Firefox 3.6.4";

/// One form post: a fresh connection (no cookies, no proxy, nothing kept), the two
/// headers, the stage limits. No redirect is followed: a 3xx is a response like any
/// other (following one would post the ID and password to wherever it points). Lets
/// events run while it waits; returns when the response has arrived or the
/// transport gave up.
HttpResult postForm(const QString &address, const QByteArray &body, const HttpOptions &options = {});

/// A GET whose body goes straight into a file (the patch download). The transfer
/// runs while the caller lets events run; the caller polls isFinished(). Whatever
/// the status, the body is what gets saved; at most `maxBytes` of it.
class HttpFileFetch
{
public:
    HttpFileFetch();
    ~HttpFileFetch();
    HttpFileFetch(const HttpFileFetch &) = delete;
    HttpFileFetch &operator=(const HttpFileFetch &) = delete;

    /// Sends the request; false with `error` set when the address or the file cannot be used.
    bool start(const QString &address, const QString &filePath, qint64 maxBytes, QString *error);
    bool isFinished() const;
    /// Stops the transfer where it is and closes the file.
    void abort();
    /// Closes the file. False with `error` set when a write failed.
    bool finish(QString *error);
    int status() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

/// The response body as text: the declared character set when there is one; else
/// UTF-8 when the bytes are valid UTF-8, else CP949 (the Korean legacy code page).
/// With `between`, a body longer than DecodeSliceBytes is decoded in slices and
/// `between` runs after each (the window's events); the text is the same.
QString decodeResponseBody(const QByteArray &body, const QByteArray &contentType,
                           const std::function<void()> &between = {});
inline constexpr qsizetype DecodeSliceBytes = 1024 * 1024;
/// The same text in pieces, in order, each from about DecodeSliceBytes of the body
/// (a character cut by a slice boundary goes whole into the next piece), so a long
/// answer never needs its whole text at once. `piece` returns false to stop there;
/// false when it did.
bool decodeResponsePieces(const QByteArray &body, const QByteArray &contentType,
                          const std::function<bool(QStringView)> &piece);

} // namespace kavri::platform
