#include "monitor/RequestCycle.h"

#include "platform/Clock.h"
#include "platform/Heap.h"
#include "printing/PrinterSettings.h"
#include "printing/Ticket.h"
#include "printing/TicketOutput.h"
#include "printing/Unprinted.h"
#include "services/Conversions.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "services/WebService.h"
#include "services/WinHttp.h"

#include <QCoreApplication>
#include <QTimer>

#include <optional>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

namespace {

const QString kNumKey = u"KavriNumT"_s;
// The number of the request whose tickets are going out; done once KavriNumT has reached it.
const QString kSendingKey = u"KavriSendingT"_s;
// What the service answers, instead of a list, to a shop whose login it turns away.
const QString kLoginRejected = u"아이디 또는 비밀번호가 일치하지 않습니다"_s;

// The number this process last stored in KavriNumT, and whether the file failed
// to take it (a full disk): then the cycle goes by this one, or it would print
// everything shown again at every poll.
struct StoredNumber
{
    QString file;
    QString numT;
    bool fileBehind = false;
};

/// The numbers of the answer's requests.
QSet<QString> numbersOf(const QList<HandledRecord> &records)
{
    QSet<QString> numbers;
    numbers.reserve(records.size());
    for (const HandledRecord &record : records)
        numbers.insert(record.entry.NumT);
    return numbers;
}

/// The answer's requests as the statistics follow them.
QList<stats::ListedRequest> listedRequests(const QList<HandledRecord> &records)
{
    QList<stats::ListedRequest> requests;
    requests.reserve(records.size());
    for (const HandledRecord &record : records)
        requests.append({record.entry.NumT, record.entry.TableT, record.entry.RegDateT});
    return requests;
}

StoredNumber &storedNumber()
{
    static StoredNumber s;
    return s;
}

/// The last printed number: the file's, unless the file missed this process's last store.
QString lastStoredNumber(const QString &fromFile)
{
    const StoredNumber &s = storedNumber();
    return s.fileBehind && s.file == CfgMain.fileName() ? s.numT : fromFile;
}

// An answer of nothing but blanks: the service's way of saying that no request is open.
bool isBlankAnswer(const QString &head, qsizetype chars)
{
    return chars <= head.size() && QStringView(head).trimmed().isEmpty();
}

bool fileBehind()
{
    const StoredNumber &s = storedNumber();
    return s.fileBehind && s.file == CfgMain.fileName();
}

/// Stores the last printed number; with `sending`, in the same write, the number
/// whose tickets go out next (see storeSending).
void storeNumber(const QString &numT, const QString &sending = {})
{
    StoredNumber &s = storedNumber();
    const QString file = CfgMain.fileName();
    if (s.file != file)
        s = StoredNumber{file, {}, false};
    QList<QPair<QString, QString>> values{{kNumKey, numT}};
    if (!sending.isEmpty() && !gFilePrint)
        values.append({kSendingKey, sending});
    const bool ok = CfgMain.writeValues(kPrinterSection, values);
    // One line when the file stops taking the number and one when it takes it again, not one per poll.
    if (!ok && !s.fileBehind)
        WriteLog(u"KavriNumT를 저장하지 못함: "_s + numT + u" (기억해 둔 번호로 계속)"_s);
    else if (ok && s.fileBehind)
        WriteLog(u"KavriNumT 저장 복구: "_s + numT);
    s.numT = numT;
    s.fileBehind = !ok;
}

/// Written before the first byte of a request's tickets: a start after a kill
/// prints them again marked as a reprint, as they may have come out whole.
void storeSending(const QString &numT)
{
    // No printer byte goes out with "-FilePrint". A file that does not take it is told
    // by the KavriNumT write right after, which fails alike.
    if (!gFilePrint)
        CfgMain.writeValues(kPrinterSection, {{kSendingKey, numT}});
}

/// Names the first malformed records of an answer in the log, and how many more were skipped.
void logSkippedRecords(const QList<SkippedRecord> &malformed, const QString &channel)
{
    qsizetype named = 0;
    for (const SkippedRecord &skipped : malformed) {
        if (named++ == RequestCycle::kMalformedLinesPerCycle) {
            WriteLog(u"Load_Kavri() ... 잘못된 레코드 "_s + QString::number(malformed.size() - named + 1) +
                         u"건 더 건너뜀"_s,
                     channel);
            break;
        }
        WriteLog(u"Load_Kavri() ... 잘못된 레코드 건너뜀: "_s + QString::number(skipped.position) +
                     u"번째 레코드 (memonum "_s + skipped.numT + u"): "_s + skipped.why,
                 channel);
    }
}

} // namespace

void RequestCycle::AnswerHead::add(QStringView piece)
{
    chars += piece.size();
    const qsizetype room = std::max<qsizetype>(kLogAnswerLimit, RequestCycle::kKeptAnswerChars) - text.size();
    if (room > 0)
        text += piece.first(std::min(room, piece.size()));
}

RequestCycle::RequestCycle(RequestBoard &board) : m_board(board)
{
    m_printSoon.setSingleShot(true);
    QObject::connect(&m_printSoon, &QTimer::timeout, &m_printSoon, [this] { printDue(); });
}

void RequestCycle::setHooks(Hooks hooks)
{
    m_hooks = std::move(hooks);
}

QString RequestCycle::logChannel(const QDateTime &now)
{
    return LogChannel::requestListHour(now);
}

void RequestCycle::call(const std::function<void()> &hook) const
{
    // A copy: the window may take its hooks back while one of them runs.
    const std::function<void()> f = hook;
    if (f)
        f();
}

bool RequestCycle::Load_Kavri(bool mSilent, Asker asker)
{
    if (m_shutDown)
        return false;
    const bool forExpiry = asker == Asker::Expiry;
    if (m_running) {
        m_pendingSilent = m_askPending ? (m_pendingSilent && mSilent) : mSilent;
        m_pendingForExpiry = m_askPending ? (m_pendingForExpiry && forExpiry) : forExpiry;
        m_askPending = true;
        return false;
    }
    m_running = true;
    m_currentForExpiry = forExpiry;
    // A hook that throws must not leave the cycle marked as running for good.
    struct Finish
    {
        RequestCycle &c;
        ~Finish()
        {
            c.m_askPending = false;
            c.m_running = false;
            c.m_currentForExpiry = false;
        }
    } finish{*this};
    bool silent = mSilent;
    bool result = false;
    while (true) {
        result = runOnce(silent);
        if (!m_askPending || m_shutDown)
            break;
        silent = m_pendingSilent;
        m_currentForExpiry = m_pendingForExpiry;
        m_askPending = false;
    }
    // The board is filled and the number stored: now the printer faults may hold the screen.
    if (!m_shutDown)
        showPrintFaultsSoon();
    // A very large answer grew the heap by tens of megabytes; hand the freed pages back
    // (not after every ordinary answer: the next cycle would fault them in again).
    // Right after the cycle, as a step of its own, so it does not lengthen the cycle's hold on the window.
    if (m_prevRequestSize > kTrimAfterChars)
        QTimer::singleShot(0, [] { platform::giveBackFreePages(); });
    return result && !m_shutDown;
}

void RequestCycle::shutDown()
{
    m_shutDown = true;
    m_askPending = false;
    m_hooks = Hooks{};
}

bool RequestCycle::runOnce(bool mSilent)
{
    m_board.clearRows();
    const QString kavriNumT = CfgMain.readValue(kPrinterSection, kNumKey, QString());
    const QDateTime now = platform::clock().now();
    std::optional<FetchedAnswer> fetched = fetchAnswer(now);
    if (!fetched || m_shutDown)
        return false;
    logAnswer(*fetched, logChannel(now));
    const std::optional<QSet<QString>> listed = showAnswer(*fetched, now);
    if (m_shutDown)
        return false;

    // The board as the check sees it: the alert lets events run for seconds.
    const QSet<QString> onBoard = numbersOnBoard();
    alertAndPrint(mSilent, fetched->reading, kavriNumT);
    if (m_shutDown)
        return false;
    rememberShown(listed ? &*listed : nullptr, onBoard);
    return true;
}

std::optional<RequestCycle::FetchedAnswer> RequestCycle::fetchAnswer(const QDateTime &now)
{
    call(m_hooks.showWait);
    if (m_shutDown)
        return std::nullopt;
    FetchedAnswer fetched;
    fetched.t0 = GetTick();
    fetched.address = web::endpoint(web::RequestListPath);
    fetched.body = web::requestListBody(gLoginID, gLoginPW);
    WinHttpAnswer answer = GetWinHttpAnswer(fetched.address, fetched.body);
    fetched.status = answer.status;
    if (m_shutDown)
        return std::nullopt;
    call(m_hooks.hideWait);

    call(m_hooks.showWait);
    // A long answer is decoded and read in pieces, with the window's events between
    // them: its whole text is never held, only its bytes and the records read. The
    // board is cleared and the loop held meanwhile, so handlers meet nothing new.
    const bool inPieces = answer.body.size() > platform::DecodeSliceBytes;
    if (inPieces)
        QCoreApplication::processEvents();
    if (m_shutDown)
        return std::nullopt;
    AnswerReader reader(now);
    reader.reserve(QByteArrayView(answer.body).count(web::kRecordMarkerBytes));
    platform::decodeResponsePieces(answer.body, answer.contentType, [&](QStringView piece) {
        fetched.head.add(piece);
        reader.feed(piece);
        if (inPieces)
            QCoreApplication::processEvents();
        return !m_shutDown;
    });
    if (m_shutDown)
        return std::nullopt;
    fetched.reading = reader.finish();
    fetched.sawList = reader.sawList();
    fetched.sameAsBefore = rememberAnswer(fetched.head.text, fetched.head.chars, answer.body);
    return fetched;
}

void RequestCycle::logAnswer(const FetchedAnswer &fetched, const QString &channel) const
{
    if (fetched.sameAsBefore) {
        WriteLog(u"Load_Kavri() ... ResponseStr: 직전과 동일. "_s + QString::number(GetTick() - fetched.t0) +
                     u"ms 걸림."_s,
                 channel);
    } else {
        WriteLog(u"Load_Kavri() ... "_s + fetched.address + u'?' + web::maskPassword(fetched.body), channel);
        WriteLog(u"Load_Kavri() ... ResponseStr:"_s + gCrLf +
                     answerForLog(fetched.head.text, fetched.head.chars),
                 channel);
    }
    logSkippedRecords(fetched.reading.malformed, channel);
}

std::optional<QSet<QString>> RequestCycle::showAnswer(FetchedAnswer &fetched, const QDateTime &now)
{
    const AnswerReading &reading = fetched.reading;
    const AnswerHead &head = fetched.head;
    // Status 200 is an answered poll, whatever it holds: the service answers a shop
    // with no open request with nothing at all. A list under a failure status (a
    // proxy's stale copy) does not say the service is up.
    const bool answered = head.chars > 0;
    const bool pollAnswered = fetched.status == 200;
    const bool loginRejected = answered && head.chars < 4096 && head.text.contains(kLoginRejected);
    // Only a list (records, the list's own tag, or nothing: the empty list) tells which
    // requests have left: an error page would make every followed request look gone.
    const bool listRead = pollAnswered && !loginRejected &&
                          (!reading.handled.isEmpty() || !reading.malformed.isEmpty() || fetched.sawList ||
                           isBlankAnswer(head.text, head.chars));
    fetched.head = {};

    // The numbers the service lists now, read once for the statistics and the memory of the board.
    const std::optional<QSet<QString>> listed =
        listRead ? std::optional(numbersOf(reading.handled)) : std::nullopt;
    if (listed)
        m_stats.observeListed(listedRequests(reading.handled), *listed, now);
    if (pollAnswered && !loginRejected)
        m_health.pollSucceeded(now);
    else
        m_health.pollFailed();
    m_health.setLoginRejected(loginRejected);
    m_board.fill(sortAndCut(reading.handled, m_board.displayIdx()), reading.handled.size());
    call(m_hooks.boardFilled);
    // The wait is for the service only: the new request must be readable while it is announced.
    call(m_hooks.hideWait);
    healthUpdated();
    askExpiryPass();
    return listed;
}

void RequestCycle::alertAndPrint(bool mSilent, const AnswerReading &reading, const QString &kavriNumT)
{
    // The board is up; the alert starts before the tickets, which go out while it lets
    // events run (its chime already playing), or right after it. Until each ticket is
    // out KavriNumT stays behind it, so an end meanwhile prints it at the next start.
    m_duePrint = [this, &reading, kavriNumT] {
        printAndRecord(reading, kavriNumT);
        healthUpdated();
    };
    m_printSoon.start(0);
    newRequestCheck(mSilent);
    printDue();
}

void RequestCycle::printDue()
{
    m_printSoon.stop();
    const std::function<void()> job = std::exchange(m_duePrint, {});
    // Ended before its first ticket: nothing was sent, and nothing recorded as sent.
    if (job && !m_shutDown)
        job();
}

void RequestCycle::noteConfirmedByExpiry(const QString &numT)
{
    if (m_running)
        m_confirmedByExpiry.insert(numT);
}

void RequestCycle::newRequestCheck(bool mSilent)
{
    const QString top = m_board.topRegDate();
    const QString topNumber = m_board.row(0).numTag;
    // A request the expiry pass has just confirmed is leaving the board: the
    // reload it asked for shows what takes its place.
    if (!top.isEmpty() && top != m_prevTopRegDate && !m_confirmedByExpiry.contains(topNumber)) {
        // Silent means the top moved up because staff confirmed what was above
        // it; a request that was never on the board is news, and is heard.
        const bool silent = mSilent && m_shownNumbers.contains(topNumber);
        const std::function<void(bool)> alert = m_hooks.newRequestAlert;
        if (alert)
            alert(silent);
    }
    m_prevTopRegDate = top;
}

QSet<QString> RequestCycle::numbersOnBoard() const
{
    QSet<QString> numbers;
    for (int r = 0; r < m_board.rowCount(); ++r) {
        const BoardRow &row = m_board.row(r);
        if (!row.isEmpty() && !row.numTag.isEmpty())
            numbers.insert(row.numTag);
    }
    return numbers;
}

void RequestCycle::rememberShown(const QSet<QString> *listed, const QSet<QString> &onBoard)
{
    // Only what the service still lists is kept, so the memory stays as small as
    // the answer; a cycle without a list (no answer, an error page) forgets nothing.
    if (listed)
        m_shownNumbers.intersect(*listed);
    m_shownNumbers.unite(onBoard);
}

bool RequestCycle::rememberAnswer(const QString &text, qsizetype chars, const QByteArray &bytes)
{
    // A large answer is compared by length and hash: keeping its text would hold
    // tens of megabytes between cycles.
    const bool large = chars > kKeptAnswerChars;
    const size_t hash = large && chars == m_prevRequestSize ? qHash(bytes) : 0;
    const bool same = large ? chars == m_prevRequestSize && hash == m_prevRequestHash : text == m_prevRequest;
    m_prevRequest = large ? QString() : text;
    m_prevRequestSize = chars;
    m_prevRequestHash = large ? (hash ? hash : qHash(bytes)) : 0;
    return same;
}

void RequestCycle::printAndRecord(const AnswerReading &reading, const QString &kavriNumT)
{
    // A printer fault is told after the cycle, not in a box that holds it up.
    const PrintFaultsDeferred deferFaults;
    // When the program ends meanwhile, the ticket under way is finished and the rest wait.
    const StopPrintingWhen stopWhen([this] { return m_shutDown; });
    const PrinterLinesKept keepLines;
    // Tickets kept from earlier failures go first, each at most once a poll.
    if (!gFilePrint)
        retryUnprintedTickets();
    if (m_shutDown)
        return;
    // The last printed number is the one the cycle started with, for every record.
    QString stored = lastStoredNumber(kavriNumT);
    const qint64 lastPrinted = numberOf(stored);
    // A request whose tickets were going out when the program ended, before its number was stored.
    const qint64 cutOff = numberOf(CfgMain.readValue(kPrinterSection, kSendingKey, QString()));
    QString handledLast;
    bool anyHandled = false;
    auto store = [&stored](const QString &numT, const QString &sending = {}) {
        if (sending.isEmpty() && numT == stored && !fileBehind())
            return;
        storeNumber(numT, sending);
        stored = numT;
    };
    // The number of a ticket that went out, stored in one write with the next one's going out
    // (a file write per ticket is the most of the time between two tickets on a fast line).
    QString owed;
    for (const HandledRecord &record : reading.handled) {
        anyHandled = true;
        handledLast = record.entry.NumT;
        if (!isPrinted(record, lastPrinted, gPrinterSettings))
            continue;
        const KavriEntry &e = record.entry;
        const bool repeat = cutOff > lastPrinted && numberOf(e.NumT) == cutOff;
        if (repeat)
            WriteLog(u"보내는 중에 프로그램이 끝난 주문서를 [재출력] 표시로 다시 출력: "_s + e.NumT);
        if (owed.isEmpty())
            storeSending(e.NumT);
        else
            store(std::exchange(owed, {}), e.NumT);
        Kavri_출력(QString(), e.TableT, e.MemoT, e.RegDateT, e.PayTypeT, repeat);
        // Stored by the next write, before anything else goes out: a crash never prints it
        // again unmarked.
        owed = e.NumT;
        if (m_shutDown) {
            store(owed);
            return;
        }
    }
    if (!owed.isEmpty())
        store(owed);
    // The number of the last record handled, once, rather than a file rewrite per record;
    // a file that missed the last one is caught up.
    store(anyHandled ? handledLast : stored);
    // Between tickets: how the printers are, and what they held back goes out once they take it.
    if (!gFilePrint && !m_shutDown && lookAtPrinters())
        retryUnprintedTickets();
    notePrinterHealth();
}

void RequestCycle::notePrinterHealth()
{
    // A slot renamed or emptied since its ticket failed no longer stands on the line.
    m_health.keepPrinters({gPrinterSettings.이름.cbegin(), gPrinterSettings.이름.cend()});
    for (const QString &slot : gPrinterSettings.이름) {
        if (const std::optional<bool> delivered = lastTicketDelivered(slot))
            m_health.setPrinterFailed(slot, !*delivered);
        if (const std::optional<PrinterCondition> condition = printerCondition(slot))
            m_health.setPrinterCondition(slot, *condition);
    }
    m_health.setUnprinted(unprintedTickets().count());
}

void RequestCycle::healthUpdated()
{
    QString faults;
    if (m_health.takeChange(&faults))
        WriteLog(u"보드 상태: "_s + (faults.isEmpty() ? u"정상"_s : faults));
    call(m_hooks.healthChanged);
}

void RequestCycle::askExpiryPass()
{
    m_confirmedByExpiry.clear();
    // The pass reads the expiry minutes the window shows, so the window lends it.
    call(m_hooks.expiryPass);
}

} // namespace kavri::monitor
