#include "support/PtyPair.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavri::test {
namespace {

int openEnd(const QString &path, int flags)
{
    return ::open(QFile::encodeName(path).constData(), flags | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

} // namespace

bool PtyPair::socatAvailable()
{
    return !QStandardPaths::findExecutable(u"socat"_s).isEmpty();
}

PtyPair::PtyPair()
{
    if (!m_dir.isValid()) {
        m_error = u"no temporary folder"_s;
        return;
    }
    m_socat.setStandardErrorFile(m_dir.path() + u"/socat.log"_s);
    m_socat.start(u"socat"_s, {u"-d"_s, u"-d"_s, u"pty,raw,echo=0,link="_s + printerPath(),
                               u"pty,raw,echo=0,link="_s + readerPath()});
    if (!m_socat.waitForStarted(5000)) {
        m_error = u"socat did not start: "_s + m_socat.errorString();
        return;
    }
    QElapsedTimer t;
    t.start();
    while (!(QFileInfo::exists(printerPath()) && QFileInfo::exists(readerPath()))) {
        if (t.elapsed() > 5000 || m_socat.state() != QProcess::Running) {
            m_error = u"socat made no pty links"_s;
            return;
        }
        QThread::msleep(10);
    }
    m_readerFd = openEnd(readerPath(), O_RDONLY);
    m_printerFd = openEnd(printerPath(), O_RDONLY);
    if (m_readerFd < 0 || m_printerFd < 0) {
        m_error = u"cannot open the pty ends"_s;
        return;
    }
    m_valid = true;
}

PtyPair::~PtyPair()
{
    if (m_paused)
        resumeFarEnd();
    if (m_readerFd >= 0)
        ::close(m_readerFd);
    if (m_printerFd >= 0)
        ::close(m_printerFd);
    if (m_socat.state() != QProcess::NotRunning) {
        m_socat.kill();
        m_socat.waitForFinished(5000);
    }
}

QByteArray PtyPair::read(qsizetype count, int timeoutMs)
{
    QByteArray out;
    if (m_readerFd < 0)
        return out;
    QElapsedTimer t;
    t.start();
    char buf[4096];
    while (out.size() < count) {
        const qint64 left = timeoutMs - t.elapsed();
        if (left <= 0)
            break;
        pollfd p{m_readerFd, POLLIN, 0};
        if (::poll(&p, 1, int(left)) <= 0)
            continue;
        const ssize_t n = ::read(m_readerFd, buf, sizeof buf);
        if (n > 0)
            out.append(buf, qsizetype(n));
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return out;
}

QByteArray PtyPair::readUntilQuiet(int quietMs, int timeoutMs)
{
    QByteArray out;
    if (m_readerFd < 0)
        return out;
    QElapsedTimer t;
    t.start();
    char buf[4096];
    while (t.elapsed() < timeoutMs) {
        pollfd p{m_readerFd, POLLIN, 0};
        const int ready = ::poll(&p, 1, quietMs);
        if (ready == 0)
            break;
        if (ready < 0)
            continue;
        const ssize_t n = ::read(m_readerFd, buf, sizeof buf);
        if (n > 0)
            out.append(buf, qsizetype(n));
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return out;
}

std::optional<termios> PtyPair::printerSettings() const
{
    termios tio{};
    if (m_printerFd < 0 || ::tcgetattr(m_printerFd, &tio) != 0)
        return std::nullopt;
    return tio;
}

void PtyPair::pauseFarEnd()
{
    if (m_socat.state() == QProcess::Running && ::kill(pid_t(m_socat.processId()), SIGSTOP) == 0)
        m_paused = true;
}

void PtyPair::resumeFarEnd()
{
    if (m_socat.state() == QProcess::Running)
        ::kill(pid_t(m_socat.processId()), SIGCONT);
    m_paused = false;
}

void PtyPair::unplug()
{
    if (m_paused)
        resumeFarEnd();
    m_socat.kill();
    m_socat.waitForFinished(5000);
}

} // namespace kavri::test
