#include "codec/Cp949.h"
#include "monitor/Confirmation.h"
#include "monitor/PollLoop.h"
#include "monitor/RequestCycle.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/HttpTransport.h"
#include "printing/PrinterCommands.h"
#include "printing/PrinterSettings.h"
#include "printing/TicketOutput.h"
#include "printing/Unprinted.h"
#include "services/Housekeeping.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "services/WinHttp.h"
#include "support/BoardRows.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/HostileServer.h"
#include "support/NetworkPrinter.h"
#include "support/PrinterStatusBytes.h"
#include "support/PrintingTestEnvironment.h"
#include "support/PtyPair.h"
#include "support/RecordText.h"
#include "support/Simulator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSslCertificate>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::monitor;

namespace {

const QString kSlotName = u"카운터"_s;
const QString kListPath = u"/program/qrtablememolistloading.php"_s;

} // namespace

class TstRequestCycle : public QObject
{
    Q_OBJECT
    std::optional<test::PrintingTestEnvironment> m_env;
    std::unique_ptr<test::Simulator> m_sim;
    std::unique_ptr<test::PtyPair> m_pty;
    std::unique_ptr<RequestBoard> m_board;
    std::unique_ptr<RequestCycle> m_cycle;
    QStringList m_events; ///< "show", "hide", "alert" or "alert silent", in order
    std::function<void(bool)> m_onAlert;

    QString cfgPath() const { return m_env->cfgPath(); }

    QString regDate(qint64 secondsAgo) const
    {
        return m_env->clock().now().addSecs(-secondsAgo).toString(u"yyyy-MM-dd HH:mm:ss"_s);
    }

    qint64 add(const QString &table, qint64 secondsAgo, const QString &text = u"물 주세요"_s,
               const QString &payType = {}, int count = 1)
    {
        return m_sim->addRequest(test::Simulator::shopId, table, text, payType, regDate(secondsAgo), count);
    }

    /// One printer slot on a pty, printing the tables of `selection`, at the speed of list position `speed`.
    void setUpPrinter(const QString &selection, int speed = 4)
    {
        if (!test::PtyPair::socatAvailable())
            QSKIP("socat is not installed; the printing cases need it");
        m_pty = std::make_unique<test::PtyPair>();
        QVERIFY2(m_pty->isValid(), qPrintable(m_pty->error()));
        QVERIFY(test::writeBytes(m_env->filePath(u"Deploy.ini"_s),
                                 (u"[Ports]\nCOM3="_s + m_pty->printerPath() + u"\n"_s).toUtf8()));
        QVERIFY(test::writeBytes(cfgPath(),
                                 codec::toCp949(u"[프린터]\r\n이름0="_s + kSlotName +
                                                u"\r\n포트0=3\r\n통신속도0="_s + QString::number(speed) +
                                                u"\r\n선택된테이블="_s + selection + u"\r\n"_s)));
        QVERIFY(Load_프린터설정());
        QVERIFY(Load_선택된테이블설정());
    }

    /// What the printer printed: the bytes that came, less the status requests between tickets.
    QByteArray printerBytes() { return test::withoutStatusRequests(m_pty->readUntilQuiet(400, 8000)); }

    /// The tables of the tickets that reached the printer, in order.
    QStringList printedTables()
    {
        if (!m_pty)
            return {};
        const QString bytes = codec::fromCp949(printerBytes());
        QStringList tables;
        static const QRegularExpression line(u"QR: ([^\\x1b]*)\\x1b"_s);
        for (const QRegularExpressionMatch &m : line.globalMatch(bytes))
            tables << m.captured(1);
        return tables;
    }

    int printLogTickets() const
    {
        const QString log = codec::fromCp949(test::readBytes(m_env->filePath(u"260501_PRN.log"_s)));
        return int(log.count(kSlotName + u" "_s + QString(40, u'=')));
    }

    QString requestLog() const
    {
        return codec::fromCp949(test::readBytes(m_env->filePath(u"260501_WinHttp_Req_12.log"_s)));
    }

    QString mainLog() const { return codec::fromCp949(test::readBytes(m_env->filePath(u"260501.log"_s))); }

    /// The answer of `malformed` on top, then requests of the tables P1 and P2 (numbers 11 and 10).
    QString answerUnder(const QString &malformedNum) const
    {
        return test::answerText({test::rec(malformedNum, u"BAD"_s, regDate(0)),
                                 test::rec(u"11"_s, u"P2"_s, regDate(60)),
                                 test::rec(u"10"_s, u"P1"_s, regDate(120))});
    }

    QString kavriNumT() const { return CfgMain.readValue(kPrinterSection, u"KavriNumT"_s, u"(없음)"_s); }

    /// The tickets that reached the printer, each as "table" or "table [재출력]", in order.
    QStringList printedTickets()
    {
        if (!m_pty)
            return {};
        const QString bytes = codec::fromCp949(printerBytes());
        QStringList tickets;
        static const QRegularExpression table(u"QR: ([^\\x1b]*)\\x1b"_s);
        for (const QString &ticket : bytes.split(gPrnInit, Qt::SkipEmptyParts)) {
            const QRegularExpressionMatch m = table.match(ticket);
            tickets << (m.hasMatch() ? m.captured(1) : u"?"_s) +
                           (ticket.contains(u"[재출력]"_s) ? u" [재출력]"_s : QString());
        }
        return tickets;
    }

    /// Calls `then` once the printer has begun to receive (from the cycle's waits), keeping what arrived.
    void onFirstBytes(QTimer &watch, QByteArray &arrived, const std::function<void()> &then)
    {
        watch.setInterval(5);
        connect(&watch, &QTimer::timeout, this, [&watch, &arrived, then, this] {
            arrived += test::withoutStatusRequests(m_pty->readUntilQuiet(0, 50));
            if (arrived.isEmpty())
                return;
            watch.stop();
            then();
        });
        watch.start();
    }

    int listRequestsReceived() { return m_sim->receivedCount(kListPath); }

    QStringList rowTables() const { return test::rowTables(*m_board); }

    QStringList alerts() const
    {
        QStringList out;
        for (const QString &e : m_events) {
            if (e.startsWith(u"alert"_s))
                out << e;
        }
        return out;
    }

private slots:
    void init()
    {
        m_env.emplace(QDateTime(QDate(2026, 5, 1), QTime(12, 0, 0)));
        // Tickets kept by an earlier case would be sent again in this one.
        unprintedTickets().load({}, m_env->clock().now());
        m_sim = std::make_unique<test::Simulator>();
        QVERIFY2(m_sim->isRunning(), qPrintable(m_sim->errorString()));
        m_sim->logIn(3000);
        m_board = std::make_unique<RequestBoard>();
        m_board->setLayout(0, 0);
        m_cycle = std::make_unique<RequestCycle>(*m_board);
        m_events.clear();
        m_onAlert = nullptr;
        RequestCycle::Hooks hooks;
        hooks.showWait = [this] { m_events << u"show"_s; };
        hooks.hideWait = [this] { m_events << u"hide"_s; };
        hooks.newRequestAlert = [this](bool silent) {
            m_events << (silent ? u"alert silent"_s : u"alert"_s);
            if (m_onAlert)
                m_onAlert(silent);
        };
        m_cycle->setHooks(hooks);
    }
    void cleanup()
    {
        m_cycle.reset();
        m_board.reset();
        m_pty.reset();
        m_sim.reset();
        m_env.reset();
    }

    // Rows newest first with their fields and icons, the banner from the top
    // row, the exchange in the hour's log without the password, the number of
    // the first shown record kept although nothing was printed.
    void boardAfterACycle()
    {
        QVERIFY(add(u"1층/1"_s, 300, u"물 주세요"_s, u"card"_s) > 0);
        QVERIFY(add(u"1층/2"_s, 180, u"앞접시"_s, u"Cash"_s, 3) > 0);
        const qint64 top = add(u"창가/10"_s, 60, u"수저"_s);
        QVERIFY(m_cycle->Load_Kavri(false));

        QCOMPARE(rowTables(), (QStringList{u"창가/10"_s, u"1층/2"_s, u"1층/1"_s}));
        const BoardRow &r0 = m_board->row(0);
        QCOMPARE(r0.numTag, QString::number(top));
        QCOMPARE(r0.regDate, regDate(60));
        QCOMPARE(r0.memo, u"수저"_s);
        QCOMPARE(r0.icon, PayIcon::None);
        QCOMPARE(m_board->row(1).memo, u"앞접시 X 3"_s);
        QCOMPARE(m_board->row(1).payType, u"현금"_s);
        QCOMPARE(m_board->row(1).icon, PayIcon::Cash);
        QCOMPARE(m_board->row(2).icon, PayIcon::Card);
        QVERIFY(m_board->row(3).isEmpty());
        QCOMPARE(m_board->row(3).numTag, QString());
        QCOMPARE(m_board->banner().table, u"창가/10"_s);
        QCOMPARE(m_board->banner().text, u"수저"_s);
        QCOMPARE(m_board->banner().payType, QString());

        // The wait ends once the board is filled: the new request is announced readable.
        QCOMPARE(m_events, (QStringList{u"show"_s, u"hide"_s, u"show"_s, u"hide"_s, u"alert"_s}));
        QCOMPARE(m_cycle->gQRT_PrevTopRegDate(), regDate(60));
        QVERIFY(m_cycle->gQRT_PrevRequest().contains(u"<memochecks>"_s));
        QCOMPARE(kavriNumT(), QString::number(top));

        const QString log = requestLog();
        QVERIFY(log.contains(u"]Load_Kavri() ... "_s + gBaseURL + kListPath +
                             u"?ID=shop1&PassWord=****&checked=Y\r\n"_s));
        QVERIFY(log.contains(u"]Load_Kavri() ... ResponseStr:\r\n"_s + m_cycle->gQRT_PrevRequest()));
        QVERIFY(!log.contains(test::Simulator::shopPassword));
    }

    // A silent cycle (the reload after a confirmation) highlights without
    // sound when a request that was on the board moved up to the top.
    // An answer over a million characters is remembered by its length and hash,
    // not its text: the same answer again is logged as unchanged, and a changed
    // one of the same length is logged whole (its first megabyte).
    void largeAnswerComparedWithoutItsText()
    {
        QList<test::RecordFields> records;
        for (int i = 4000; i > 0; --i)
            records.append(test::rec(QString::number(i), u"T"_s + QString::number(1000 + i % 9000),
                                     regDate(0), u"물 좀 더 주세요 앞접시도요"_s, u"1"_s, {}, u"N"_s));
        const QString answer = test::answerText(records);
        QVERIFY(answer.size() > RequestCycle::kKeptAnswerChars);
        QString changed = answer;
        const qsizetype at = changed.lastIndexOf(u"T1001"_s);
        QVERIFY(at > 0);
        changed.replace(at, 5, u"T1002"_s);
        QCOMPARE(changed.size(), answer.size());

        // Beyond what the simulator takes as a control post: a plain server per answer.
        test::HostileServer first(test::HostileServer::response("HTTP/1.1 200 OK", answer.toUtf8()));
        test::HostileServer second(test::HostileServer::response("HTTP/1.1 200 OK", changed.toUtf8()));
        const QString saved = gBaseURL;
        auto restore = qScopeGuard([&] { gBaseURL = saved; });
        gBaseURL = first.url(QString());
        QVERIFY(m_cycle->Load_Kavri(true));
        QCOMPARE(m_board->row(0).table, u"T5000"_s);
        QVERIFY(m_cycle->gQRT_PrevRequest().isEmpty());
        QVERIFY(m_cycle->Load_Kavri(true));
        gBaseURL = second.url(QString());
        QVERIFY(m_cycle->Load_Kavri(true));
        const QString log = requestLog();
        QCOMPARE(log.count(u"]Load_Kavri() ... ResponseStr: 직전과 동일."_s), 1);
        QCOMPARE(log.count(u"]Load_Kavri() ... ResponseStr:\r\n"_s), 2);
    }

    // A large answer is decoded and read in pieces of about a megabyte, whatever its
    // encoding: a Korean text that a piece's edge cuts in the middle of a character
    // comes out whole, and no record is lost at an edge.
    void largeAnswerInEveryEncoding_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::newRow("utf-8") << QByteArray("text/html; charset=utf-8");
        QTest::newRow("euc-kr") << QByteArray("text/html; charset=EUC-KR");
        QTest::newRow("code page, undeclared") << QByteArray("text/html");
    }
    void largeAnswerInEveryEncoding()
    {
        QFETCH(QByteArray, contentType);
        const bool utf8 = contentType.contains("utf-8");
        auto encode = [utf8](const QString &text) { return utf8 ? text.toUtf8() : codec::toCp949(text); };
        const QString memo = u"물 좀 더 주세요 앞접시도 두 개 부탁드려요"_s;
        QList<test::RecordFields> records;
        for (int i = 4900; i > 0; --i)
            records.append(test::rec(QString::number(i), u"창가/"_s + QString::number(i), regDate(60 + i),
                                     memo, u"1"_s, {}, u"N"_s));
        // The record whose text starts last before the first piece's edge becomes the
        // newest, and blanks before the list move the edge into its first character.
        const QByteArray memoTag = "<memotext>";
        qsizetype at = encode(u"<memolist>\n"_s).size();
        qsizetype edge = -1;
        qsizetype memoAt = 0;
        for (qsizetype i = 0; i < records.size(); ++i) {
            const QByteArray record = encode(test::recordText(records.at(i)));
            const qsizetype memoStart = at + record.indexOf(memoTag) + memoTag.size();
            if (memoStart + 1 > platform::DecodeSliceBytes)
                break;
            edge = i;
            memoAt = memoStart;
            at += record.size();
        }
        QVERIFY(edge > 0);
        records[edge].regDate = regDate(0);
        const QByteArray bytes =
            QByteArray(platform::DecodeSliceBytes - memoAt - 1, ' ') + encode(test::answerText(records));
        QCOMPARE(bytes.mid(platform::DecodeSliceBytes - 1, encode(memo.left(1)).size()),
                 encode(memo.left(1)));

        test::HostileServer server(test::HostileServer::response("HTTP/1.1 200 OK", bytes)
                                       .replace("text/html; charset=utf-8", contentType));
        const QString saved = gBaseURL;
        auto restore = qScopeGuard([&] { gBaseURL = saved; });
        gBaseURL = server.url(QString());
        QVERIFY(m_cycle->Load_Kavri(true));
        QCOMPARE(m_board->row(0).table, records.at(edge).table);
        QCOMPARE(m_board->row(0).memo, memo);
        QCOMPARE(m_board->row(1).table, u"창가/1"_s);
        QVERIFY(!requestLog().contains(u"잘못된 레코드"_s));
        // Every record was read: each is followed for the statistics.
        QCOMPARE(m_cycle->responseStats().followedCount(), records.size());
    }

    // A large answer is read in slices with the window's events between them: a
    // shutdown that comes in while the records are read stops the cycle there,
    // with nothing on the board.
    void shutDownWhileReadingLargeAnswer()
    {
        QList<test::RecordFields> records;
        for (qsizetype i = 4000; i > 0; --i)
            records.append(test::rec(QString::number(i), u"T"_s + QString::number(1000 + i % 9000),
                                     regDate(0), u"물 좀 더 주세요 앞접시도요 그리고 물티슈도"_s, u"1"_s, {},
                                     u"N"_s));
        const QString answer = test::answerText(records);
        QVERIFY(answer.size() > RequestCycle::kKeptAnswerChars);
        test::HostileServer server(test::HostileServer::response("HTTP/1.1 200 OK", answer.toUtf8()));
        const QString saved = gBaseURL;
        auto restore = qScopeGuard([&] { gBaseURL = saved; });
        gBaseURL = server.url(QString());

        // From the wait picture before the reading: the first run of events is the
        // one before the reading starts, the second comes between its slices.
        int shows = 0;
        int fired = 0;
        QTimer tick;
        tick.setInterval(0);
        connect(&tick, &QTimer::timeout, this, [&] {
            if (++fired == 2)
                m_cycle->shutDown();
        });
        RequestCycle::Hooks hooks;
        hooks.showWait = [&] {
            if (++shows == 2)
                tick.start();
        };
        m_cycle->setHooks(hooks);
        QVERIFY(!m_cycle->Load_Kavri(true));
        QCOMPARE(fired, 2);
        QVERIFY(m_board->row(0).isEmpty());
    }

    // The board is filled and the alert started before the first ticket byte; the tickets go
    // out while the alert lets events run, and each number is recorded once its ticket is out.
    void alertComesBeforeTheTickets()
    {
        setUpPrinter(u"전체"_s, 0);
        if (!m_pty)
            return;
        QVERIFY(CfgMain.writeValues(kPrinterSection, {{u"KavriNumT"_s, u"0"_s}}));
        qint64 newest = 0;
        for (const QString &table : {u"T1"_s, u"T2"_s, u"T3"_s})
            newest = add(table, 30 - newest % 10);
        QStringList rowsAtAlert;
        QByteArray bytesAtAlert;
        QString numberAtAlert;
        QByteArray bytesDuringAlert;
        m_onAlert = [&](bool) {
            rowsAtAlert = rowTables();
            bytesAtAlert = test::withoutStatusRequests(m_pty->readUntilQuiet(0, 20));
            numberAtAlert = kavriNumT();
            // As the chime's pause does.
            Delay(1500);
            bytesDuringAlert = test::withoutStatusRequests(m_pty->readUntilQuiet(300, 3000));
        };
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(rowsAtAlert.size(), 3);
        QCOMPARE(bytesAtAlert, QByteArray());
        QCOMPARE(numberAtAlert, u"0"_s);
        QCOMPARE(bytesDuringAlert.count("\x1b@"), 3);
        QCOMPARE(kavriNumT(), QString::number(newest));
        QCOMPARE(alerts(), QStringList{u"alert"_s});
    }

    void silentIsPassedOn()
    {
        QVERIFY(add(u"1층/1"_s, 60) > 0);
        const qint64 top = add(u"1층/2"_s, 0);
        QVERIFY(m_cycle->Load_Kavri(false));
        QVERIFY(Check_Kavri(QString::number(top)));
        QVERIFY(m_cycle->Load_Kavri(true));
        QCOMPARE(alerts(), (QStringList{u"alert"_s, u"alert silent"_s}));
        QCOMPARE(rowTables(), QStringList{u"1층/1"_s});
    }

    // Ages by minute boundaries at 12:31:00: 09:30:59 is 181 minutes (not
    // shown), 09:31:00 is 180 (shown), 12:00:59 is 31 (shown, not printed),
    // 12:01:00 is 30 (printed).
    void agesDecideShowingAndPrinting()
    {
        setUpPrinter(u"전체"_s);
        m_env->clock().setNow(QDateTime(QDate(2026, 5, 1), QTime(12, 31, 0)));
        const QDate day(2026, 5, 1);
        qint64 last = 0;
        for (const auto &[table, time] : QList<QPair<QString, QTime>>{{u"T181"_s, QTime(9, 30, 59)},
                                                                      {u"T180"_s, QTime(9, 31, 0)},
                                                                      {u"T31"_s, QTime(12, 0, 59)},
                                                                      {u"T30"_s, QTime(12, 1, 0)}}) {
            last = m_sim->addRequest(test::Simulator::shopId, table, u"물"_s, {},
                                     QDateTime(day, time).toString(u"yyyy-MM-dd HH:mm:ss"_s));
            QVERIFY(last > 0);
        }
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(rowTables(), (QStringList{u"T30"_s, u"T31"_s, u"T180"_s}));
        QCOMPARE(printedTables(), QStringList{u"T30"_s});
        QCOMPARE(kavriNumT(), QString::number(last));
    }

    // Done flag exactly "Y"; a quantity of two and a half; a payment type in capitals.
    void doneFlagQuantityAndPayment()
    {
        setUpPrinter(u"전체"_s);
        using test::RecordFields;
        const QString answer = test::answerText({
            test::rec(u"7"_s, u"D1"_s, regDate(0), u"물"_s, u"1"_s, {}, u"Y"_s),
            test::rec(u"6"_s, u"D2"_s, regDate(0), u"물"_s, u"2.5"_s, u"CARD"_s, u"y"_s),
        });
        QVERIFY(m_sim->setRawAnswer(answer));
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(rowTables(), QStringList{u"D2"_s});
        QCOMPARE(m_board->row(0).memo, u"물 X 2"_s);
        QCOMPARE(m_board->row(0).icon, PayIcon::Card);
        QCOMPARE(printedTables(), QStringList{u"D2"_s});
        QCOMPARE(kavriNumT(), u"6"_s);
    }

    // A request holding a paper cut, a cash drawer pulse, a reset and a size change, in
    // its text and its table name: the printer gets the ticket's own commands only, and
    // the logs no escape sequence.
    void customerTextSendsNoPrinterCommand()
    {
        setUpPrinter(u"전체"_s);
        if (!m_pty)
            return;
        const QString cut = QString::fromLatin1("\x1d\x56\x00", 3);
        const QString drawer = QString::fromLatin1("\x10\x14\x01\x00\x01", 5);
        const QString reset = u"\x1b@"_s;
        const QString size = QString::fromLatin1("\x1b!\x00", 3);
        const QString answer = test::answerText({
            test::rec(u"7"_s, reset + u"T7"_s + size, regDate(0),
                      u"물"_s + cut + drawer + reset + u"!줄!줘"_s),
        });
        QVERIFY(m_sim->setRawAnswer(answer));
        QVERIFY(m_cycle->Load_Kavri(false));
        const QByteArray bytes = printerBytes();
        QVERIFY(bytes.contains(codec::toCp949(u"물"_s)));
        QCOMPARE(bytes.count("\x1b@"), 1); // the ticket's own start
        QCOMPARE(bytes.count('\x1d'), 0);
        QCOMPARE(bytes.count('\x10'), 0);
        // The text's own line break stays a line break.
        QVERIFY(bytes.contains(codec::toCp949(u"물 V"_s + QString(7, u' ') + u"@\r\n줘"_s)));
        QCOMPARE(m_board->row(0).table, u" @T7 ! "_s);
        const QByteArray requestLog = test::readBytes(m_env->filePath(u"260501_WinHttp_Req_12.log"_s));
        QVERIFY(requestLog.contains(codec::toCp949(u"물"_s)));
        QCOMPARE(requestLog.count('\x1b') + requestLog.count('\x1d') + requestLog.count('\x10') +
                     requestLog.count('\0'),
                 0);
        // The print log holds the ticket as it was sent.
        const QByteArray printLog = test::readBytes(m_env->filePath(u"260501_PRN.log"_s));
        QCOMPARE(printLog.count("\x1b@"), 1);
        QCOMPARE(printLog.count('\x1d') + printLog.count('\x10'), 0);
    }

    void printingRule_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QStringList>("tables"); // in the order the requests arrive
        QTest::addColumn<QStringList>("printed");
        QTest::newRow("two new requests, all tables")
            << u"전체"_s << QStringList{u"T1"_s, u"T2"_s} << QStringList{u"T1"_s, u"T2"_s};
        QTest::newRow("A and B print, AB does not")
            << u"-[A]--[B]-"_s << QStringList{u"A"_s, u"AB"_s, u"B"_s} << QStringList{u"A"_s, u"B"_s};
        QTest::newRow("no table selected") << QString() << QStringList{u"A"_s} << QStringList();
    }
    // Requests print from the end of the answer (the oldest first) and the
    // number ends at the first shown record of the answer, printed or not.
    void printingRule()
    {
        QFETCH(QString, selection);
        QFETCH(QStringList, tables);
        QFETCH(QStringList, printed);
        setUpPrinter(selection);
        qint64 last = 0;
        for (const QString &t : tables)
            last = add(t, 10);
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(printedTables(), printed);
        QCOMPARE(printLogTickets(), printed.size());
        QCOMPARE(kavriNumT(), QString::number(last));
        QVERIFY(m_env->dialogs().texts().isEmpty());
    }

    // The same answer again: one line in the log, nothing printed twice, no second alert.
    void unchangedAnswer()
    {
        setUpPrinter(u"전체"_s);
        QVERIFY(add(u"T1"_s, 10) > 0);
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(printedTables(), QStringList{u"T1"_s});
        const QString before = requestLog();

        QVERIFY(m_cycle->Load_Kavri(false));
        const QString added = requestLog().mid(before.size());
        static const QRegularExpression same(
            u"^\\[260501-120000\\.000\\]Load_Kavri\\(\\) \\.\\.\\. ResponseStr: 직전과 동일\\. \\d+ms 걸림\\.\\r\\n$"_s);
        QVERIFY2(same.match(added).hasMatch(), qPrintable(added));
        QCOMPARE(printedTables(), QStringList());
        QCOMPARE(printLogTickets(), 1);
        QCOMPARE(rowTables(), QStringList{u"T1"_s});
        QCOMPARE(alerts(), QStringList{u"alert"_s});
    }

    void emptyOrFailedAnswer_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("count"); // 0: until reset
        QTest::newRow("blank") << u"blank"_s << 1;
        QTest::newRow("status 500") << u"error500"_s << 1;
        QTest::newRow("no answer") << u"drop"_s << 0;
    }
    // The board empties, nothing alerts, and the next answer alerts again for its top.
    void emptyOrFailedAnswer()
    {
        QFETCH(QString, fault);
        QFETCH(int, count);
        QVERIFY(add(u"T1"_s, 10) > 0);
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(alerts().size(), 1);

        QVERIFY(m_sim->setFault(fault, count));
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(rowTables(), QStringList());
        QCOMPARE(m_board->banner().text, QString());
        QCOMPARE(m_board->banner().table, QString());
        QCOMPARE(m_cycle->gQRT_PrevTopRegDate(), QString());
        QCOMPARE(alerts().size(), 1);

        QVERIFY(m_sim->reset());
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(rowTables(), QStringList{u"T1"_s});
        QCOMPARE(alerts(), (QStringList{u"alert"_s, u"alert"_s}));
    }

    // A poll counts as answered for the health line when the status is 200, whatever the
    // answer holds (the service answers an empty list with nothing); the board shows what
    // it always showed.
    void pollCountsAsAnswered_data()
    {
        QTest::addColumn<QByteArray>("statusLine");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("health");
        QTest::addColumn<QStringList>("rows");
        const QString list = test::answerText({test::rec(u"7"_s, u"T7"_s, regDate(60))});
        const QString answered = u"확인 12:00:00"_s;
        const QString failed = u"확인 전 · 서버 응답 없음 · 1회"_s;
        QTest::newRow("list") << QByteArray("HTTP/1.1 200 OK") << list << answered << QStringList{u"T7"_s};
        QTest::newRow("empty list") << QByteArray("HTTP/1.1 200 OK") << test::answerText({}) << answered
                                    << QStringList();
        QTest::newRow("list under status 500")
            << QByteArray("HTTP/1.1 500 Internal Server Error") << list << failed << QStringList{u"T7"_s};
        QTest::newRow("empty list under status 503") << QByteArray("HTTP/1.1 503 Service Unavailable")
                                                     << test::answerText({}) << failed << QStringList();
        QTest::newRow("blank") << QByteArray("HTTP/1.1 200 OK") << QString() << answered << QStringList();
        QTest::newRow("line breaks only")
            << QByteArray("HTTP/1.1 200 OK") << u"\r\n\r\n"_s << answered << QStringList();
        QTest::newRow("blank under status 500")
            << QByteArray("HTTP/1.1 500 Internal Server Error") << QString() << failed << QStringList();
        QTest::newRow("a page that is no list")
            << QByteArray("HTTP/1.1 200 OK") << u"<html><body>점검 중입니다</body></html>"_s << answered
            << QStringList();
        QTest::newRow("login refused")
            << QByteArray("HTTP/1.1 200 OK")
            << u"<html><body>아이디 또는 비밀번호가 일치하지 않습니다.</body></html>"_s
            << u"확인 전 · 로그인 거부됨"_s << QStringList();
    }
    void pollCountsAsAnswered()
    {
        QFETCH(QByteArray, statusLine);
        QFETCH(QString, body);
        QFETCH(QString, health);
        QFETCH(QStringList, rows);
        test::HostileServer server(test::HostileServer::response(statusLine, body.toUtf8()));
        gBaseURL = server.url(QString());
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(m_cycle->health().text(), health);
        QCOMPARE(rowTables(), rows);
    }

    // The last open request confirmed elsewhere: the service answers nothing, which is an
    // empty list, so the request is written as gone; an error page says nothing of it.
    void lastRequestGoneOnEmptyAnswer_data()
    {
        QTest::addColumn<QByteArray>("statusLine");
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("followedAfter");
        QTest::newRow("nothing") << QByteArray("HTTP/1.1 200 OK") << QString() << 0;
        QTest::newRow("blanks") << QByteArray("HTTP/1.1 200 OK") << u"\n \n"_s << 0;
        QTest::newRow("error page") << QByteArray("HTTP/1.1 200 OK") << u"<html>점검 중</html>"_s << 1;
        QTest::newRow("nothing under 502") << QByteArray("HTTP/1.1 502 Bad Gateway") << QString() << 1;
    }
    void lastRequestGoneOnEmptyAnswer()
    {
        QFETCH(QByteArray, statusLine);
        QFETCH(QString, body);
        QFETCH(int, followedAfter);
        QVERIFY(add(u"T1"_s, 10) > 0);
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(m_cycle->responseStats().followedCount(), 1);
        test::HostileServer server(test::HostileServer::response(statusLine, body.toUtf8()));
        gBaseURL = server.url(QString());
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(m_cycle->responseStats().followedCount(), followedAfter);
    }

    // 40 open requests on a 10-row board: the 10 newest shown, all 40 printed.
    void fortyOpenRequests()
    {
        setUpPrinter(u"전체"_s);
        gFilePrint = true; // the print log is enough to count tickets
        qint64 last = 0;
        for (int n = 1; n <= 40; ++n) {
            last = add(u"T"_s + QString::number(n), (40 - n) * 20);
            QVERIFY(last > 0);
        }
        QVERIFY(m_cycle->Load_Kavri(false));
        QStringList newest;
        for (int n = 40; n > 30; --n)
            newest << u"T"_s + QString::number(n);
        QCOMPARE(rowTables(), newest);
        QCOMPARE(printLogTickets(), 40);
        QCOMPARE(kavriNumT(), QString::number(last));
    }

    // Broken records are skipped whole and named in the log; the number stays
    // with the well-formed records.
    void malformedRecords()
    {
        setUpPrinter(u"전체"_s);
        using test::RecordFields;
        RecordFields noDate = test::rec(u"9"_s, u"M9"_s, regDate(0));
        noDate.omit = QStringList{u"regdatememo"_s};
        const QString answer = test::answerText({
            noDate,
            test::rec(u"8"_s, u"M8"_s, regDate(0)),
            test::rec(u"7"_s, u"M7"_s, u"2026-13-01 10:00:00"_s),
            test::rec(u"6"_s, u"M6"_s, regDate(60)),
        });
        QVERIFY(m_sim->setRawAnswer(answer));
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(rowTables(), (QStringList{u"M8"_s, u"M6"_s}));
        QCOMPARE(printedTables(), (QStringList{u"M6"_s, u"M8"_s}));
        QCOMPARE(kavriNumT(), u"8"_s);
        const QString log = requestLog();
        QVERIFY(log.contains(u"]Load_Kavri() ... 잘못된 레코드 건너뜀: 3번째 레코드 (memonum 7): "
                             u"등록 시각을 읽을 수 없음: 2026-13-01 10:00:00\r\n"_s));
        QVERIFY(log.contains(
            u"]Load_Kavri() ... 잘못된 레코드 건너뜀: 1번째 레코드 (memonum 9): <regdatememo> 태그 없음\r\n"_s));

        // A thoroughly broken answer names a bounded number of them.
        QList<RecordFields> broken;
        for (int n = 0; n < 25; ++n)
            broken.append(test::rec(QString::number(100 + n), u"X"_s, u"?"_s));
        QVERIFY(m_sim->setRawAnswer(test::answerText(broken)));
        const qsizetype before = requestLog().size();
        QVERIFY(m_cycle->Load_Kavri(false));
        const QString added = requestLog().mid(before);
        QCOMPARE(added.count(u"잘못된 레코드 건너뜀"_s), RequestCycle::kMalformedLinesPerCycle);
        QVERIFY(added.contains(u"]Load_Kavri() ... 잘못된 레코드 5건 더 건너뜀\r\n"_s));
        QCOMPARE(rowTables(), QStringList());
        QCOMPARE(kavriNumT(), u"8"_s);
    }

    // A number that is no whole number from 1 to 2^63-1 never reaches KavriNumT, so the
    // next poll does not take the other requests for new ones.
    void malformedNumberOnTop_data()
    {
        QTest::addColumn<QString>("num");
        QTest::newRow("empty") << QString();
        QTest::newRow("letters") << u"abc"_s;
        QTest::newRow("negative") << u"-5"_s;
        QTest::newRow("20 digits") << u"99999999999999999999"_s;
        QTest::newRow("2^63") << u"9223372036854775808"_s;
    }
    void malformedNumberOnTop()
    {
        QFETCH(QString, num);
        setUpPrinter(u"전체"_s);
        QVERIFY(m_sim->setRawAnswer(answerUnder(num), 3));
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(printedTables(), (QStringList{u"P1"_s, u"P2"_s}));
        QCOMPARE(rowTables(), (QStringList{u"P2"_s, u"P1"_s}));
        QCOMPARE(kavriNumT(), u"11"_s);
        QVERIFY(requestLog().contains(u"]Load_Kavri() ... 잘못된 레코드 건너뜀: 1번째 레코드 (memonum "_s +
                                      num + u"): 요청 번호를 읽을 수 없음: "_s + num + u"\r\n"_s));
        for (int poll = 0; poll < 2; ++poll) {
            QVERIFY(m_cycle->Load_Kavri(false));
            QCOMPARE(printedTables(), QStringList());
            QCOMPARE(kavriNumT(), u"11"_s);
        }
        QCOMPARE(printLogTickets(), 2);
    }

    // A settings file that cannot take the number (a full disk): the cycle goes by the number it
    // stored last, prints nothing twice, and the file catches up when it can be written again.
    void fullDiskPrintsNothingTwice()
    {
        setUpPrinter(u"전체"_s);
        QVERIFY(m_sim->setRawAnswer(answerUnder(u"12"_s), 4));
        // A settings file larger than the serial port's lock file, so that only the file stays full.
        QByteArray cfg = test::readBytes(cfgPath());
        QVERIFY(test::writeBytes(cfgPath(), cfg + "[Pad]\r\nx=" + QByteArray(2000, 'x') + "\r\n"));
        const qint64 cfgSize = QFileInfo(cfgPath()).size();
        {
            const test::FileSizeLimit full(cfgSize);
            QVERIFY(m_cycle->Load_Kavri(false));
            QCOMPARE(printedTables(), (QStringList{u"P1"_s, u"P2"_s, u"BAD"_s}));
            QCOMPARE(kavriNumT(), u"(없음)"_s);
            for (int poll = 0; poll < 2; ++poll) {
                QVERIFY(m_cycle->Load_Kavri(false));
                QCOMPARE(printedTables(), QStringList());
                QCOMPARE(kavriNumT(), u"(없음)"_s);
            }
        }
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(printedTables(), QStringList());
        QCOMPARE(kavriNumT(), u"12"_s);
        QTest::qWait(20);
        QVERIFY(m_env->dialogs().texts().isEmpty());
    }

    // The failed write is logged once per fault, not at every poll, and its end once.
    void unwritableNumberIsLoggedOnce()
    {
        setUpPrinter(u"전체"_s);
        QVERIFY(m_sim->setRawAnswer(answerUnder(u"12"_s), 4));
        // The settings move to a folder that is not there: every write fails, reads give nothing.
        const QString folder = m_env->filePath(u"gone"_s);
        CfgMain.setFileName(folder + u"/Zarazo.cfg"_s);
        for (int poll = 0; poll < 3; ++poll)
            QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(printedTables(), (QStringList{u"P1"_s, u"P2"_s, u"BAD"_s}));
        // The first number that could not be stored is named; the later failures add nothing.
        QCOMPARE(mainLog().count(u"]KavriNumT를 저장하지 못함: 10 (기억해 둔 번호로 계속)\r\n"_s), 1);
        QCOMPARE(mainLog().count(u"KavriNumT를 저장하지 못함"_s), 1);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(printedTables(), QStringList());
        QCOMPARE(kavriNumT(), u"12"_s);
        QCOMPARE(mainLog().count(u"]KavriNumT 저장 복구: 12\r\n"_s), 1);
        QCOMPARE(mainLog().count(u"KavriNumT를 저장하지 못함"_s), 1);
    }

    // The printer is pulled out while two requests come in, then put back: the next poll
    // prints both once, oldest first, ahead of the new one, and the health line clears.
    // A network printer out of paper: the health line says so, the ticket waits without a box,
    // and it is printed once when the paper is back.
    void paperEndHoldsTheTicketUntilPaperIsBack()
    {
        test::NetworkPrinter printer;
        printer.setStatus(test::TestStatus::PaperEnd);
        QVERIFY(test::writeBytes(m_env->filePath(u"Deploy.ini"_s),
                                 (u"[Ports]\nCOM3="_s + printer.portLine() + u"\n"_s).toUtf8()));
        QVERIFY(test::writeBytes(cfgPath(), codec::toCp949(u"[프린터]\r\n이름0="_s + kSlotName +
                                                           u"\r\n포트0=3\r\n선택된테이블=전체\r\n"_s)));
        QVERIFY(Load_프린터설정());
        QVERIFY(Load_선택된테이블설정());
        QVERIFY(add(u"T1"_s, 10) > 0);
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(printer.received(), QByteArray());
        QCOMPARE(m_cycle->health().text(), u"확인 12:00:00 · 카운터 프린터 용지 없음 · 미출력 1건"_s);
        QVERIFY(m_cycle->health().faulty());
        QTest::qWait(50);
        QVERIFY(m_env->dialogs().texts().isEmpty());

        printer.setStatus(test::TestStatus::PaperNearEnd);
        QVERIFY(m_cycle->Load_Kavri(false));
        QVERIFY(printer.waitForBytes(100));
        QCOMPARE(codec::fromCp949(printer.received()).count(u"QR: T1"_s), 1);
        QCOMPARE(m_cycle->health().text(), u"확인 12:00:00 · 카운터 프린터 용지 부족"_s);
        QVERIFY(!m_cycle->health().wantsAttention());
        QVERIFY(m_cycle->Load_Kavri(false));
        QTest::qWait(100);
        QCOMPARE(codec::fromCp949(printer.received()).count(u"QR: T1"_s), 1);
        QCOMPARE(mainLog().count(u"보드 상태: 카운터 프린터 용지 없음 · 미출력 1건"_s), 1);
    }

    void unpluggedPrinterCatchesUp()
    {
        setUpPrinter(u"전체"_s);
        if (!m_pty)
            return;
        m_pty->unplug();
        QVERIFY(add(u"T1"_s, 20) > 0);
        const qint64 second = add(u"T2"_s, 10);
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(kavriNumT(), QString::number(second));
        const QString down = u"확인 12:00:00 · "_s + kSlotName + u" 프린터 출력 실패 · 미출력 2건"_s;
        QCOMPARE(m_cycle->health().text(), down);
        // Still out at the next poll: nothing lost, nothing doubled.
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(m_cycle->health().text(), down);

        m_pty = std::make_unique<test::PtyPair>();
        QVERIFY2(m_pty->isValid(), qPrintable(m_pty->error()));
        QVERIFY(test::writeBytes(m_env->filePath(u"Deploy.ini"_s),
                                 (u"[Ports]\nCOM3="_s + m_pty->printerPath() + u"\n"_s).toUtf8()));
        QVERIFY(add(u"T3"_s, 5) > 0);
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(printedTables(), (QStringList{u"T1"_s, u"T2"_s, u"T3"_s}));
        QCOMPARE(m_cycle->health().text(), u"확인 12:00:00"_s);
        QVERIFY(!m_cycle->health().faulty());
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(printedTables(), QStringList());
    }

    // The program ended (a kill) while a request's tickets went out, after their number was
    // marked as going out and before it was stored: the next start prints that request again
    // with the reprint mark, the later ones as usual, and a poll after that nothing more.
    void ticketCutOffByAnEndIsMarked()
    {
        setUpPrinter(u"전체"_s);
        if (!m_pty)
            return;
        const qint64 first = add(u"T1"_s, 20);
        const qint64 second = add(u"T2"_s, 10);
        QVERIFY(first > 0 && second > 0);
        QVERIFY(CfgMain.writeValues(kPrinterSection, {{u"KavriNumT"_s, QString::number(first - 1)},
                                                      {u"KavriSendingT"_s, QString::number(first)}}));
        // Looked at while the tickets drain: the number going out is in the file before its bytes.
        QStringList goingOut;
        QTimer look;
        connect(&look, &QTimer::timeout, this,
                [&] { goingOut << CfgMain.readValue(kPrinterSection, u"KavriSendingT"_s); });
        look.start(20);
        QVERIFY(m_cycle->Load_Kavri(false));
        look.stop();
        QCOMPARE(printedTickets(), (QStringList{u"T1 [재출력]"_s, u"T2"_s}));
        QVERIFY2(goingOut.contains(QString::number(second)), qPrintable(goingOut.join(u',')));
        QCOMPARE(kavriNumT(), QString::number(second));
        QVERIFY(mainLog().contains(u"]보내는 중에 프로그램이 끝난 주문서를 [재출력] 표시로 다시 출력: "_s +
                                   QString::number(first) + u"\r\n"_s));
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(printedTickets(), QStringList());
        // A later start with the same file marks nothing.
        RequestCycle restarted(*m_board);
        QVERIFY(add(u"T3"_s, 5) > 0);
        QVERIFY(restarted.Load_Kavri(false));
        QCOMPARE(printedTickets(), QStringList{u"T3"_s});
    }

    // The program ends (a stop signal, 종료) while tickets go out: the ticket under way is
    // finished, the rest wait for the next start (kept tickets stay kept, new requests keep
    // their number unstored), and nothing comes out twice.
    void endWhilePrinting_data()
    {
        QTest::addColumn<bool>("kept");
        QTest::newRow("kept tickets") << true;
        QTest::newRow("new requests") << false;
    }
    void endWhilePrinting()
    {
        QFETCH(bool, kept);
        // 9600 baud: each ticket holds the line for its line time, long enough to end during it.
        setUpPrinter(u"전체"_s, 0);
        if (!m_pty)
            return;
        unprintedTickets().load(m_env->filePath(u"unprinted.json"_s), m_env->clock().now());
        QList<qint64> numbers;
        for (const QString &table : {u"T1"_s, u"T2"_s, u"T3"_s}) {
            if (kept)
                unprintedTickets().add(kSlotName, gPrnInit + u"QR: "_s + table + gPrnNormal + gCrLf + gPrnCut,
                                       m_env->clock().now());
            else
                numbers << add(table, 30 - numbers.size());
        }
        QTimer watch;
        QByteArray arrived;
        onFirstBytes(watch, arrived, [this] { m_cycle->shutDown(); });
        QVERIFY(!m_cycle->Load_Kavri(false));
        const QString first = codec::fromCp949(arrived + printerBytes());
        QCOMPARE(first.count(gPrnInit), 1);
        QVERIFY(first.contains(u"QR: T1"_s));
        QVERIFY(first.endsWith(gPrnCut));
        if (kept) {
            QCOMPARE(unprintedTickets().count(), 2);
            UnprintedTickets reread;
            reread.load(m_env->filePath(u"unprinted.json"_s), m_env->clock().now());
            QCOMPARE(reread.count(), 2);
        } else {
            QCOMPARE(kavriNumT(), QString::number(numbers.first()));
        }
        // The next start prints the rest, once and unmarked.
        m_cycle = std::make_unique<RequestCycle>(*m_board);
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(printedTickets(), (QStringList{u"T2"_s, u"T3"_s}));
        QCOMPARE(unprintedTickets().count(), 0);
    }

    // A printer that stops taking bytes while the program ends holds the end for a few
    // seconds, not for its drain limit: the ticket under way is cut short and kept.
    void endIsBoundedWhenThePrinterStalls()
    {
        setUpPrinter(u"전체"_s, 0); // 9600 baud: a long drain limit
        if (!m_pty)
            return;
        // Far more than the pty holds while the far end does not read.
        for (int i = 0; i < 16; ++i)
            QVERIFY(add(u"T"_s + QString::number(i), 60 - i, QString(4000, u'가')) > 0);
        m_pty->pauseFarEnd();
        // Once a ticket has stalled: no new ticket in the print log for a while.
        QElapsedTimer sinceShutDown;
        QTimer watch;
        int logged = -1;
        QElapsedTimer sinceChange;
        connect(&watch, &QTimer::timeout, this, [&] {
            const int now = printLogTickets();
            if (now != logged) {
                logged = now;
                sinceChange.start();
            } else if (now > 0 && sinceChange.elapsed() > 1500) {
                watch.stop();
                sinceShutDown.start();
                m_cycle->shutDown();
            }
        });
        watch.start(20);
        QVERIFY(!m_cycle->Load_Kavri(false));
        QVERIFY(sinceShutDown.isValid());
        QVERIFY2(sinceShutDown.elapsed() < StopPrintingWhen::GraceMs + 1500,
                 qPrintable(QString::number(sinceShutDown.elapsed())));
        qInfo("the end took %lld ms", sinceShutDown.elapsed());
        QVERIFY(logged < 16);
        QVERIFY(mainLog().contains(u"프로그램을 끝내느라 출력을 멈춤"_s));
        // The ticket cut short is kept; the number stored is its own.
        QCOMPARE(unprintedTickets().count(), 1);
        m_pty->resumeFarEnd();
    }

    // A slot with a name but no usable port: the cycle fills the board and stores the number
    // before any box, and the box comes once per slot and fault until the slot prints again.
    void unusablePortIsToldAfterTheCycle()
    {
        QVERIFY(test::writeBytes(cfgPath(), codec::toCp949(u"[프린터]\r\n이름0="_s + kSlotName +
                                                           u"\r\n포트0=0\r\n선택된테이블=전체\r\n"_s)));
        QVERIFY(Load_프린터설정());
        QVERIFY(Load_선택된테이블설정());
        QVERIFY(add(u"T1"_s, 20) > 0);
        const qint64 second = add(u"T2"_s, 10);
        QVERIFY(m_cycle->Load_Kavri(false));
        // Nothing held the cycle up: board, number and print log are done, the box is still to come.
        QVERIFY(m_env->dialogs().texts().isEmpty());
        QCOMPARE(rowTables(), (QStringList{u"T2"_s, u"T1"_s}));
        QCOMPARE(kavriNumT(), QString::number(second));
        QCOMPARE(printLogTickets(), 2);
        const QString box = kSlotName + u"(COM0) 포트 번호가 잘못되었습니다!"_s;
        QTRY_COMPARE(m_env->dialogs().texts(), QStringList{box});
        QCOMPARE(m_env->dialogs().shown().first().icon, platform::DialogIcon::Error);

        // The same fault again: logged, no second box.
        QVERIFY(add(u"T3"_s, 5) > 0);
        QVERIFY(m_cycle->Load_Kavri(false));
        QTest::qWait(50);
        QCOMPARE(m_env->dialogs().texts(), QStringList{box});
        QCOMPARE(printLogTickets(), 3);
        QCOMPARE(mainLog().count(u"]프린터_출력 ... "_s + box + u"\r\n"_s), 3);

        // The slot prints again, then fails again: told again.
        if (!test::PtyPair::socatAvailable())
            QSKIP("socat is not installed; the rest needs a printer");
        m_pty = std::make_unique<test::PtyPair>();
        QVERIFY2(m_pty->isValid(), qPrintable(m_pty->error()));
        QVERIFY(test::writeBytes(m_env->filePath(u"Deploy.ini"_s),
                                 (u"[Ports]\nCOM3="_s + m_pty->printerPath() + u"\n"_s).toUtf8()));
        gPrinterSettings.포트[0] = 3;
        gPrinterSettings.통신속도[0] = 9600;
        QVERIFY(add(u"T4"_s, 4) > 0);
        QVERIFY(m_cycle->Load_Kavri(false));
        // The tickets the port could not take come out first, oldest first, each once.
        QCOMPARE(printedTables(), (QStringList{u"T1"_s, u"T2"_s, u"T3"_s, u"T4"_s}));
        QCOMPARE(unprintedTickets().count(), 0);
        gPrinterSettings.포트[0] = 0;
        QVERIFY(add(u"T5"_s, 3) > 0);
        QVERIFY(m_cycle->Load_Kavri(false));
        QTRY_COMPARE(m_env->dialogs().texts(), (QStringList{box, box}));
    }

    // However long the answer, its log line stops at 1 MB with the length noted.
    void hugeAnswerIsLoggedCut()
    {
        const QString answer =
            test::answerText({test::rec(u"8"_s, u"M8"_s, regDate(0))}) + QString(1200 * 1024, u' ');
        test::HostileServer server(test::HostileServer::response("HTTP/1.1 200 OK", answer.toUtf8()));
        const QString saved = gBaseURL;
        gBaseURL = server.url(QString());
        const bool loaded = m_cycle->Load_Kavri(false);
        gBaseURL = saved;
        QVERIFY(loaded);
        QCOMPARE(server.requests(), 1);
        const QString log = requestLog();
        QVERIFY(log.contains(u"(응답 "_s + QString::number(answer.size()) + u"자 중 앞 1048576자만 기록)"_s));
        QVERIFY2(log.size() < 1048576 + 10000, qPrintable(QString::number(log.size())));
    }

    void noOverlap_data()
    {
        QTest::addColumn<bool>("firstAsk");
        QTest::addColumn<bool>("secondAsk");
        QTest::addColumn<QString>("alert");
        QTest::newRow("both asks silent") << true << true << u"alert silent"_s;
        QTest::newRow("one ask not silent") << true << false << u"alert"_s;
    }
    // Two asks during a slow answer: the list requests reach the service one
    // after the other, the asks become one cycle that runs after the first,
    // and the board ends with the answer fetched last.
    void noOverlap()
    {
        QFETCH(bool, firstAsk);
        QFETCH(bool, secondAsk);
        QFETCH(QString, alert);
        QVERIFY(add(u"T1"_s, 60) > 0);
        const qint64 t2 = add(u"T2"_s, 30);
        QVERIFY(m_sim->setFault(u"slow"_s, 1, u"both"_s, 1500));
        int receivedDuringSlowAnswer = -1;
        bool askedWhileRunning = false;
        QTimer::singleShot(300, this, [&] {
            receivedDuringSlowAnswer = listRequestsReceived();
            // T2 is confirmed at another counter meanwhile: T1, which is on the
            // board, moves up to the top with the next answer.
            QVERIFY(Check_Kavri(QString::number(t2)));
            askedWhileRunning = m_cycle->isRunning();
            QVERIFY(!m_cycle->Load_Kavri(firstAsk));
            QVERIFY(!m_cycle->Load_Kavri(secondAsk));
        });
        QVERIFY(m_cycle->Load_Kavri(false));
        QVERIFY(askedWhileRunning);
        QCOMPARE(receivedDuringSlowAnswer, 1);
        QCOMPARE(listRequestsReceived(), 2);
        const QStringList oneCycle{u"show"_s, u"hide"_s, u"show"_s, u"hide"_s};
        QCOMPARE(m_events, (oneCycle + QStringList{u"alert"_s} + oneCycle + QStringList{alert}));
        QCOMPARE(rowTables(), QStringList{u"T1"_s});
        QCOMPARE(m_cycle->gQRT_PrevTopRegDate(), regDate(60));
        QVERIFY(!m_cycle->isRunning());
    }

    // The alert lets events run; a confirmation's cycle asked for then runs
    // after the running cycle, never inside it. The request that arrived
    // meanwhile was never on the board: it is heard although the ask was silent.
    void askFromInsideTheAlert()
    {
        QVERIFY(add(u"T1"_s, 60) > 0);
        int askResults = 0;
        m_onAlert = [&](bool) {
            if (askResults++ > 0)
                return;
            QVERIFY(add(u"T2"_s, 0) > 0);
            QVERIFY(!m_cycle->Load_Kavri(true));
            QCOMPARE(listRequestsReceived(), 1);
        };
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(listRequestsReceived(), 2);
        QCOMPARE(alerts(), (QStringList{u"alert"_s, u"alert"_s}));
        QCOMPARE(m_board->banner().table, u"T2"_s);
    }

    // Logout while the answer is awaited: nothing more happens for that cycle,
    // no queued cycle runs, and later asks do nothing.
    void shutDownWhileWaiting()
    {
        setUpPrinter(u"전체"_s);
        QVERIFY(add(u"T1"_s, 0) > 0);
        QVERIFY(m_sim->setFault(u"slow"_s, 1, u"both"_s, 1000));
        QTimer::singleShot(200, this, [&] {
            m_cycle->Load_Kavri(false);
            m_cycle->shutDown();
        });
        QVERIFY(!m_cycle->Load_Kavri(false));
        QCOMPARE(m_events, QStringList{u"show"_s});
        QCOMPARE(rowTables(), QStringList());
        QCOMPARE(printedTables(), QStringList());
        QCOMPARE(kavriNumT(), u"(없음)"_s);
        QVERIFY(!m_cycle->Load_Kavri(false));
        QCOMPARE(listRequestsReceived(), 1);
    }

    // The poll loop wired to the cycle: the first tick fetches the list, the
    // next ticks within the interval do not.
    void pollLoopRunsTheCycle()
    {
        QVERIFY(add(u"T1"_s, 0) > 0);
        PollLoop loop([this] { m_cycle->Load_Kavri(false); }, [this] { return m_cycle->isRunning(); });
        loop.LoopTimer_Timer();
        QCOMPARE(listRequestsReceived(), 1);
        QCOMPARE(rowTables(), QStringList{u"T1"_s});
        m_env->clock().advance(9000);
        loop.LoopTimer_Timer();
        QCOMPARE(listRequestsReceived(), 1);
        m_env->clock().advance(1000);
        loop.LoopTimer_Timer();
        QCOMPARE(listRequestsReceived(), 2);
    }
};

QTEST_MAIN(TstRequestCycle)
#include "tst_requestcycle.moc"
