#include "support/SerialFarEnd.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace kavri::test {

SerialFarEnd::SerialFarEnd(const QString &readerPath)
{
    m_fd = ::open(QFile::encodeName(readerPath).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return;
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { readAvailable(); });
}

SerialFarEnd::~SerialFarEnd()
{
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

void SerialFarEnd::readAvailable()
{
    char buffer[4096];
    while (true) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            return;
        m_received += m_requests.feed(QByteArray(buffer, n), m_status, [this](const QByteArray &answer) {
            (void)!::write(m_fd, answer.constData(), size_t(answer.size()));
        });
    }
}

bool SerialFarEnd::waitForBytes(qsizetype count, int ms)
{
    return QTest::qWaitFor([&] { return m_received.size() >= count; }, ms);
}

} // namespace kavri::test
