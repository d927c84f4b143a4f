#include "HttpMessage.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace kavri::sim {

QByteArray HttpRequest::header(const QByteArray &lowerName) const
{
    for (const auto &h : headers) {
        if (h.first == lowerName)
            return h.second;
    }
    return {};
}

HttpRequestParser::HttpRequestParser(HttpLimits limits) : m_limits(limits) {}

HttpRequestParser::State HttpRequestParser::fail(int status, const QString &text)
{
    m_state = State::Failed;
    m_errorStatus = status;
    m_errorText = text;
    m_buffer.clear();
    return m_state;
}

bool HttpRequestParser::wantsContinue() const
{
    return m_state == State::NeedMore && m_headDone && m_buffer.size() < m_contentLength &&
           m_request.header("expect").toLower() == "100-continue";
}

HttpRequestParser::State HttpRequestParser::feed(const QByteArray &data)
{
    if (m_state != State::NeedMore)
        return m_state;
    m_buffer.append(data);

    if (!m_headDone) {
        const qsizetype crlf = m_buffer.indexOf("\r\n\r\n");
        const qsizetype lf = m_buffer.indexOf("\n\n");
        qsizetype end = -1;
        qsizetype sep = 0;
        if (crlf >= 0 && (lf < 0 || crlf < lf)) {
            end = crlf;
            sep = 4;
        } else if (lf >= 0) {
            end = lf;
            sep = 2;
        }
        if (end < 0) {
            if (m_buffer.size() > m_limits.maxHeaderBytes)
                return fail(431, u"요청 헤더가 너무 깁니다."_s);
            return m_state;
        }
        if (end > m_limits.maxHeaderBytes)
            return fail(431, u"요청 헤더가 너무 깁니다."_s);
        if (parseHead(end, sep) == State::Failed)
            return m_state;
    }

    if (m_buffer.size() > m_contentLength)
        m_buffer.truncate(m_contentLength); // no pipelining: bytes after the body are dropped
    if (m_buffer.size() < m_contentLength)
        return m_state;
    m_request.body = m_buffer;
    m_buffer.clear();
    m_state = State::Complete;
    return m_state;
}

HttpRequestParser::State HttpRequestParser::parseHead(qsizetype headEnd, qsizetype separatorLength)
{
    const QByteArray head = m_buffer.left(headEnd);
    m_buffer.remove(0, headEnd + separatorLength);
    m_headDone = true;

    QList<QByteArray> lines = head.split('\n');
    for (QByteArray &l : lines) {
        if (l.endsWith('\r'))
            l.chop(1);
    }
    const QList<QByteArray> parts = lines.value(0).split(' ');
    if (parts.size() != 3 || !parts[2].startsWith("HTTP/1.") || !parts[1].startsWith('/'))
        return fail(400, u"요청 줄을 읽을 수 없습니다."_s);
    for (char c : parts[0]) {
        if (c < 'A' || c > 'Z')
            return fail(400, u"요청 줄을 읽을 수 없습니다."_s);
    }
    m_request.method = parts[0];
    m_request.target = parts[1];
    const qsizetype q = m_request.target.indexOf('?');
    const QByteArray rawPath = q < 0 ? m_request.target : m_request.target.left(q);
    m_request.query = q < 0 ? QByteArray() : m_request.target.mid(q + 1);
    m_request.path = QUrl::fromPercentEncoding(rawPath);

    if (lines.size() - 1 > m_limits.maxHeaderCount)
        return fail(431, u"요청 헤더가 너무 많습니다."_s);
    QByteArray length;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0)
            return fail(400, u"요청 헤더를 읽을 수 없습니다."_s);
        const QByteArray name = lines[i].left(colon).trimmed().toLower();
        const QByteArray value = lines[i].mid(colon + 1).trimmed();
        if (name == "content-length") {
            if (!length.isNull() && length != value)
                return fail(400, u"Content-Length가 서로 다릅니다."_s);
            length = value;
        }
        m_request.headers.append({name, value});
    }
    if (!m_request.header("transfer-encoding").isEmpty())
        return fail(501, u"분할 전송(Transfer-Encoding)은 지원하지 않습니다."_s);
    if (!length.isNull()) {
        bool ok = false;
        const qlonglong n = length.toLongLong(&ok);
        if (!ok || n < 0 || length.startsWith('+'))
            return fail(400, u"Content-Length를 읽을 수 없습니다."_s);
        if (n > m_limits.maxBodyBytes)
            return fail(413, u"요청 본문이 너무 큽니다."_s);
        m_contentLength = qsizetype(n);
    }
    return m_state;
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 100:
        return "Continue";
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 413:
        return "Payload Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

QByteArray HttpResponse::serialize() const
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    out += "Content-Type: " + contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    out += body;
    return out;
}

HttpResponse htmlResponse(int status, const QString &html)
{
    return HttpResponse{status, "text/html; charset=utf-8", html.toUtf8()};
}

HttpResponse textResponse(int status, const QString &text)
{
    return HttpResponse{status, "text/plain; charset=utf-8", text.toUtf8()};
}

QString decodeFormComponent(const QByteArray &text)
{
    QByteArray t = text;
    t.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(t));
}

QMap<QString, QString> parseForm(const QByteArray &body)
{
    QMap<QString, QString> form;
    for (const QByteArray &pair : body.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype eq = pair.indexOf('=');
        const QByteArray key = eq < 0 ? pair : pair.left(eq);
        const QByteArray value = eq < 0 ? QByteArray() : pair.mid(eq + 1);
        form.insert(decodeFormComponent(key), decodeFormComponent(value));
    }
    return form;
}

} // namespace kavri::sim
