#include "printing/PrinterConnection.h"

#include <cerrno>

namespace kavri {

platform::LineOpening openPrinter(const PortTarget &target, qint32 speed, quint32 connectWaitMs)
{
    switch (target.kind) {
    case PortTarget::Kind::Device:
        return platform::openDeviceLine(target.device, speed);
    case PortTarget::Kind::Network:
        return platform::openNetworkLine(target.host, target.port, connectWaitMs);
    case PortTarget::Kind::Refused:
        break;
    }
    platform::LineOpening refused;
    refused.result = platform::LineOpenResult::NoSuchPort;
    refused.error = {EINVAL, target.refusal};
    return refused;
}

PrinterCondition askCondition(platform::PrinterLine &line, quint32 waitMs)
{
    if (!line.twoWay())
        return PrinterCondition::Unknown;
    std::array<std::optional<quint8>, 4> answers;
    for (quint8 n = 1; n <= 4; ++n) {
        answers[n - 1] = line.askStatus(n, waitMs);
        // A printer that does not answer the first request would cost a wait for each of the others.
        if (n == 1 && !answers[0])
            break;
    }
    return conditionFromAnswers(answers);
}

} // namespace kavri
