#include "platform/PrinterLine.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

/// write() that turns a reader gone away into EPIPE instead of a SIGPIPE that ends the program.
ssize_t writeWithoutSigpipe(int fd, const char *data, size_t size)
{
    sigset_t pipeSignal;
    sigset_t before;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &before);
    const ssize_t n = ::write(fd, data, size);
    const int e = errno;
    if (n < 0 && e == EPIPE) {
        // Take the signal this write raised while it is blocked, so it never arrives.
        const timespec none{};
        sigtimedwait(&pipeSignal, nullptr, &none);
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    errno = e;
    return n;
}

// A USB printer-class device (or any character device that is not a terminal,
// or a FIFO): written to, no line settings, nothing read back. The bytes wait
// here until the device takes them; the drain's checks pass them on.
class PlainDeviceLine final : public PrinterLine
{
public:
    LineOpenResult open(const QString &path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (m_fd >= 0)
            return LineOpenResult::Opened;
        const int e = errno;
        if (e == ENXIO) {
            // A FIFO nobody reads, a printer switched off behind its node.
            m_error = {e, u"장치가 준비되지 않았습니다."_s};
            return LineOpenResult::Unavailable;
        }
        m_error = {e, QString::fromLocal8Bit(std::strerror(e))};
        if (e == ENOENT || e == ENODEV)
            return LineOpenResult::NoSuchPort;
        if (e == EACCES || e == EPERM || e == EBUSY)
            return LineOpenResult::Unavailable;
        return LineOpenResult::OtherError;
    }

    bool isOpen() const override { return m_fd >= 0; }

    bool write(const QByteArray &bytes) override
    {
        if (!isOpen() || m_failed)
            return false;
        m_buffer += bytes;
        return pass();
    }

    qint64 pendingOutput() override
    {
        if (!isOpen() || m_failed || !pass())
            return -1;
        return m_buffer.size();
    }

    void discardOutput() override { m_buffer.clear(); }

    void close() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        m_buffer.clear();
    }

    LineError lastError() const override { return m_error; }

    ~PlainDeviceLine() override { close(); }

private:
    /// Hands the device what it takes now; false once it failed.
    bool pass()
    {
        while (!m_buffer.isEmpty()) {
            const ssize_t n = writeWithoutSigpipe(m_fd, m_buffer.constData(), size_t(m_buffer.size()));
            if (n > 0) {
                m_buffer.remove(0, n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return true;
            const int e = n < 0 ? errno : EIO;
            m_error = {e, QString::fromLocal8Bit(std::strerror(e))};
            m_failed = true;
            return false;
        }
        return true;
    }

    int m_fd = -1;
    QByteArray m_buffer;
    LineError m_error;
    bool m_failed = false;
};

} // namespace

LineOpening openPlainDeviceLine(const QString &path)
{
    auto line = std::make_unique<PlainDeviceLine>();
    LineOpening opening;
    opening.result = line->open(path);
    opening.error = line->lastError();
    if (opening.result == LineOpenResult::Opened)
        opening.line = std::move(line);
    return opening;
}

} // namespace kavri::platform
