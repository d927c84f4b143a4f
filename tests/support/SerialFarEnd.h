#pragma once

#include "support/PrinterStatusBytes.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace kavri::test {

/// The printer at the reader end of a PtyPair when it answers status requests:
/// read while events run, ticket bytes recorded, DLE EOT n answered with the
/// status the test sets. (PtyPair::read() then finds nothing: this end reads first.)
class SerialFarEnd : public QObject
{
public:
    explicit SerialFarEnd(const QString &readerPath);
    ~SerialFarEnd() override;

    bool isValid() const { return m_fd >= 0; }
    void setStatus(TestStatus status) { m_status = status; }
    QByteArray received() const { return m_received; }
    bool waitForBytes(qsizetype count, int ms = 5000);
    int statusRequests() const { return m_requests.count(); }

private:
    void readAvailable();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    TestStatus m_status = TestStatus::Ready;
    StatusRequests m_requests;
    QByteArray m_received;
};

} // namespace kavri::test
