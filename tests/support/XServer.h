#pragma once

#include <QList>
#include <QProcess>
#include <QString>

namespace kavri::test {

/// A private X server for one test: Xvfb on a free display number (it picks the
/// number itself), stopped when destroyed. Tests skip when Xvfb is not installed.
class XServer
{
public:
    XServer();
    ~XServer();
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;

    bool isRunning() const { return !m_display.isEmpty(); }
    QString errorString() const { return m_error; }
    /// ":N", for DISPLAY.
    QString display() const { return m_display; }

    /// What `xprop -display <this> <arguments>` prints; empty when it fails.
    QByteArray xprop(const QStringList &arguments) const;

    struct Window
    {
        QString id; ///< "0x…"
        QString name;
        qint64 pid = 0; ///< _NET_WM_PID, 0 when the window has none
    };
    /// The root's children from the top of the stack to its bottom.
    QList<Window> stack() const;

private:
    QProcess m_process;
    QString m_display;
    QString m_error;
};

} // namespace kavri::test
