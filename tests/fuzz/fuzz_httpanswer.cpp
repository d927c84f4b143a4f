// The HTTP client's answer handling on mutated answers: the body decoding alone on
// every input, and every 40th input sent whole (status line, headers, body) by a
// loopback server to a real form post. Never a fault or a hang; an answer is
// bounded by the body cap; a declared code page decodes as that code page; Qt
// never reports a reply's error twice (its "Internal problem" warning).

#include "FuzzHarness.h"

#include "codec/Cp949.h"
#include "platform/HttpTransport.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

// Answers every connection with `response` once the request's head has arrived, then closes.
class RawServer
{
public:
    RawServer() { m_server.listen(QHostAddress::LocalHost); }
    void setResponse(QByteArray response) { m_response = std::move(response); }
    QString url() const
    {
        return u"http://127.0.0.1:"_s + QString::number(m_server.serverPort()) + u"/program/x.php"_s;
    }
    void connectTo(QObject *context)
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, context, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (socket->property("answered").toBool())
                        return socket->readAll(), void();
                    m_request += socket->readAll();
                    if (!m_request.contains("\r\n\r\n"))
                        return;
                    m_request.clear();
                    socket->setProperty("answered", true);
                    socket->write(m_response);
                    socket->disconnectFromHost();
                });
            }
        });
    }

private:
    QTcpServer m_server;
    QByteArray m_response;
    QByteArray m_request;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    static const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (message.contains(u"Internal problem"_s))
                kavri::fuzz::Driver::fail(qPrintable(message), __FILE__, __LINE__);
            previous(type, context, message);
        });
    const std::string success = codec::toCp949(u"로그인 성공 storename[카브리]storename"_s).toStdString();
    const std::vector<std::string> seeds = {
        "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: "
        "6\r\n\r\n\xec\x84\xb1\xea\xb3\xb5",
        "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=euc-kr\r\nConnection: close\r\n\r\n" + success,
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nabcd\r\n0\r\n\r\n",
        "HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/x\r\nContent-Length: 0\r\n\r\n",
        "HTTP/1.0 500 Internal Server Error\r\n\r\n<html>error</html>",
        "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 4\r\n\r\n\x1f\x8b\x08\x00",
    };
    const std::vector<std::string> tokens = {"\r\n",
                                             "\r\n\r\n",
                                             "Content-Length: ",
                                             "Transfer-Encoding: chunked\r\n",
                                             "Content-Encoding: gzip\r\n",
                                             "Content-Encoding: deflate\r\n",
                                             "0\r\n\r\n",
                                             "ffffffffffffffff\r\n",
                                             "HTTP/1.1 ",
                                             "-1",
                                             "99999999999",
                                             "Content-Type: text/html; charset=euc-kr\r\n",
                                             "charset=utf-16",
                                             "charset=\"",
                                             "Location: ",
                                             "\xA2\xE8",
                                             "\xEC\x84",
                                             std::string(1, '\0')};
    const std::vector<QByteArray> contentTypes = {"text/html; charset=utf-8",
                                                  "text/html; charset=EUC-KR",
                                                  "text/plain;charset=\"cp949\"",
                                                  "charset=utf-16",
                                                  "charset=bogus",
                                                  "",
                                                  "text/plain;charset=",
                                                  "charset=iso-8859-1",
                                                  "charset=UTF-16LE",
                                                  "charset=\"",
                                                  ";;;=;"};

    RawServer server;
    QObject context;
    server.connectTo(&context);
    platform::HttpOptions options;
    options.stageLimitMs = 500;

    kavri::fuzz::Driver driver("fuzz_httpanswer", seeds, tokens);
    std::uint64_t n = 0;
    return driver.run(argc, argv, 20000, [&](const std::string &input, kavri::fuzz::Random &random) {
        const QByteArray raw = QByteArray::fromStdString(input);
        // The body decoding, with a declared type of its own.
        const qsizetype headEnd = raw.indexOf("\r\n\r\n");
        const QByteArray body = headEnd < 0 ? raw : raw.mid(headEnd + 4);
        const QByteArray &type = kavri::fuzz::Driver::pick(contentTypes, random);
        const QString text = platform::decodeResponseBody(body, type);
        KAVRI_FUZZ_CHECK(text.size() <= body.size());
        if (type.contains("EUC-KR") || type.contains("cp949"))
            KAVRI_FUZZ_CHECK(text == codec::fromCp949(body));

        // The whole answer through a real exchange.
        if (n++ % 40 != 0)
            return;
        server.setResponse(raw);
        const platform::HttpResult r = platform::postForm(server.url(), "ID=a&PassWord=b", options);
        KAVRI_FUZZ_CHECK(r.responded || !r.errorText.isEmpty());
        KAVRI_FUZZ_CHECK(r.body.size() <= options.maxBodyBytes);
        KAVRI_FUZZ_CHECK(r.responded || r.body.isEmpty());
    });
}
