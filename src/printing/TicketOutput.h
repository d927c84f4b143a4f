#pragma once

#include "printing/PrinterStatus.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace kavri {

/// Copies a ticket into the day's print log ("_PRN"), headed by the slot name
/// and 40 "=". An empty name, an empty text or a name no slot bears is refused
/// with a line in the print log. True unless writing failed.
bool 파일_출력(const QString &m프린터이름, const QString &mStr);

/// Sends a ticket to the printer of the first slot named `m프린터이름` (the
/// device or network printer its port leads to, Deployment::target), in pieces
/// of 3500 characters, each drained before the next. A printer known to answer
/// is asked its status first: one out of paper, with its cover open or offline
/// gets nothing, and the ticket is kept until it is ready. A failure while
/// sending is reported in the log; it and opening errors are shown in a message
/// box, at once, or after the cycle while a PrintFaultsDeferred lives. A ticket
/// that did not go out whole is kept in unprintedTickets() to be sent again, before
/// its box is shown. A ticket cut short ends with a cut ahead of the next ticket
/// to that port.
/// A call made while another ticket is still going out is queued and sent,
/// through its own slot's port, by the call that holds the line before that
/// one returns. False only after a failure while sending.
bool 프린터_출력(const QString &m프린터이름, const QString &mStr);

/// Sends the settings window's test slip to the first slot named `slot`, as
/// 프린터_출력 sends a ticket and with its faults shown the same way, but a slip
/// that does not go out is never kept, and the slot's last outcome (the health
/// line's printer state) stays as the tickets left it.
bool printTestSlip(const QString &slot, const QString &text);

/// Sends a kept ticket again through the port of the first slot named `slot`;
/// true only when the printer took it whole. Right before its first byte the
/// kept list's file marks it as being sent (UnprintedTickets::markSending). A
/// failure leaves it to the caller (it is not kept a second time). False without
/// trying while another ticket holds the line, with "-fileprint", when no slot
/// bears the name, or while a StopPrintingWhen says the program is ending.
bool resendTicket(const QString &slot, const QString &text);
/// Sends the kept tickets again, oldest first (once per poll); how many went out.
int retryUnprintedTickets();
/// Whether the last ticket sent to `slot` went out whole; nothing before the first.
std::optional<bool> lastTicketDelivered(const QString &slot);
/// Asks each named slot's printer that can answer (network, serial) its status,
/// between tickets (once per poll); true when one that held tickets back is
/// ready again. Nothing while a ticket holds the line or the program ends.
bool lookAtPrinters();
/// What the printer of `slot` last said of itself; nothing before it was asked.
std::optional<PrinterCondition> printerCondition(const QString &slot);

/// While one lives, printer faults are kept for showPrintFaultsSoon() instead
/// of opening a box in the middle of the work, and each slot's fault is shown
/// once until that slot prints a ticket whole again.
class PrintFaultsDeferred
{
public:
    PrintFaultsDeferred();
    ~PrintFaultsDeferred();
    PrintFaultsDeferred(const PrintFaultsDeferred &) = delete;
    PrintFaultsDeferred &operator=(const PrintFaultsDeferred &) = delete;
};

/// While one lives (a cycle's tickets), the line to a serial or USB device stays
/// open from one ticket to the next to the same device, and is closed when the
/// last one goes; outside, each ticket opens and closes its line.
class PrinterLinesKept
{
public:
    PrinterLinesKept();
    ~PrinterLinesKept();
    PrinterLinesKept(const PrinterLinesKept &) = delete;
    PrinterLinesKept &operator=(const PrinterLinesKept &) = delete;
};

/// While one lives and its predicate is true (the program is ending), the ticket
/// under way gets GraceMs from the moment that is first seen to go out whole;
/// past that it is cut short and kept, and a ticket not yet begun is kept
/// without being sent. Kept tickets are not sent again meanwhile.
class StopPrintingWhen
{
public:
    static constexpr quint32 GraceMs = 3000;
    explicit StopPrintingWhen(std::function<bool()> asked);
    ~StopPrintingWhen();
    StopPrintingWhen(const StopPrintingWhen &) = delete;
    StopPrintingWhen &operator=(const StopPrintingWhen &) = delete;

private:
    std::function<bool()> m_asked;
    const std::function<bool()> *m_outer;
};

/// Shows the kept printer faults from the event loop, once the caller has
/// returned to it, one box after another.
void showPrintFaultsSoon();

/// The bytes that end a ticket cut short: they finish a printer command left
/// half sent, feed and cut, so the part that did arrive is a ticket of its own.
QByteArray cutShortEnding();

/// The pieces a ticket goes out in: `size` characters each, the last one
/// shorter; a surrogate pair is never parted.
QStringList splitIntoPieces(const QString &text, qsizetype size = 3500);

/// The longest a drained piece of `bytes` bytes may take at `speed` bits per
/// second (9600 for a device without a line speed) before the printer counts as gone.
quint32 drainLimitMs(qsizetype bytes, qint32 speed);

/// What the ticket output keeps between tickets: each slot's last outcome, the
/// line to the printers and the tickets waiting for it, the printer faults
/// waiting for their boxes, the cuts owed to devices and the stop under way.
class PrintSpool
{
public:
    PrintSpool();
    ~PrintSpool();
    PrintSpool(const PrintSpool &) = delete;
    PrintSpool &operator=(const PrintSpool &) = delete;

    /// What it holds, laid out where the output works on it.
    struct State;
    State &state() { return *m_state; }

private:
    std::unique_ptr<State> m_state;
};

/// The program's spool: the one the innermost living PrintSpoolScope holds,
/// else the program's own.
PrintSpool &printSpool();

/// Owns a spool of its own and lends it as the program's while it lives, then
/// puts back the one before: a test starts with no outcome, fault or queue
/// left by the one before.
class PrintSpoolScope
{
public:
    PrintSpoolScope();
    ~PrintSpoolScope();
    PrintSpoolScope(const PrintSpoolScope &) = delete;
    PrintSpoolScope &operator=(const PrintSpoolScope &) = delete;

private:
    PrintSpool m_spool;
    PrintSpool *m_before;
};

} // namespace kavri
