#pragma once

#include <QSslConfiguration>
#include <QString>

namespace kavri::sim {

/// Makes a self-signed certificate for 127.0.0.1 and localhost with the openssl command.
bool makeSelfSignedCertificate(const QString &folder, QString *certPath, QString *keyPath, QString *error);

/// A server configuration from PEM files.
bool loadServerConfiguration(const QString &certPath, const QString &keyPath, QSslConfiguration *config,
                             QString *error);

} // namespace kavri::sim
