#pragma once

#include "platform/PrinterLine.h"
#include "printing/PrinterStatus.h"
#include "services/PortTarget.h"

namespace kavri {

/// Opens the way to the printer a port leads to: its device (a serial line at
/// `speed`, or a USB printer-class device) or a connection to a network printer
/// within `connectWaitMs`. A refused [Ports] line opens nothing (NoSuchPort,
/// its reason as the error).
platform::LineOpening openPrinter(const PortTarget &target, qint32 speed, quint32 connectWaitMs);

/// Asks a two-way printer its real-time status (DLE EOT 1 to 4), each answer
/// awaited at most `waitMs`. Unknown on a one-way line or when the first
/// request goes unanswered (then nothing more is asked).
PrinterCondition askCondition(platform::PrinterLine &line, quint32 waitMs);

} // namespace kavri
