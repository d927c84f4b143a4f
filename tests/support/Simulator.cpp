#include "support/Simulator.h"

#include "services/ProcessValues.h"
#include "services/WinHttp.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <sys/prctl.h>

using namespace Qt::StringLiterals;

namespace kavri::test {
namespace {

constexpr int startDeadlineMs = 10000;

bool makeCertificate(const QString &folder, QString *error)
{
    QProcess openssl;
    openssl.start(u"openssl"_s,
                  {u"req"_s, u"-x509"_s, u"-newkey"_s, u"ec"_s, u"-pkeyopt"_s,
                   u"ec_paramgen_curve:prime256v1"_s, u"-nodes"_s, u"-days"_s, u"30"_s, u"-subj"_s,
                   u"/CN=127.0.0.1"_s, u"-addext"_s, u"subjectAltName=IP:127.0.0.1,DNS:localhost"_s,
                   u"-keyout"_s, folder + u"/key.pem"_s, u"-out"_s, folder + u"/cert.pem"_s});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0) {
        openssl.kill();
        openssl.waitForFinished(5000);
        *error = u"openssl failed: "_s + QString::fromLocal8Bit(openssl.readAllStandardError());
        return false;
    }
    return true;
}

QByteArray unescapeLogBody(const QByteArray &text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

QStringList Simulator::defaultArgs()
{
    return {u"--shop"_s, shopId + u':' + shopPassword + u':' + shopName, u"--tables"_s,
            shopId + u":1층/1,1층/2,1층/3,창가/10"_s};
}

Simulator::Simulator(const QStringList &args)
{
    if (!m_certFolder.isValid()) {
        m_error = u"no temporary folder"_s;
        return;
    }
    if (!makeCertificate(m_certFolder.path(), &m_error))
        return;
    QStringList all = args;
    all << u"--http-port"_s << u"0"_s << u"--https-port"_s << u"0"_s << u"--cert"_s << caCertificatePath()
        << u"--key"_s << m_certFolder.filePath(u"key.pem"_s);
    // A test that aborts runs no destructor: the simulator ends with it instead of
    // staying behind on its ports.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start(QStringLiteral(KAVRI_SIM_PATH), all);

    static const QRegularExpression ready(u"^READY http=(\\d+) https=(\\d+)$"_s);
    const QDeadlineTimer deadline(startDeadlineMs);
    QByteArray out;
    while (!deadline.hasExpired()) {
        if (m_process.state() == QProcess::NotRunning)
            break;
        if (!m_process.canReadLine()) {
            m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
            continue;
        }
        const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
        const QRegularExpressionMatch m = ready.match(line);
        if (m.hasMatch()) {
            m_httpPort = quint16(m.captured(1).toUInt());
            m_httpsPort = quint16(m.captured(2).toUInt());
            return;
        }
    }
    m_error =
        u"kavri-sim did not become ready: "_s + QString::fromLocal8Bit(m_process.readAllStandardError());
    stop();
}

Simulator::~Simulator()
{
    stop();
}

bool Simulator::stop()
{
    m_httpPort = m_httpsPort = 0;
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    m_process.terminate();
    if (m_process.waitForFinished(5000))
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    m_process.kill();
    m_process.waitForFinished(5000);
    return false;
}

QString Simulator::httpBase() const
{
    return u"http://127.0.0.1:"_s + QString::number(m_httpPort);
}

QString Simulator::httpsBase() const
{
    return u"https://127.0.0.1:"_s + QString::number(m_httpsPort);
}

QString Simulator::caCertificatePath() const
{
    return m_certFolder.filePath(u"cert.pem"_s);
}

QSslConfiguration Simulator::trustingConfiguration() const
{
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.addCaCertificates(QSslCertificate::fromPath(caCertificatePath()));
    return config;
}

QByteArray Simulator::form(const QList<QPair<QString, QString>> &fields)
{
    QByteArray body;
    for (const auto &[key, value] : fields) {
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(key) + '=' + QUrl::toPercentEncoding(value);
    }
    return body;
}

SimReply Simulator::exchange(const QString &url, const QByteArray *body, int timeoutMs,
                             const QSslConfiguration *ssl)
{
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setTransferTimeout(timeoutMs);
    if (ssl)
        request.setSslConfiguration(*ssl);
    // A fresh manager per exchange: no connection, TLS session or trust decision carries over.
    QNetworkAccessManager network;
    QNetworkReply *reply;
    if (body) {
        request.setHeader(QNetworkRequest::ContentTypeHeader, u"application/x-www-form-urlencoded"_s);
        reply = network.post(request, *body);
    } else {
        reply = network.get(request);
    }
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&limit, &QTimer::timeout, reply, &QNetworkReply::abort);
    limit.start(timeoutMs + 1000);
    if (!reply->isFinished())
        loop.exec();

    SimReply result;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    result.answered = status.isValid();
    result.status = status.toInt();
    result.body = reply->readAll();
    result.error = reply->error();
    result.errorString = reply->errorString();
    delete reply;
    return result;
}

SimReply Simulator::post(const QString &url, const QByteArray &body, int timeoutMs,
                         const QSslConfiguration *ssl)
{
    return exchange(url, &body, timeoutMs, ssl);
}

SimReply Simulator::get(const QString &url, int timeoutMs)
{
    return exchange(url, nullptr, timeoutMs, nullptr);
}

SimReply Simulator::control(const QString &path, const QByteArray &body)
{
    return post(httpBase() + path, body);
}

qint64 Simulator::addRequest(const QString &shop, const QString &table, const QString &text,
                             const QString &payType, const QString &regDate, int count)
{
    const SimReply r = control(u"/sim/request"_s, form({{u"shop"_s, shop},
                                                        {u"table"_s, table},
                                                        {u"text"_s, text},
                                                        {u"paytype"_s, payType},
                                                        {u"regdate"_s, regDate},
                                                        {u"count"_s, QString::number(count)}}));
    bool ok = false;
    const qint64 number = r.text().toLongLong(&ok);
    return r.status == 200 && ok ? number : -1;
}

bool Simulator::setFault(const QString &mode, int count, const QString &scheme, int delayMs)
{
    QList<QPair<QString, QString>> fields{
        {u"mode"_s, mode}, {u"count"_s, QString::number(count)}, {u"scheme"_s, scheme}};
    if (delayMs >= 0)
        fields.append({u"delay_ms"_s, QString::number(delayMs)});
    return control(u"/sim/fault"_s, form(fields)).status == 200;
}

bool Simulator::setRawAnswer(const QString &body, int count, const QString &scheme)
{
    return control(u"/sim/fault"_s, form({{u"mode"_s, u"raw"_s},
                                          {u"count"_s, QString::number(count)},
                                          {u"scheme"_s, scheme},
                                          {u"body"_s, body}}))
               .status == 200;
}

bool Simulator::setConfirmFault(qint64 number, const QString &mode, int count, const QString &body)
{
    return control(u"/sim/fault"_s, form({{u"mode"_s, mode},
                                          {u"count"_s, QString::number(count)},
                                          {u"body"_s, body},
                                          {u"numt"_s, QString::number(number)}}))
               .status == 200;
}

bool Simulator::reset()
{
    return control(u"/sim/reset"_s, {}).status == 200;
}

bool Simulator::setPatchFault(const QString &mode, qint64 bytes, int count)
{
    return control(u"/sim/patchfault"_s, form({{u"mode"_s, mode},
                                               {u"bytes"_s, QString::number(bytes)},
                                               {u"count"_s, QString::number(count)}}))
               .status == 200;
}

bool Simulator::clearLog()
{
    return control(u"/sim/clearlog"_s, {}).status == 200;
}

QList<ReceivedRequest> Simulator::receivedLog()
{
    QList<ReceivedRequest> log;
    const SimReply r = get(httpBase() + u"/sim/log"_s);
    for (const QByteArray &line : r.body.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() < 4)
            continue;
        const qsizetype bodyStart = parts[0].size() + parts[1].size() + parts[2].size() + 3;
        log.append({QString::fromUtf8(parts[0]), QString::fromUtf8(parts[1]), QString::fromUtf8(parts[2]),
                    unescapeLogBody(line.mid(bodyStart))});
    }
    return log;
}

int Simulator::receivedCount(const QString &target)
{
    int n = 0;
    for (const ReceivedRequest &r : receivedLog())
        n += r.target == target ? 1 : 0;
    return n;
}

void Simulator::logIn(int stageLimitMs) const
{
    winHttpOptions() = platform::HttpOptions{};
    winHttpOptions().stageLimitMs = stageLimitMs;
    gBaseURL = httpBase();
    gLoginID = shopId;
    gLoginPW = shopPassword;
}

void Simulator::logOut()
{
    winHttpOptions() = platform::HttpOptions{};
}

} // namespace kavri::test
