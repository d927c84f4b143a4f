#include "support/PrinterStatusBytes.h"

namespace kavri::test {

QByteArray statusAnswer(TestStatus status, quint8 n)
{
    // Bits 1 and 4 are always set in a status byte.
    quint8 b = 0x12;
    switch (status) {
    case TestStatus::Silent:
        return {};
    case TestStatus::Ready:
        break;
    case TestStatus::PaperNearEnd:
        b |= n == 4 ? 0x0C : 0;
        break;
    case TestStatus::PaperEnd:
        b |= n == 1 ? 0x08 : n == 2 ? 0x20 : n == 4 ? 0x60 : 0;
        break;
    case TestStatus::CoverOpen:
        b |= n == 1 ? 0x08 : n == 2 ? 0x04 : 0;
        break;
    case TestStatus::Offline:
        b |= n == 1 ? 0x08 : n == 3 ? 0x20 : 0;
        break;
    }
    return QByteArray(1, char(b));
}

QByteArray StatusRequests::feed(const QByteArray &bytes, TestStatus status,
                                const std::function<void(QByteArray)> &reply)
{
    const QByteArray in = m_pending + bytes;
    m_pending.clear();
    QByteArray ticket;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in.at(i) != 0x10) {
            ticket += in.at(i);
            continue;
        }
        if (i + 2 >= in.size()) {
            m_pending = in.mid(i);
            break;
        }
        if (in.at(i + 1) == 0x04 && in.at(i + 2) >= 1 && in.at(i + 2) <= 4) {
            ++m_requests;
            const QByteArray answer = statusAnswer(status, quint8(in.at(i + 2)));
            if (!answer.isEmpty())
                reply(answer);
            i += 2;
            continue;
        }
        ticket += in.at(i);
    }
    return ticket;
}

QByteArray withoutStatusRequests(const QByteArray &bytes)
{
    return StatusRequests().feed(bytes, TestStatus::Silent, [](const QByteArray &) {});
}

} // namespace kavri::test
