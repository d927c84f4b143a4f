#include "support/XServer.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace kavri::test {

XServer::XServer()
{
    if (QStandardPaths::findExecutable(u"Xvfb"_s).isEmpty()) {
        m_error = u"Xvfb is not installed (scripts/setup)"_s;
        return;
    }
    // Xvfb writes the display number it took to standard output once it accepts clients.
    m_process.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x1024x24"_s,
                                u"-nolisten"_s, u"tcp"_s});
    const QDeadlineTimer deadline(10000);
    QByteArray out;
    while (!deadline.hasExpired() && !out.contains('\n') && m_process.state() != QProcess::NotRunning) {
        m_process.waitForReadyRead(100);
        out += m_process.readAllStandardOutput();
    }
    bool ok = false;
    const int number = out.trimmed().toInt(&ok);
    if (!ok) {
        m_error = u"Xvfb did not start: "_s + QString::fromLocal8Bit(m_process.readAllStandardError());
        return;
    }
    m_display = u":"_s + QString::number(number);
}

XServer::~XServer()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QByteArray XServer::xprop(const QStringList &arguments) const
{
    QProcess p;
    p.start(u"xprop"_s, QStringList{u"-display"_s, m_display} + arguments);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
}

QList<XServer::Window> XServer::stack() const
{
    QProcess p;
    p.start(u"xwininfo"_s, {u"-display"_s, m_display, u"-root"_s, u"-children"_s});
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    // Lines such as:      0x200006 "LOGIN": ("kavri-display" "kavri-display")  450x515+414+254  +414+254
    static const QRegularExpression line(uR"re(^\s+(0x[0-9a-f]+) (?:"(.*?)"|\(has no name\)):)re"_s);
    QList<Window> windows;
    for (const QString &text : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n')) {
        const QRegularExpressionMatch m = line.match(text);
        if (!m.hasMatch())
            continue;
        Window w{m.captured(1), m.captured(2), 0};
        const QByteArray pid = xprop({u"-id"_s, w.id, u"_NET_WM_PID"_s});
        if (const qsizetype equals = pid.indexOf('='); equals > 0)
            w.pid = pid.mid(equals + 1).trimmed().toLongLong();
        windows << w;
    }
    return windows;
}

} // namespace kavri::test
