#include "printing/TicketOutput.h"

#include "codec/Cp949.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PrinterLine.h"
#include "printing/PrinterCommands.h"
#include "printing/PrinterConnection.h"
#include "printing/PrinterSettings.h"
#include "printing/Unprinted.h"
#include "services/Deployment.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QTimer>

#include <cerrno>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace kavri {

namespace printjobs {

enum class JobKind {
    Ticket, ///< a request's ticket (or its reprint): kept when it does not go out whole
    Resend, ///< a kept ticket sent again: on failure it stays where it is kept
    Test,   ///< the settings window's test slip: its faults are shown, it is never kept
};

struct PrintJob
{
    QString name;
    int port = 0;
    qint32 speed = 0;
    QString text;
    JobKind kind = JobKind::Ticket;
};

// A printer fault met while PrintFaultsDeferred lives, waiting for its box.
struct PrintFault
{
    QString slot;
    QString text;
};

} // namespace printjobs

using namespace printjobs;

struct PrintSpool::State
{
    // Each slot's last outcome: true when its last ticket went out whole.
    QHash<QString, bool> lastOutcome;
    // While the program ends: asked by the guard's predicate, noticed first at stopNoticedAt.
    const std::function<bool()> *stopAsked = nullptr;
    std::optional<quint32> stopNoticedAt;
    // One line to the printers at a time: calls that arrive while a ticket drains
    // wait here and are served by the call that holds the line.
    bool lineBusy = false;
    QList<PrintJob> waiting;
    int deferDepth = 0;
    QList<PrintFault> keptFaults;
    // Per slot name, the fault whose box was shown last; dropped when the slot prints again.
    QHash<QString, QString> shownFaults;
    bool showScheduled = false;
    bool showing = false;
    // Devices whose last ticket was cut short: the next ticket there starts by ending it.
    QSet<QString> cutOwed;
    // Per device, whether its printer answered the last status request: only those
    // are asked before a ticket, so a printer that never answers costs no wait.
    QHash<QString, bool> answers;
    // Per slot name, what its printer last said of itself.
    QHash<QString, PrinterCondition> conditions;
    // While a PrinterLinesKept lives: the device line of the last ticket, open for the
    // next ticket to the same device and speed (opening a serial line takes longer than
    // a short ticket on a fast line).
    int keepLinesDepth = 0;
    std::unique_ptr<platform::PrinterLine> keptLine;
    QString keptLineKey;
};

namespace {

// The spool the output works on: the one lent by a PrintSpoolScope, else the program's.
PrintSpool::State &spoolState()
{
    return printSpool().state();
}

constexpr qsizetype kPieceChars = 3500;
// Once a piece's line time has passed, the rest of it is looked for this often.
constexpr quint32 kDrainStepMs = 5;
// A device without a line speed (USB, network) that takes nothing for this long is a fault.
constexpr quint32 kStallMs = 5000;
// A printer on the shop's network answers a connection in milliseconds.
constexpr quint32 kConnectWaitMs = 3000;
// The once-a-poll look at the printers: a printer that is off must not hold the poll long.
constexpr quint32 kCheckConnectWaitMs = 1000;
constexpr quint32 kStatusWaitMs = 300;

/// How one ticket's turn at its printer ended.
enum class Sent {
    Delivered, ///< it went out whole
    NotSent,   ///< it was kept (or refused) without a byte sent: opening failed, the printer said no
    Broken,    ///< it was cut short while sending
};

/// A ticket that did not go out whole is kept to be sent again, unless it is a kept one
/// already. A test slip says nothing about the tickets: neither kept nor counted.
void noteOutcome(const PrintJob &job, bool delivered)
{
    if (job.kind == JobKind::Test)
        return;
    spoolState().lastOutcome.insert(job.name, delivered);
    if (!delivered && job.kind == JobKind::Ticket)
        unprintedTickets().add(job.name, job.text, platform::clock().now());
}

bool stopAsked()
{
    if (!spoolState().stopAsked || !*spoolState().stopAsked || !(*spoolState().stopAsked)())
        return false;
    if (!spoolState().stopNoticedAt)
        spoolState().stopNoticedAt = GetTick();
    return true;
}

/// The program is ending and the ticket under way has had its time.
bool stopGraceOver()
{
    return stopAsked() && quint32(GetTick() - *spoolState().stopNoticedAt) > StopPrintingWhen::GraceMs;
}

// Three slots, each with a handful of ways to fail: more would be one fault told many times.
constexpr qsizetype kMaxKeptFaults = 12;

void tellFault(const PrintJob &job, const QString &text)
{
    if (spoolState().deferDepth == 0) {
        platform::tellError(text);
        return;
    }
    if (spoolState().shownFaults.value(job.name) == text)
        return;
    for (const PrintFault &kept : std::as_const(spoolState().keptFaults)) {
        if (kept.slot == job.name && kept.text == text)
            return;
    }
    if (spoolState().keptFaults.size() < kMaxKeptFaults)
        spoolState().keptFaults.append({job.name, text});
}

void showKeptFaults()
{
    // One box at a time, the next when it is closed; polls go on meanwhile, and a cycle
    // finishing adds to the list this empties.
    if (spoolState().showing)
        return;
    while (!spoolState().keptFaults.isEmpty()) {
        const PrintFault fault = spoolState().keptFaults.takeFirst();
        if (spoolState().shownFaults.value(fault.slot) == fault.text)
            continue;
        spoolState().shownFaults.insert(fault.slot, fault.text);
        spoolState().showing = true;
        platform::tellError(fault.text, [] {
            spoolState().showing = false;
            showKeptFaults();
        });
        return;
    }
}

void reportPrintFailure(const QString &procedure, const Failure &failure)
{
    CfgWork.report(errorReport(u"frmAlarm"_s, procedure, failure), 3, 2);
}

QString slotHead(const PrintJob &job)
{
    return job.name + u"(COM"_s + QString::number(job.port) + u")"_s;
}

QString openingMessage(const PrintJob &job, const PortTarget &target, const platform::LineOpening &opening)
{
    const QString head = slotHead(job);
    if (target.kind == PortTarget::Kind::Refused && job.port >= 1)
        return head + u" 포트 번호가 잘못되었습니다! ("_s + target.refusal + u")"_s;
    if (target.kind == PortTarget::Kind::Network)
        return head + u" 프린터("_s + portTargetName(target) + u")에 연결할 수 없습니다: "_s +
               opening.error.description;
    switch (opening.result) {
    case platform::LineOpenResult::NoSuchPort:
        return head + u" 포트 번호가 잘못되었습니다!"_s;
    case platform::LineOpenResult::Unavailable:
        return head + u"을(를) 열 수 없습니다!"_s;
    default:
        return head + u" ["_s + QString::number(opening.error.number) + u"] "_s + opening.error.description;
    }
}

QString sendingMessage(const PrintJob &job, const Failure &failure)
{
    const QString head = slotHead(job);
    if (failure.number == ETIMEDOUT)
        return head + u" 프린터가 받지 않아 주문서를 출력하지 못했습니다!"_s;
    return head + u" 주문서를 보내다 끊겼습니다! ["_s + QString::number(failure.number) + u"] "_s +
           failure.description;
}

/// The time `bytes` take on a line of `speed` bits per second (start, 8 data, stop bits).
quint32 lineTimeMs(qsizetype bytes, qint32 speed)
{
    return speed > 0 ? quint32(qint64(bytes) * 10 * 1000 / speed) : 0;
}

/// Waits until the piece has left the machine; false (with `failure`) when the
/// line breaks or the printer stops taking bytes for longer than the limit.
/// `speed` is the serial line's, 0 for a device without one.
bool drain(platform::PrinterLine &line, qsizetype bytes, qint32 speed, Failure &failure)
{
    const quint32 limit = drainLimitMs(bytes, speed);
    const quint32 start = GetTick();
    // The bytes cannot be out before their line time: look then, and often after.
    if (const quint32 first = lineTimeMs(bytes, speed); first > 0)
        Delay(first, [] { return stopGraceOver(); });
    qint64 lastPending = -1;
    quint32 movedAt = start;
    while (true) {
        const qint64 pending = line.pendingOutput();
        if (pending < 0) {
            const platform::LineError e = line.lastError();
            failure = {5, e.number, e.description};
            return false;
        }
        if (pending == 0)
            return true;
        if (stopGraceOver()) {
            failure = {5, ECANCELED,
                       u"프로그램을 끝내느라 출력을 멈춤 (보내지 못한 바이트: "_s + QString::number(pending) +
                           u")"_s};
            return false;
        }
        const quint32 now = GetTick();
        if (pending != lastPending)
            movedAt = now;
        lastPending = pending;
        const bool stalled = speed <= 0 && quint32(now - movedAt) > kStallMs;
        if (stalled || quint32(now - start) > limit) {
            failure = {5, ETIMEDOUT,
                       u"프린터가 응답하지 않습니다 (보내지 못한 바이트: "_s + QString::number(pending) +
                           u")"_s};
            return false;
        }
        Delay(kDrainStepMs);
    }
}

/// Remembers what the printer of `slot` said of itself; a change is one line in the main log.
void noteCondition(const QString &slot, PrinterCondition condition)
{
    const auto it = spoolState().conditions.constFind(slot);
    const PrinterCondition before =
        it == spoolState().conditions.constEnd() ? PrinterCondition::Unknown : *it;
    spoolState().conditions.insert(slot, condition);
    if (condition != before)
        WriteLog(slot + u" 프린터 상태: "_s + conditionText(condition));
}

/// Asks the printer whether it can print now; true when it said it cannot, so the
/// ticket must wait. Asked when it answered last time, or, never asked yet, when
/// `askUnknown` (a network printer: they answer, and a ticket to one out of paper is lost).
bool heldByPrinter(const PrintJob &job, platform::PrinterLine &line, const QString &device, bool askUnknown)
{
    const auto known = spoolState().answers.constFind(device);
    const bool ask = known == spoolState().answers.constEnd() ? askUnknown : *known;
    if (!line.twoWay() || !ask)
        return false;
    const PrinterCondition condition = askCondition(line, kStatusWaitMs);
    spoolState().answers.insert(device, condition != PrinterCondition::Unknown);
    noteCondition(job.name, condition);
    return holdsTickets(condition);
}

/// The ticket waits for a printer that said it cannot print: kept, not counted as failed.
void holdTicket(const PrintJob &job)
{
    const QString message = slotHead(job) + u" 프린터 "_s +
                            conditionText(spoolState().conditions.value(job.name)) +
                            u": 주문서를 보관했다가 다시 보냅니다"_s;
    if (job.kind == JobKind::Ticket) {
        unprintedTickets().add(job.name, job.text, platform::clock().now());
        WriteLog(u"프린터_출력 ... "_s + message);
    } else if (job.kind == JobKind::Test) {
        tellFault(job,
                  slotHead(job) + u" 프린터 "_s + conditionText(spoolState().conditions.value(job.name)));
    }
}

Sent refuseOpening(const PrintJob &job, const PortTarget &target, const platform::LineOpening &opening)
{
    const QString message = openingMessage(job, target, opening);
    // Kept before its box is shown: the box may stay open long, and a crash meanwhile must not lose it.
    noteOutcome(job, false);
    // Every ticket that did not go out is in the main log; the box may be told once for many.
    // A kept ticket tried again at each poll was logged and told when it first failed.
    if (job.kind != JobKind::Resend) {
        WriteLog(u"프린터_출력 ... "_s + message);
        tellFault(job, message);
    }
    // Kept for later; the caller goes on as for a ticket that went out.
    return Sent::NotSent;
}

/// Writes the ticket piece by piece, each drained before the next.
/// With `askAfter` (a network printer that answers), a status request follows the
/// last piece: its answer acknowledges every byte before it at once, where a printer
/// that only reads would hold its acknowledgement back for tens of milliseconds.
bool writePieces(const PrintJob &job, platform::PrinterLine &line, const QString &device, qint32 speed,
                 bool askAfter, Failure &failure)
{
    const QStringList pieces = splitIntoPieces(job.text, kPieceChars);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        QByteArray bytes = codec::toCp949(pieces.at(i));
        if (i == 0 && spoolState().cutOwed.contains(device))
            bytes.prepend(cutShortEnding());
        if (!line.write(bytes)) {
            const platform::LineError e = line.lastError();
            failure = {5, e.number, e.description};
            return false;
        }
        if (askAfter && i == pieces.size() - 1)
            line.askStatus(1, kStatusWaitMs);
        if (!drain(line, bytes.size(), speed, failure))
            return false;
    }
    return true;
}

void closeKeptLine()
{
    if (spoolState().keptLine)
        spoolState().keptLine->close();
    spoolState().keptLine.reset();
    spoolState().keptLineKey.clear();
}

/// The line to `target`: the one kept open for it, else a new one.
platform::LineOpening openLine(const PortTarget &target, qint32 speed, const QString &key)
{
    PrintSpool::State &spool = spoolState();
    if (spool.keptLine && spool.keptLineKey == key && spool.keptLine->isOpen()) {
        platform::LineOpening reused;
        reused.result = platform::LineOpenResult::Opened;
        reused.line = std::move(spool.keptLine);
        spool.keptLineKey.clear();
        return reused;
    }
    closeKeptLine();
    return openPrinter(target, speed, kConnectWaitMs);
}

/// Closes the line after a ticket, or keeps a device line that did well open for the next.
void finishLine(std::unique_ptr<platform::PrinterLine> line, const QString &key, bool keep)
{
    if (!keep || spoolState().keepLinesDepth == 0) {
        line->close();
        return;
    }
    closeKeptLine();
    spoolState().keptLine = std::move(line);
    spoolState().keptLineKey = key;
}

Sent send(const PrintJob &job)
{
    // The program is ending and has waited its time: the ticket is kept for the next start.
    if (stopGraceOver()) {
        WriteLog(u"프로그램을 끝내느라 보내지 않음: "_s + job.name);
        noteOutcome(job, false);
        return Sent::NotSent;
    }
    const PortTarget target = loadDeployment().target(job.port);
    const QString device = portTargetName(target);
    const QString lineKey = device + u'@' + QString::number(job.speed);
    platform::LineOpening opening = openLine(target, job.speed, lineKey);
    if (!opening.line)
        return refuseOpening(job, target, opening);
    platform::PrinterLine &line = *opening.line;
    // A printer out of paper would drop the ticket: it waits until the printer is ready.
    if (heldByPrinter(job, line, device, target.kind == PortTarget::Kind::Network)) {
        finishLine(std::move(opening.line), lineKey, false);
        holdTicket(job);
        return Sent::NotSent;
    }
    // Marked in the file before its first byte: after a kill it may have come out whole.
    if (job.kind == JobKind::Resend)
        unprintedTickets().markSending();

    // Only a serial line has a speed the bytes are paced by.
    const qint32 speed = platform::deviceState(target.device).kind == platform::DeviceKind::Serial &&
                                 target.kind == PortTarget::Kind::Device
                             ? job.speed
                             : 0;
    Failure failure;
    const bool askAfter = target.kind == PortTarget::Kind::Network && spoolState().answers.value(device);
    const bool ok = writePieces(job, line, device, speed, askAfter, failure);
    if (!ok) {
        reportPrintFailure(u"프린터_출력"_s, failure);
        // Unsent bytes would hold the close up for as long as the driver waits on a dead printer.
        line.discardOutput();
        // What did arrive would run into the next ticket without a cut.
        spoolState().cutOwed.insert(device);
    }
    // A network printer's connection is closed after each ticket: the printer may serve others.
    finishLine(std::move(opening.line), lineKey, ok && target.kind == PortTarget::Kind::Device);
    noteOutcome(job, ok);
    if (ok) {
        spoolState().cutOwed.remove(device);
        spoolState().shownFaults.remove(job.name);
    } else if (failure.number != ECANCELED) {
        // Cut short because the program ends: the log says so, a box would show to no one.
        tellFault(job, sendingMessage(job, failure));
    }
    return ok ? Sent::Delivered : Sent::Broken;
}

/// The job of the first slot named `name`; nothing when none is.
std::optional<PrintJob> jobFor(const QString &name, const QString &text, JobKind kind = JobKind::Ticket)
{
    for (int n = 0; n < PrinterSettings::SlotCount; ++n) {
        if (gPrinterSettings.이름[n] == name)
            return PrintJob{name, gPrinterSettings.포트[n], gPrinterSettings.통신속도[n], text, kind};
    }
    return std::nullopt;
}

/// Holds the line for `job`, then serves the calls that queued behind it meanwhile.
Sent sendHoldingTheLine(const PrintJob &job)
{
    spoolState().lineBusy = true;
    struct Release
    {
        ~Release() { spoolState().lineBusy = false; }
    } release;
    const Sent sent = send(job);
    while (!spoolState().waiting.isEmpty())
        send(spoolState().waiting.takeFirst());
    return sent;
}

/// Sends `job`, or queues it behind the ticket that holds the line.
bool sendOrQueue(const PrintJob &job)
{
    if (spoolState().lineBusy) {
        // We run inside the holder's wait; blocking here would never end. The holder sends this next.
        spoolState().waiting.append(job);
        return true;
    }
    return sendHoldingTheLine(job) != Sent::Broken;
}

/// Asks the printer of `job`'s slot how it is, when it can answer; whether it now
/// takes tickets after it had said it could not.
bool lookAtPrinter(const PrintJob &job)
{
    const PortTarget target = loadDeployment().target(job.port);
    const bool couldAnswer = target.kind == PortTarget::Kind::Network ||
                             (target.kind == PortTarget::Kind::Device &&
                              platform::deviceState(target.device).kind == platform::DeviceKind::Serial);
    if (!couldAnswer)
        return false;
    platform::LineOpening opening = openPrinter(target, job.speed, kCheckConnectWaitMs);
    if (!opening.line)
        return false;
    const PrinterCondition condition = askCondition(*opening.line, kStatusWaitMs);
    opening.line->close();
    const bool wasHolding = holdsTickets(spoolState().conditions.value(job.name, PrinterCondition::Unknown));
    spoolState().answers.insert(portTargetName(target), condition != PrinterCondition::Unknown);
    noteCondition(job.name, condition);
    return wasHolding && !holdsTickets(condition);
}

} // namespace

StopPrintingWhen::StopPrintingWhen(std::function<bool()> asked)
    : m_asked(std::move(asked)), m_outer(spoolState().stopAsked)
{
    spoolState().stopAsked = &m_asked;
    spoolState().stopNoticedAt.reset();
}

StopPrintingWhen::~StopPrintingWhen()
{
    spoolState().stopAsked = m_outer;
    spoolState().stopNoticedAt.reset();
}

PrintFaultsDeferred::PrintFaultsDeferred()
{
    ++spoolState().deferDepth;
}

PrintFaultsDeferred::~PrintFaultsDeferred()
{
    --spoolState().deferDepth;
}

void showPrintFaultsSoon()
{
    if (spoolState().keptFaults.isEmpty() || spoolState().showScheduled)
        return;
    spoolState().showScheduled = true;
    QTimer::singleShot(0, [] {
        spoolState().showScheduled = false;
        showKeptFaults();
    });
}

QByteArray cutShortEnding()
{
    // Two NULs complete a size or cut command whose parameter never came.
    return QByteArray(2, '\0') + QByteArray("\r\n\r\n\r\n\r\n") + codec::toCp949(gPrnCut);
}

QStringList splitIntoPieces(const QString &text, qsizetype size)
{
    QStringList pieces;
    size = qMax<qsizetype>(size, 2);
    for (qsizetype at = 0; at < text.size();) {
        qsizetype take = qMin(size, text.size() - at);
        if (at + take < text.size() && text.at(at + take - 1).isHighSurrogate())
            --take;
        pieces.append(text.mid(at, take));
        at += take;
    }
    return pieces;
}

quint32 drainLimitMs(qsizetype bytes, qint32 speed)
{
    // Ten bit times per byte (start, 8 data, stop), three times over for a slow
    // printer, plus two seconds for the printer to catch up on its own buffer.
    const qint64 baud = speed > 0 ? speed : 9600;
    const qint64 lineMs = qint64(bytes) * 10 * 1000 / baud;
    return quint32(qMin<qint64>(lineMs * 3 + 2000, 10 * 60 * 1000));
}

bool 파일_출력(const QString &m프린터이름, const QString &mStr)
{
    if (m프린터이름.isEmpty()) {
        WriteLog(u"프린터이름이 없어 출력 안함."_s, LogChannel::Print);
        return true;
    }
    if (mStr.isEmpty()) {
        WriteLog(u"출력할 내용이 없어 출력 안함."_s, LogChannel::Print);
        return true;
    }
    int port = -1;
    for (int n = 0; n < PrinterSettings::SlotCount; ++n) {
        if (gPrinterSettings.이름[n] == m프린터이름)
            port = gPrinterSettings.포트[n];
    }
    if (port == -1) {
        WriteLog(m프린터이름 + u": 포트가 지정되지 않아 출력 안함."_s, LogChannel::Print);
        return true;
    }
    WriteLog(m프린터이름 + u" "_s + QString(40, u'=') + u"\r\n"_s + mStr, LogChannel::Print);
    return true;
}

bool 프린터_출력(const QString &m프린터이름, const QString &mStr)
{
    if (m프린터이름.isEmpty() || mStr.isEmpty())
        return true;
    const std::optional<PrintJob> found = jobFor(m프린터이름, mStr);
    return !found || sendOrQueue(*found);
}

bool printTestSlip(const QString &slot, const QString &text)
{
    if (slot.isEmpty() || text.isEmpty())
        return true;
    const std::optional<PrintJob> found = jobFor(slot, text, JobKind::Test);
    return !found || sendOrQueue(*found);
}

bool resendTicket(const QString &slot, const QString &text)
{
    const std::optional<PrintJob> job = jobFor(slot, text, JobKind::Resend);
    // A slot renamed or emptied since: the ticket waits until a slot bears the name again.
    // While the program ends it waits for the next start, where it is kept already.
    if (!job || spoolState().lineBusy || gFilePrint || stopAsked())
        return false;
    const bool delivered = sendHoldingTheLine(*job) == Sent::Delivered;
    if (delivered)
        WriteLog(slot + u" 미출력 티켓 다시 보냄 "_s + QString(40, u'=') + u"\r\n"_s + text,
                 LogChannel::Print);
    return delivered;
}

int retryUnprintedTickets()
{
    return unprintedTickets().retry(platform::clock().now(), resendTicket);
}

PrinterLinesKept::PrinterLinesKept()
{
    ++spoolState().keepLinesDepth;
}

PrinterLinesKept::~PrinterLinesKept()
{
    if (--spoolState().keepLinesDepth == 0)
        closeKeptLine();
}

bool lookAtPrinters()
{
    if (gFilePrint || spoolState().lineBusy || stopAsked())
        return false;
    // A serial line is opened by one at a time.
    closeKeptLine();
    spoolState().lineBusy = true;
    struct Release
    {
        ~Release() { spoolState().lineBusy = false; }
    } release;
    bool readyAgain = false;
    QSet<QString> seen;
    for (int n = 0; n < PrinterSettings::SlotCount; ++n) {
        const QString &name = gPrinterSettings.이름[n];
        // A name borne twice prints through its first slot only.
        if (name.isEmpty() || seen.contains(name) || gPrinterSettings.포트[n] < 1)
            continue;
        seen.insert(name);
        readyAgain = lookAtPrinter(*jobFor(name, QString())) || readyAgain;
    }
    // Tickets asked for while we looked.
    while (!spoolState().waiting.isEmpty())
        send(spoolState().waiting.takeFirst());
    return readyAgain;
}

std::optional<PrinterCondition> printerCondition(const QString &slot)
{
    const auto it = spoolState().conditions.constFind(slot);
    if (it == spoolState().conditions.constEnd())
        return std::nullopt;
    return it.value();
}

std::optional<bool> lastTicketDelivered(const QString &slot)
{
    const auto it = spoolState().lastOutcome.constFind(slot);
    if (it == spoolState().lastOutcome.constEnd())
        return std::nullopt;
    return it.value();
}

namespace {

// The spool a PrintSpoolScope lends; none outside one.
PrintSpool *g_lentSpool = nullptr;

} // namespace

PrintSpool::PrintSpool() : m_state(std::make_unique<State>()) {}

PrintSpool::~PrintSpool() = default;

PrintSpool &printSpool()
{
    static PrintSpool spool;
    return g_lentSpool ? *g_lentSpool : spool;
}

PrintSpoolScope::PrintSpoolScope() : m_before(g_lentSpool)
{
    g_lentSpool = &m_spool;
}

PrintSpoolScope::~PrintSpoolScope()
{
    g_lentSpool = m_before;
}

} // namespace kavri
