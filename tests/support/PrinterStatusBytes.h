#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>

namespace kavri::test {

/// What a test printer says when asked DLE EOT n.
enum class TestStatus { Ready, PaperNearEnd, PaperEnd, CoverOpen, Offline, Silent };

/// The status byte an ESC/POS printer in `status` sends for DLE EOT `n` (1-4); empty when silent.
QByteArray statusAnswer(TestStatus status, quint8 n);

/// Splits what reaches a printer into ticket bytes and status requests, as a
/// printer does: each DLE EOT n is answered through `reply` and never printed.
class StatusRequests
{
public:
    /// Feeds arrived bytes; returns the ticket bytes among them.
    QByteArray feed(const QByteArray &bytes, TestStatus status, const std::function<void(QByteArray)> &reply);
    int count() const { return m_requests; }

private:
    QByteArray m_pending; ///< the start of a request cut off at the end of a read
    int m_requests = 0;
};

/// What a printer prints of `bytes`: all but the status requests (silent printer).
QByteArray withoutStatusRequests(const QByteArray &bytes);

} // namespace kavri::test
