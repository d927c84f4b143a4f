#include "printing/TicketOutput.h"

#include "codec/Cp949.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "printing/PrinterCommands.h"
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
};

namespace {

// The spool the output works on: the one lent by a PrintSpoolScope, else the program's.
PrintSpool::State &spoolState()
{
    return printSpool().state();
}

constexpr qsizetype kPieceChars = 3500;
constexpr quint32 kDrainStepMs = 100;

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

QString openingMessage(const PrintJob &job, platform::SerialOpenResult result,
                       const platform::SerialError &error)
{
    const QString head = job.name + u"(COM"_s + QString::number(job.port) + u")"_s;
    switch (result) {
    case platform::SerialOpenResult::NoSuchPort:
        return head + u" 포트 번호가 잘못되었습니다!"_s;
    case platform::SerialOpenResult::Unavailable:
        return head + u"을(를) 열 수 없습니다!"_s;
    default:
        return head + u" ["_s + QString::number(error.number) + u"] "_s + error.description;
    }
}

QString sendingMessage(const PrintJob &job, const Failure &failure)
{
    const QString head = job.name + u"(COM"_s + QString::number(job.port) + u")"_s;
    if (failure.number == ETIMEDOUT)
        return head + u" 프린터가 받지 않아 주문서를 출력하지 못했습니다!"_s;
    return head + u" 주문서를 보내다 끊겼습니다! ["_s + QString::number(failure.number) + u"] "_s +
           failure.description;
}

/// Waits until the piece has left the machine; false (with `failure`) when the
/// line breaks or the printer stops taking bytes for longer than the limit.
bool drain(platform::SerialPort &port, qsizetype bytes, qint32 speed, Failure &failure)
{
    const quint32 limit = drainLimitMs(bytes, speed);
    const quint32 start = GetTick();
    while (true) {
        Delay(kDrainStepMs);
        const qint64 pending = port.pendingOutput();
        if (pending < 0) {
            const platform::SerialError e = port.lastError();
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
        if (quint32(GetTick() - start) > limit) {
            failure = {5, ETIMEDOUT,
                       u"프린터가 응답하지 않습니다 (보내지 못한 바이트: "_s + QString::number(pending) +
                           u")"_s};
            return false;
        }
    }
}

bool send(const PrintJob &job)
{
    // The program is ending and has waited its time: the ticket is kept for the next start.
    if (stopGraceOver()) {
        WriteLog(u"프로그램을 끝내느라 보내지 않음: "_s + job.name);
        noteOutcome(job, false);
        return true;
    }
    std::unique_ptr<platform::SerialPort> port = platform::createSerialPort();
    const QString device = loadDeployment().serialDevice(job.port);
    const platform::SerialOpenResult opened = port->open(device, job.speed);
    if (opened != platform::SerialOpenResult::Opened) {
        const platform::SerialError error = port->lastError();
        port->close();
        const QString message = openingMessage(job, opened, error);
        // Kept before its box is shown: the box may stay open long, and a crash meanwhile must not lose it.
        noteOutcome(job, false);
        // Every ticket that did not go out is in the main log; the box may be told once for many.
        // A kept ticket tried again at each poll was logged and told when it first failed.
        if (job.kind != JobKind::Resend) {
            WriteLog(u"프린터_출력 ... "_s + message);
            tellFault(job, message);
        }
        // Kept for later; the caller goes on as for a ticket that went out.
        return true;
    }
    // Marked in the file before its first byte: after a kill it may have come out whole.
    if (job.kind == JobKind::Resend)
        unprintedTickets().markSending();

    Failure failure;
    bool ok = true;
    bool first = true;
    for (const QString &piece : splitIntoPieces(job.text, kPieceChars)) {
        QByteArray bytes = codec::toCp949(piece);
        if (first && spoolState().cutOwed.contains(device))
            bytes.prepend(cutShortEnding());
        first = false;
        if (!port->write(bytes)) {
            const platform::SerialError e = port->lastError();
            failure = {5, e.number, e.description};
            ok = false;
            break;
        }
        if (!drain(*port, bytes.size(), job.speed, failure)) {
            ok = false;
            break;
        }
    }
    if (!ok) {
        reportPrintFailure(u"프린터_출력"_s, failure);
        // Unsent bytes would hold the close up for as long as the driver waits on a dead printer.
        port->discardOutput();
        // What did arrive would run into the next ticket without a cut.
        spoolState().cutOwed.insert(device);
    }
    port->close();
    noteOutcome(job, ok);
    if (ok) {
        spoolState().cutOwed.remove(device);
        spoolState().shownFaults.remove(job.name);
    } else if (failure.number != ECANCELED) {
        // Cut short because the program ends: the log says so, a box would show to no one.
        tellFault(job, sendingMessage(job, failure));
    }
    return ok;
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

/// Sends `job`, or queues it behind the ticket that holds the line.
bool sendOrQueue(const PrintJob &job)
{
    if (spoolState().lineBusy) {
        // We run inside the holder's wait; blocking here would never end. The holder sends this next.
        spoolState().waiting.append(job);
        return true;
    }
    spoolState().lineBusy = true;
    struct Release
    {
        ~Release() { spoolState().lineBusy = false; }
    } release;
    const bool ok = send(job);
    while (!spoolState().waiting.isEmpty())
        send(spoolState().waiting.takeFirst());
    return ok;
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
    spoolState().lineBusy = true;
    struct Release
    {
        ~Release() { spoolState().lineBusy = false; }
    } release;
    const bool delivered = send(*job) && spoolState().lastOutcome.value(slot);
    while (!spoolState().waiting.isEmpty())
        send(spoolState().waiting.takeFirst());
    if (delivered)
        WriteLog(slot + u" 미출력 티켓 다시 보냄 "_s + QString(40, u'=') + u"\r\n"_s + text,
                 LogChannel::Print);
    return delivered;
}

int retryUnprintedTickets()
{
    return unprintedTickets().retry(platform::clock().now(), resendTicket);
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
