#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

namespace kavri::sim {

/// One parsed HTTP/1.x request.
struct HttpRequest
{
    QByteArray method;
    QByteArray target;                            ///< as sent: path and query
    QString path;                                 ///< percent-decoded path, without the query
    QByteArray query;                             ///< raw text after '?'
    QList<QPair<QByteArray, QByteArray>> headers; ///< names in lower case
    QByteArray body;

    QByteArray header(const QByteArray &lowerName) const;
};

/// Bounds that keep a bad client from growing a connection's buffer without end.
struct HttpLimits
{
    qsizetype maxHeaderBytes = 16 * 1024;
    qsizetype maxBodyBytes = 1024 * 1024;
    int maxHeaderCount = 100;
};

/// Incremental parser for one request on a connection (no keep-alive, no chunked bodies).
class HttpRequestParser
{
public:
    enum class State { NeedMore, Complete, Failed };

    explicit HttpRequestParser(HttpLimits limits = {});

    /// Adds received bytes and reports how far the request has come.
    State feed(const QByteArray &data);
    State state() const { return m_state; }
    const HttpRequest &request() const { return m_request; }

    /// The status and text to answer with when the request failed to parse.
    int errorStatus() const { return m_errorStatus; }
    QString errorText() const { return m_errorText; }

    /// True once the headers are in, they ask for "100-continue" and the body is still missing.
    bool wantsContinue() const;

private:
    State fail(int status, const QString &text);
    State parseHead(qsizetype headEnd, qsizetype separatorLength);

    HttpLimits m_limits;
    QByteArray m_buffer;
    HttpRequest m_request;
    State m_state = State::NeedMore;
    bool m_headDone = false;
    qsizetype m_contentLength = 0;
    int m_errorStatus = 0;
    QString m_errorText;
};

/// An answer; serialised with Content-Length and "Connection: close".
struct HttpResponse
{
    int status = 200;
    QByteArray contentType = "text/html; charset=utf-8";
    QByteArray body;

    QByteArray serialize() const;
};

QByteArray reasonPhrase(int status);
HttpResponse htmlResponse(int status, const QString &html);
HttpResponse textResponse(int status, const QString &text);

/// application/x-www-form-urlencoded: pairs split at '&' then at the first '=', '+' as space,
/// percent escapes decoded, UTF-8. A key given twice keeps its last value.
QMap<QString, QString> parseForm(const QByteArray &body);
QString decodeFormComponent(const QByteArray &text);

} // namespace kavri::sim
