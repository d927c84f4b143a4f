#pragma once

#include "codec/Cp949.h"
#include "services/AppFolder.h"
#include "services/EventLog.h"
#include "support/MariaDbServer.h"
#include "upgrade/UpgradeValues.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpServer>
#include <QThread>

namespace kavri::test {

/// The lines of today's main log, decoded.
inline QStringList mainLogLines()
{
    QFile file(logFilePath(QDateTime::currentDateTime(), LogChannel::Main));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QByteArray trimmed = line.endsWith('\r') ? line.chopped(1) : line;
        if (!trimmed.isEmpty())
            lines.append(codec::fromCp949(trimmed.mid(trimmed.indexOf(']') + 1)));
    }
    return lines;
}

/// The catalogue of `db` as the program's patch server.
inline PatchServer patchServerFor(const MariaDbServer &db, const QString &download = {})
{
    PatchServer s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = db.port();
    s.user = MariaDbServer::user;
    s.password = MariaDbServer::password;
    s.downloadAddress = download;
    return s;
}

/// A loopback port with nothing listening on it.
inline quint16 deadPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

/// The history rows: route, status, branch, company name, MAC, OS, version, kind, app path, newest last.
inline QList<QList<std::optional<QString>>> historyRows(MariaDbServer &db)
{
    return db
        .rows(QStringLiteral(
            "SELECT P_DOWN_PROG, P_DOWN_OK, P_BRANCH, P_COMP_NAME, P_MAC, P_OS, P_VERSION, P_KIND,"
            " P_APP_PATH, P_TYPE FROM mgmt.TNV_Vadn_PatchItemTB ORDER BY P_AUTO"))
        .value_or(QList<QList<std::optional<QString>>>{});
}

/// A stand-in for the new program: records its arguments and working folder in
/// "started.txt" there, padded to `size` bytes with a comment.
inline QByteArray handoverScript(int size = 50000)
{
    QByteArray script = "#!/bin/sh\necho \"$#|$1\" > started.txt\npwd >> started.txt\nexit 0\n# ";
    script += QByteArray(std::max<qsizetype>(0, size - script.size() - 1), 'x');
    script += '\n';
    return script;
}

/// Waits until `path` exists with some content, at most `ms`; returns its text.
inline QString waitForFile(const QString &path, int ms = 10000)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray all = f.readAll();
            if (all.count('\n') >= 2)
                return QString::fromLocal8Bit(all);
        }
        QThread::msleep(50);
    }
    return {};
}

} // namespace kavri::test
