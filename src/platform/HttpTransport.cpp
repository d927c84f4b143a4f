#include "platform/HttpTransport.h"

#include "codec/Cp949.h"

#include <cstring>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSslConfiguration>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

QByteArray charsetOf(const QByteArray &contentType)
{
    for (const QByteArray &part : contentType.split(';')) {
        const QByteArray item = part.trimmed();
        if (item.toLower().startsWith("charset=")) {
            QByteArray value = item.mid(8).trimmed();
            if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
                value = value.mid(1, value.size() - 2);
            return value.toLower();
        }
    }
    return {};
}

bool isCp949Name(const QByteArray &charset)
{
    return charset == "euc-kr" || charset == "cp949" || charset == "ks_c_5601-1987" ||
           charset == "x-windows-949" || charset == "windows-949" || charset == "uhc";
}

// A status the server sent counts as a response; errors of the connection, the
// proxy and the protocol (and our own abort) do not.
bool isHttpLevelError(QNetworkReply::NetworkError error)
{
    const int code = static_cast<int>(error);
    return error == QNetworkReply::NoError || (code >= 201 && code <= 299) || (code >= 401 && code <= 499);
}

// Qt takes a second error on one reply for an internal fault: a reply that has
// reported an error of its own is not aborted but left to end with its deletion.
void stopReply(QNetworkReply *reply)
{
    if (reply && !reply->isFinished() && reply->error() == QNetworkReply::NoError)
        reply->abort();
}

// Answers come as sent, never compressed: Qt's decompression of a body that does
// not decompress reported an error of its own beside the connection's (two
// errors on one reply) and left an empty body that looked like an answer.
void askForPlainBodies(QNetworkRequest &request)
{
    request.setRawHeader("Accept-Encoding", "identity");
}

/// The form's bytes, readable once. Qt sends a request again on its own when the
/// connection closes before any answer byte, but only when it can rewind the body;
/// this body cannot be rewound, so each attempt reaches the service at most once.
class OneShotBody final : public QIODevice
{
public:
    OneShotBody(QByteArray bytes, QObject *parent) : QIODevice(parent), m_bytes(std::move(bytes))
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    bool reset() override { return false; }
    qint64 bytesAvailable() const override { return m_bytes.size() - m_at + QIODevice::bytesAvailable(); }
    bool atEnd() const override { return m_at >= m_bytes.size() && QIODevice::bytesAvailable() == 0; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_at >= m_bytes.size())
            return -1;
        const qint64 n = std::min<qint64>(maxSize, m_bytes.size() - m_at);
        std::memcpy(data, m_bytes.constData() + m_at, size_t(n));
        m_at += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_at = 0;
};

} // namespace

bool decodeResponsePieces(const QByteArray &body, const QByteArray &contentType,
                          const std::function<bool(QStringView)> &piece)
{
    const QByteArray charset = charsetOf(contentType);
    // Each road keeps what a slice boundary cuts for the next slice, so the pieces
    // together are the text the whole body gives.
    auto inSlices = [&body, &piece](auto &&decodeSlice) {
        for (qsizetype at = 0; at < body.size(); at += DecodeSliceBytes) {
            const QString text =
                decodeSlice(QByteArrayView(body).sliced(at, std::min(DecodeSliceBytes, body.size() - at)));
            if (!piece(text))
                return false;
        }
        return true;
    };
    auto cp949 = [&] {
        codec::Cp949Decoder decoder;
        if (!inSlices([&decoder](QByteArrayView slice) { return decoder.decode(slice); }))
            return false;
        const QString end = decoder.finish();
        return end.isEmpty() || piece(end);
    };
    if (isCp949Name(charset))
        return cp949();
    if (!charset.isEmpty() && charset != "utf-8" && charset != "utf8") {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return inSlices([&decoder](QByteArrayView slice) { return QString(decoder.decode(slice)); });
    }
    if (QByteArrayView(body).isValidUtf8()) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        return inSlices([&utf8](QByteArrayView slice) { return QString(utf8.decode(slice)); });
    }
    if (charset == "utf-8" || charset == "utf8") {
        // Declared UTF-8 that is not: every bad sequence becomes a mark, read whole.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        return piece(QString(utf8.decode(body)));
    }
    return cp949();
}

QString decodeResponseBody(const QByteArray &body, const QByteArray &contentType,
                           const std::function<void()> &between)
{
    QString text;
    text.reserve(body.size());
    const bool sliced = between && body.size() > DecodeSliceBytes;
    decodeResponsePieces(body, contentType, [&](QStringView piece) {
        text += piece;
        if (sliced)
            between();
        return true;
    });
    return text;
}

QString HttpResult::text() const
{
    return decodeResponseBody(body, contentType);
}

namespace {

QNetworkRequest formRequest(const QUrl &url, const HttpOptions &options, qsizetype bodySize)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray(kFormContentType));
    request.setRawHeader("User-Agent", kUserAgent);
    askForPlainBodies(request);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (!options.extraCaCertificates.isEmpty()) {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.addCaCertificates(options.extraCaCertificates);
        request.setSslConfiguration(ssl);
    }
    request.setHeader(QNetworkRequest::ContentLengthHeader, bodySize);
    request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
    return request;
}

/// A posted form's reply while it arrives: its body, kept under the cap as it
/// comes, and why the wait ended early, if it did.
struct ReplyWatch
{
    QPointer<QNetworkReply> reply;
    qint64 cap = 0;
    int stageLimit = 1;
    QByteArray received;
    bool timedOut = false;
    bool tooLarge = false;

    /// Reads what has arrived straight onto the end of `received`: QIODevice::read(max)
    /// would allocate `max` bytes (up to the cap) for every piece.
    void take()
    {
        const qsizetype before = received.size();
        const qint64 room = cap + 1 - before;
        const qint64 want = std::min<qint64>(room, std::max<qint64>(reply->bytesAvailable(), 0));
        if (want <= 0)
            return;
        received.resize(before + qsizetype(want));
        const qint64 got = reply->read(received.data() + before, want);
        received.resize(before + qsizetype(std::max<qint64>(got, 0)));
    }
};

/// Lets events run until the reply finishes, a stage passes `stageLimit` without
/// progress, the attempt passes four stages, or the body passes the cap.
void waitForReply(ReplyWatch &w)
{
    QNetworkReply *reply = w.reply;
    QEventLoop loop;
    QTimer stageTimer;
    stageTimer.setSingleShot(true);
    QTimer attemptTimer;
    attemptTimer.setSingleShot(true);
    auto progress = [&stageTimer, &w] { stageTimer.start(w.stageLimit); };
    auto giveUp = [&] {
        w.timedOut = true;
        stopReply(w.reply);
        loop.quit();
    };
    auto overCap = [&] {
        w.tooLarge = true;
        w.received.clear();
        stopReply(w.reply);
        loop.quit();
    };
    QObject::connect(reply, &QNetworkReply::socketStartedConnecting, &loop, progress);
    QObject::connect(reply, &QNetworkReply::encrypted, &loop, progress);
    QObject::connect(reply, &QNetworkReply::requestSent, &loop, progress);
    QObject::connect(reply, &QNetworkReply::uploadProgress, &loop, progress);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, progress);
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, progress);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        bool known = false;
        const qint64 declared = w.reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (known && declared > w.cap)
            overCap();
        else if (known && declared > w.received.capacity())
            w.received.reserve(qsizetype(declared) + 1);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        if (w.tooLarge)
            return;
        w.take();
        if (w.received.size() > w.cap)
            overCap();
    });
    QObject::connect(&stageTimer, &QTimer::timeout, &loop, giveUp);
    QObject::connect(&attemptTimer, &QTimer::timeout, &loop, giveUp);
    stageTimer.start(w.stageLimit);
    attemptTimer.start(4 * w.stageLimit);
    if (!reply->isFinished())
        loop.exec();
}

/// Why an attempt that got no usable response failed, in the result's terms.
void describeFailure(HttpResult &result, const ReplyWatch &w)
{
    result.failedStep = 3;
    if (w.tooLarge) {
        result.errorNumber = static_cast<int>(QNetworkReply::UnknownContentError);
        result.errorText =
            u"응답이 "_s + QString::number(w.cap / (1024 * 1024)) + u"MB를 넘어 받기를 멈췄습니다."_s;
    } else if (w.timedOut) {
        result.errorNumber = static_cast<int>(QNetworkReply::TimeoutError);
        result.errorText =
            u"시간 제한("_s + QString::number(w.stageLimit) + u"ms)을 넘어 요청을 멈췄습니다."_s;
    } else if (w.reply->error() == QNetworkReply::ContentReSendError) {
        // The connection closed before the answer and Qt wanted to send the form again.
        result.errorNumber = static_cast<int>(QNetworkReply::RemoteHostClosedError);
        result.errorText = u"응답 전에 연결이 끊겼습니다."_s;
    } else {
        result.errorNumber = static_cast<int>(w.reply->error());
        result.errorText = w.reply->errorString();
    }
}

} // namespace

HttpResult postForm(const QString &address, const QByteArray &body, const HttpOptions &options)
{
    HttpResult result;
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http"_s && scheme != u"https"_s)) {
        result.failedStep = 2;
        result.errorNumber = static_cast<int>(QNetworkReply::ProtocolUnknownError);
        result.errorText = u"주소가 올바르지 않습니다: "_s + address;
        return result;
    }

    // A manager of its own per attempt: no connection, cookie or credential outlives it.
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    ReplyWatch w;
    w.stageLimit = std::max(1, options.stageLimitMs);
    w.cap = std::max<qint64>(0, options.maxBodyBytes);
    w.reply = manager.post(formRequest(url, options, body.size()), new OneShotBody(body, &manager));
    // The body is taken as it arrives, so Qt's own buffer stays small and the cap
    // holds while receiving, not after.
    w.reply->setReadBufferSize(1024 * 1024);
    waitForReply(w);

    if (!w.reply) {
        result.failedStep = 3;
        result.errorNumber = static_cast<int>(QNetworkReply::UnknownNetworkError);
        result.errorText = u"요청이 사라졌습니다."_s;
        return result;
    }
    stopReply(w.reply);

    const QVariant status = w.reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const bool answered = status.isValid() && isHttpLevelError(w.reply->error());
    if (!w.timedOut && !w.tooLarge && answered) {
        w.take();
        if (w.received.size() > w.cap)
            w.tooLarge = true;
    }
    if (!w.timedOut && !w.tooLarge && answered) {
        result.responded = true;
        result.status = status.toInt();
        result.statusText =
            QString::fromLatin1(w.reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
        result.contentType = w.reply->rawHeader("Content-Type");
        result.body = std::move(w.received);
    } else {
        describeFailure(result, w);
    }
    delete w.reply.data();
    return result;
}

struct HttpFileFetch::Impl
{
    QNetworkAccessManager manager;
    QPointer<QNetworkReply> reply;
    QFile file;
    qint64 maxBytes = 0;
    qint64 written = 0;
    bool finished = false;
    bool writeFailed = false;
    QString writeError;
    int status = 0;

    void take()
    {
        if (!reply)
            return;
        while (reply->bytesAvailable() > 0 && !writeFailed) {
            const QByteArray chunk = reply->read(std::min<qint64>(64 * 1024, reply->bytesAvailable()));
            const qint64 room = maxBytes - written;
            const QByteArray part = chunk.left(std::max<qint64>(0, room));
            if (!part.isEmpty() && file.write(part) != part.size()) {
                writeFailed = true;
                writeError = file.errorString();
            }
            written += part.size();
            if (chunk.size() > room) {
                // More than can be right: stop here; the size test tells the rest.
                stopReply(reply);
                break;
            }
        }
    }
};

HttpFileFetch::HttpFileFetch() : d(std::make_unique<Impl>()) {}

HttpFileFetch::~HttpFileFetch()
{
    abort();
}

bool HttpFileFetch::start(const QString &address, const QString &filePath, qint64 maxBytes, QString *error)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http"_s && scheme != u"https"_s)) {
        *error = u"주소가 올바르지 않습니다: "_s + address;
        return false;
    }
    d->file.setFileName(filePath);
    if (!d->file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = d->file.errorString();
        return false;
    }
    d->maxBytes = std::max<qint64>(0, maxBytes);
    d->manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(url);
    request.setRawHeader("User-Agent", kUserAgent);
    askForPlainBodies(request);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    d->reply = d->manager.get(request);
    Impl *impl = d.get();
    QObject::connect(d->reply, &QNetworkReply::readyRead, d->reply, [impl] { impl->take(); });
    QObject::connect(d->reply, &QNetworkReply::finished, d->reply, [impl] {
        impl->take();
        const QVariant status = impl->reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        impl->status = status.isValid() ? status.toInt() : 0;
        impl->finished = true;
    });
    return true;
}

bool HttpFileFetch::isFinished() const
{
    return d->finished;
}

void HttpFileFetch::abort()
{
    if (d->reply) {
        QNetworkReply *reply = d->reply;
        reply->disconnect();
        stopReply(reply);
        reply->deleteLater();
        d->reply = nullptr;
    }
    d->finished = true;
    if (d->file.isOpen())
        d->file.close();
}

bool HttpFileFetch::finish(QString *error)
{
    if (d->file.isOpen() && !d->file.flush() && !d->writeFailed) {
        d->writeFailed = true;
        d->writeError = d->file.errorString();
    }
    abort();
    if (d->writeFailed && error)
        *error = d->writeError;
    return !d->writeFailed;
}

int HttpFileFetch::status() const
{
    return d->status;
}

} // namespace kavri::platform
