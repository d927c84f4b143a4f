#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <optional>
#include <termios.h>

namespace kavri::test {

/// Two connected pseudo terminals made by socat: the program under test writes
/// to printerPath() as to a serial printer, the test reads what arrived at the
/// reader end. The fixture keeps its own handle on the printer end, so the
/// link survives the program opening and closing the port many times.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    static bool socatAvailable();

    bool isValid() const { return m_valid; }
    QString error() const { return m_error; }
    QString printerPath() const { return m_dir.path() + QStringLiteral("/printer"); }
    QString readerPath() const { return m_dir.path() + QStringLiteral("/reader"); }
    /// The folder that holds the two links (and nothing of the program's).
    QString folder() const { return m_dir.path(); }

    /// Reads from the reader end until `count` bytes have arrived or `timeoutMs` passed.
    QByteArray read(qsizetype count, int timeoutMs = 5000);
    /// Reads whatever arrives until nothing more comes for `quietMs` (at most `timeoutMs` in all).
    QByteArray readUntilQuiet(int quietMs = 300, int timeoutMs = 5000);

    /// The line settings of the printer end as the program left them.
    std::optional<termios> printerSettings() const;

    /// The far end stops reading (socat is stopped) / goes on again.
    void pauseFarEnd();
    void resumeFarEnd();
    /// The printer is pulled out: socat ends and the printer end hangs up.
    void unplug();

private:
    QTemporaryDir m_dir;
    QProcess m_socat;
    int m_readerFd = -1;
    int m_printerFd = -1;
    bool m_valid = false;
    bool m_paused = false;
    QString m_error;
};

} // namespace kavri::test
