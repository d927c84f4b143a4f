#include "Certificate.h"

#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>

using namespace Qt::StringLiterals;

namespace kavri::sim {

bool makeSelfSignedCertificate(const QString &folder, QString *certPath, QString *keyPath, QString *error)
{
    *certPath = folder + u"/sim-cert.pem"_s;
    *keyPath = folder + u"/sim-key.pem"_s;
    QProcess openssl;
    openssl.start(u"openssl"_s,
                  {u"req"_s, u"-x509"_s, u"-newkey"_s, u"ec"_s, u"-pkeyopt"_s,
                   u"ec_paramgen_curve:prime256v1"_s, u"-nodes"_s, u"-days"_s, u"3650"_s, u"-subj"_s,
                   u"/CN=127.0.0.1"_s, u"-addext"_s, u"subjectAltName=IP:127.0.0.1,DNS:localhost"_s,
                   u"-keyout"_s, *keyPath, u"-out"_s, *certPath});
    if (!openssl.waitForStarted(10000)) {
        *error = u"openssl 명령을 실행할 수 없습니다."_s;
        return false;
    }
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        openssl.kill();
        openssl.waitForFinished(5000);
        *error = u"인증서를 만들지 못했습니다: "_s + QString::fromLocal8Bit(openssl.readAllStandardError());
        return false;
    }
    return true;
}

bool loadServerConfiguration(const QString &certPath, const QString &keyPath, QSslConfiguration *config,
                             QString *error)
{
    const QList<QSslCertificate> certs = QSslCertificate::fromPath(certPath, QSsl::Pem);
    if (certs.isEmpty() || certs.first().isNull()) {
        *error = u"인증서를 읽을 수 없습니다: "_s + certPath;
        return false;
    }
    QFile keyFile(keyPath);
    if (!keyFile.open(QIODevice::ReadOnly)) {
        *error = u"키 파일을 열 수 없습니다: "_s + keyPath;
        return false;
    }
    const QByteArray pem = keyFile.readAll();
    QSslKey key;
    for (QSsl::KeyAlgorithm algorithm : {QSsl::Ec, QSsl::Rsa, QSsl::Dsa}) {
        key = QSslKey(pem, algorithm, QSsl::Pem, QSsl::PrivateKey);
        if (!key.isNull())
            break;
    }
    if (key.isNull()) {
        *error = u"개인 키를 읽을 수 없습니다: "_s + keyPath;
        return false;
    }
    QSslConfiguration c = QSslConfiguration::defaultConfiguration();
    c.setLocalCertificateChain(certs);
    c.setPrivateKey(key);
    c.setPeerVerifyMode(QSslSocket::VerifyNone);
    *config = c;
    return true;
}

} // namespace kavri::sim
