#include "codec/Cp949.h"
#include "platform/PrinterLine.h"
#include "printing/PrinterCheck.h"
#include "printing/PrinterCommands.h"
#include "printing/PrinterSettingsForm.h"
#include "printing/Ticket.h"
#include "printing/TicketOutput.h"
#include "printing/Unprinted.h"
#include "support/FileBytes.h"
#include "support/NetworkPrinter.h"
#include "support/PrinterSlots.h"
#include "support/PrintingTestEnvironment.h"
#include "support/PtyPair.h"
#include "support/SerialFarEnd.h"

#include <QFile>
#include <QHostAddress>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace kavri;
using test::setSlot;
using test::TestStatus;
using test::writePorts;

Q_DECLARE_METATYPE(kavri::PrinterCondition)
Q_DECLARE_METATYPE(kavri::platform::DeviceKind)
Q_DECLARE_METATYPE(kavri::test::TestStatus)

namespace {

const QString kSlot = u"주방"_s;

QByteArray golden()
{
    return test::readBytes(QStringLiteral(KAVRI_SOURCE_DIR) + u"/tests/printing/data/ticket_a3.bin"_s);
}

void workedExample()
{
    Kavri_출력({}, u"A3"_s, u"물 주세요"_s, u"2024-05-01 12:30:00"_s, u"카드"_s);
}

/// A FIFO standing in for a USB printer-class device, and the printer reading it.
class FifoPrinter
{
public:
    explicit FifoPrinter(const QString &path, bool withReader = true) : m_path(path)
    {
        m_made = ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
        if (m_made && withReader)
            m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    ~FifoPrinter()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isValid() const { return m_made; }
    QString path() const { return m_path; }
    /// The printer is pulled out: nobody reads any more.
    void unplug()
    {
        ::close(m_fd);
        m_fd = -1;
    }
    QByteArray readAll()
    {
        QByteArray out;
        char buffer[4096];
        ssize_t n = 0;
        while (m_fd >= 0 && (n = ::read(m_fd, buffer, sizeof buffer)) > 0)
            out.append(buffer, n);
        return out;
    }

private:
    QString m_path;
    bool m_made = false;
    int m_fd = -1;
};

/// A port on loopback that never completes a connection: its one-place accept
/// queue is already full, so further connection requests go unanswered.
class SilentPort
{
public:
    SilentPort()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr *>(&address), size) != 0 ||
            ::listen(m_listener, 0) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &size) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        m_valid = ::connect(m_filler, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }
    ~SilentPort()
    {
        ::close(m_filler);
        ::close(m_listener);
    }
    bool isValid() const { return m_valid; }
    QString portLine() const { return u"tcp://127.0.0.1:"_s + QString::number(m_port); }

private:
    int m_listener = -1;
    int m_filler = -1;
    quint16 m_port = 0;
    bool m_valid = false;
};

} // namespace

class TstPrinterKinds : public QObject
{
    Q_OBJECT
    std::optional<test::PrintingTestEnvironment> m_env;

    QString mainLog() const { return codec::fromCp949(test::readBytes(m_env->filePath(u"260501.log"_s))); }

    /// One kept-ticket round as a poll makes it: faults told after it.
    void deferred(const std::function<void()> &work)
    {
        {
            const PrintFaultsDeferred defer;
            work();
        }
        showPrintFaultsSoon();
        QTest::qWait(20);
    }

private slots:
    void init() { m_env.emplace(QDateTime(QDate(2026, 5, 1), QTime(10, 0))); }
    void cleanup() { m_env.reset(); }

    // One output path: the bytes of a ticket are the same whatever the port leads to.
    void sameBytesOnEveryKind_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("serial line") << u"serial"_s;
        QTest::newRow("USB printer-class device (a FIFO)") << u"usb"_s;
        QTest::newRow("network printer") << u"network"_s;
    }
    void sameBytesOnEveryKind()
    {
        QFETCH(QString, kind);
        std::unique_ptr<test::PtyPair> pty;
        std::unique_ptr<FifoPrinter> fifo;
        test::NetworkPrinter network;
        QString line = network.portLine();
        if (kind == u"serial"_s) {
            if (!test::PtyPair::socatAvailable())
                QSKIP("socat is not installed");
            pty = std::make_unique<test::PtyPair>();
            QVERIFY2(pty->isValid(), qPrintable(pty->error()));
            line = pty->printerPath();
        } else if (kind == u"usb"_s) {
            fifo = std::make_unique<FifoPrinter>(m_env->filePath(u"lp0"_s));
            QVERIFY(fifo->isValid());
            line = fifo->path();
        }
        writePorts(m_env->app(), {{4, line}});
        setSlot(0, kSlot, 4, 19200);
        workedExample();
        const QByteArray expected = golden();
        QByteArray arrived;
        if (pty)
            arrived = pty->read(expected.size());
        else if (fifo)
            arrived = fifo->readAll();
        else if (network.waitForBytes(expected.size()))
            arrived = network.received();
        QCOMPARE(test::hex(arrived), test::hex(expected));
        QVERIFY(m_env->dialogs().texts().isEmpty());
        QCOMPARE(unprintedTickets().count(), 0);
        QCOMPARE(lastTicketDelivered(kSlot), std::optional<bool>(true));
    }

    // A network printer that is not there, does not answer or drops the connection: the
    // ticket is kept, the fault told once, and the ticket printed once when it is back.
    void networkFaultKeepsTheTicket_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("refused") << u"refused"_s << u"에 연결할 수 없습니다: 연결을 거부했습니다"_s;
        QTest::newRow("no answer to connect")
            << u"silent"_s << u"에 연결할 수 없습니다: 응답이 없습니다 (3초)"_s;
        QTest::newRow("dropped mid-ticket") << u"dropped"_s << u"주문서를 보내다 끊겼습니다!"_s;
    }
    void networkFaultKeepsTheTicket()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        test::NetworkPrinter printer;
        SilentPort silent;
        QString line = printer.portLine();
        if (fault == u"refused"_s) {
            printer.setRefusing(true);
        } else if (fault == u"silent"_s) {
            QVERIFY(silent.isValid());
            line = silent.portLine();
        } else {
            printer.dropAfter(20);
        }
        writePorts(m_env->app(), {{4, line}});
        setSlot(0, kSlot, 4);
        // More than the printer's window: the cut comes while bytes are still on their way.
        const QString ticket = gPrnInit + QString(5000, u'가') + gPrnCut;
        deferred([&ticket] {
            프린터_출력(kSlot, ticket);
            프린터_출력(kSlot, ticket);
        });
        QCOMPARE(unprintedTickets().count(), 2);
        QCOMPARE(m_env->dialogs().texts().size(), 1);
        QVERIFY2(m_env->dialogs().texts().first().startsWith(kSlot + u"(COM4) "_s) &&
                     m_env->dialogs().texts().first().contains(message),
                 qPrintable(m_env->dialogs().texts().first()));

        // Back: each kept ticket goes out once, after the ending of the one cut short.
        writePorts(m_env->app(), {{4, printer.portLine()}});
        printer.setRefusing(false);
        printer.dropAfter(-1);
        const QByteArray before = printer.received();
        QCOMPARE(before.size(), fault == u"dropped"_s ? 40 : 0); // 20 bytes of each before the cut
        QCOMPARE(retryUnprintedTickets(), 2);
        QCOMPARE(unprintedTickets().count(), 0);
        const QByteArray bytes = codec::toCp949(ticket);
        const QByteArray expected = (fault == u"dropped"_s ? cutShortEnding() : QByteArray()) + bytes + bytes;
        QVERIFY(printer.waitForBytes(before.size() + expected.size()));
        QCOMPARE(test::hex(printer.received().mid(before.size())), test::hex(expected));
        QCOMPARE(retryUnprintedTickets(), 0);
        QTest::qWait(50);
        QCOMPARE(printer.received().size(), before.size() + expected.size());
    }

    void networkPrinterThatStopsReadingIsAFault()
    {
        test::NetworkPrinter printer;
        printer.setReading(false);
        writePorts(m_env->app(), {{4, printer.portLine()}});
        setSlot(0, kSlot, 4);
        QString text;
        for (int i = 0; i < 400000; ++i)
            text += QChar(0xAC00 + i % 2000);
        QVERIFY(!프린터_출력(kSlot, text));
        QCOMPARE(m_env->dialogs().texts(),
                 QStringList{kSlot + u"(COM4) 프린터가 받지 않아 주문서를 출력하지 못했습니다!"_s});
        QCOMPARE(lastTicketDelivered(kSlot), std::optional<bool>(false));
    }

    // A printer that says it cannot print gets no ticket; the ticket waits, is not a
    // failure, and goes out once when the printer is ready.
    void printerStatusHoldsTheTicket_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<TestStatus>("status");
        QTest::addColumn<PrinterCondition>("condition");
        for (const bool serial : {false, true}) {
            const char *kind = serial ? "serial" : "network";
            QTest::addRow("%s, paper end", kind)
                << serial << TestStatus::PaperEnd << PrinterCondition::PaperEnd;
            QTest::addRow("%s, cover open", kind)
                << serial << TestStatus::CoverOpen << PrinterCondition::CoverOpen;
            QTest::addRow("%s, offline", kind) << serial << TestStatus::Offline << PrinterCondition::Offline;
        }
    }
    void printerStatusHoldsTheTicket()
    {
        QFETCH(bool, serial);
        QFETCH(TestStatus, status);
        QFETCH(PrinterCondition, condition);
        test::NetworkPrinter network;
        std::unique_ptr<test::PtyPair> pty;
        std::unique_ptr<test::SerialFarEnd> farEnd;
        QString line = network.portLine();
        if (serial) {
            if (!test::PtyPair::socatAvailable())
                QSKIP("socat is not installed");
            pty = std::make_unique<test::PtyPair>();
            QVERIFY2(pty->isValid(), qPrintable(pty->error()));
            farEnd = std::make_unique<test::SerialFarEnd>(pty->readerPath());
            QVERIFY(farEnd->isValid());
            line = pty->printerPath();
        }
        const auto setStatus = [&](TestStatus s) { serial ? farEnd->setStatus(s) : network.setStatus(s); };
        const auto received = [&] { return serial ? farEnd->received() : network.received(); };
        writePorts(m_env->app(), {{4, line}});
        setSlot(0, kSlot, 4, 115200);
        setStatus(status);

        QVERIFY(!lookAtPrinters());
        QCOMPARE(printerCondition(kSlot), std::optional(condition));
        deferred([] { workedExample(); });
        QTest::qWait(100);
        QCOMPARE(received(), QByteArray());
        QCOMPARE(unprintedTickets().count(), 1);
        QVERIFY(m_env->dialogs().texts().isEmpty());
        QCOMPARE(lastTicketDelivered(kSlot), std::nullopt);
        QCOMPARE(mainLog().count(kSlot + u" 프린터 상태: "_s + conditionText(condition)), 1);

        // Still out of paper at the next poll: still kept, nothing sent, nothing logged again.
        QVERIFY(!lookAtPrinters());
        QCOMPARE(retryUnprintedTickets(), 0);
        QCOMPARE(received(), QByteArray());
        QCOMPARE(mainLog().count(kSlot + u" 프린터 상태: "_s), 1);

        setStatus(TestStatus::Ready);
        QVERIFY(lookAtPrinters());
        QCOMPARE(printerCondition(kSlot), std::optional(PrinterCondition::Ready));
        QCOMPARE(retryUnprintedTickets(), 1);
        const QByteArray expected = golden();
        QVERIFY(serial ? farEnd->waitForBytes(expected.size()) : network.waitForBytes(expected.size()));
        QCOMPARE(test::hex(received()), test::hex(expected));
        QCOMPARE(retryUnprintedTickets(), 0);
        QCOMPARE(mainLog().count(kSlot + u" 프린터 상태: 용지 정상"_s), 1);
    }

    void paperNearEndStillPrints()
    {
        test::NetworkPrinter printer;
        printer.setStatus(TestStatus::PaperNearEnd);
        writePorts(m_env->app(), {{4, printer.portLine()}});
        setSlot(0, kSlot, 4);
        QVERIFY(!lookAtPrinters());
        workedExample();
        QVERIFY(printer.waitForBytes(golden().size()));
        QCOMPARE(test::hex(printer.received()), test::hex(golden()));
        QCOMPARE(printerCondition(kSlot), std::optional(PrinterCondition::PaperNearEnd));
        QCOMPARE(unprintedTickets().count(), 0);
    }

    // A printer that does not answer is asked once a poll, never before a ticket, so it costs
    // the tickets no wait; its tickets go out as they always did.
    void silentPrinterIsNotAskedBeforeTickets()
    {
        test::NetworkPrinter printer;
        printer.setStatus(TestStatus::Silent);
        writePorts(m_env->app(), {{4, printer.portLine()}});
        setSlot(0, kSlot, 4);
        QVERIFY(!lookAtPrinters());
        QCOMPARE(printer.statusRequests(), 1);
        QCOMPARE(printerCondition(kSlot), std::optional(PrinterCondition::Unknown));
        workedExample();
        workedExample();
        QVERIFY(printer.waitForBytes(2 * golden().size()));
        QCOMPARE(printer.statusRequests(), 1);
        QCOMPARE(unprintedTickets().count(), 0);
    }

    void checkPrinterSaysWhatItFound_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<TestStatus>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("network, ready") << u"network"_s << TestStatus::Ready << u"연결됨 · 용지 정상"_s;
        QTest::newRow("network, paper end")
            << u"network"_s << TestStatus::PaperEnd << u"연결됨 · 용지 없음"_s;
        QTest::newRow("network, near end")
            << u"network"_s << TestStatus::PaperNearEnd << u"연결됨 · 용지 부족"_s;
        QTest::newRow("network, cover open")
            << u"network"_s << TestStatus::CoverOpen << u"연결됨 · 덮개 열림"_s;
        QTest::newRow("network, silent")
            << u"network"_s << TestStatus::Silent << u"연결됨 · 상태 응답 없음"_s;
        QTest::newRow("network, refused")
            << u"refused"_s << TestStatus::Ready << u"연결 실패: 연결을 거부했습니다"_s;
        QTest::newRow("serial, answering") << u"serial"_s << TestStatus::Offline << u"연결됨 · 오프라인"_s;
        QTest::newRow("serial, silent")
            << u"silentserial"_s << TestStatus::Ready << u"연결됨 · 상태 응답 없음"_s;
        QTest::newRow("USB device") << u"usb"_s << TestStatus::Ready << u"연결됨 · 상태를 알리지 않는 장치"_s;
        QTest::newRow("USB device, nobody reading")
            << u"usbnoreader"_s << TestStatus::Ready << u"연결 실패: 장치가 준비되지 않았습니다."_s;
        QTest::newRow("missing device") << u"missing"_s << TestStatus::Ready << u"연결 실패: "_s;
        QTest::newRow("refused line") << u"badline"_s << TestStatus::Ready
                                      << u"연결 실패: 장치는 /dev/… 경로나 tcp://주소[:포트]로 적어 주세요"_s;
    }
    void checkPrinterSaysWhatItFound()
    {
        QFETCH(QString, kind);
        QFETCH(TestStatus, status);
        QFETCH(QString, text);
        test::NetworkPrinter network;
        network.setStatus(status);
        std::unique_ptr<test::PtyPair> pty;
        std::unique_ptr<test::SerialFarEnd> farEnd;
        std::unique_ptr<FifoPrinter> fifo;
        QString line = network.portLine();
        if (kind == u"refused"_s) {
            network.setRefusing(true);
        } else if (kind.contains(u"serial"_s)) {
            if (!test::PtyPair::socatAvailable())
                QSKIP("socat is not installed");
            pty = std::make_unique<test::PtyPair>();
            QVERIFY2(pty->isValid(), qPrintable(pty->error()));
            if (kind == u"serial"_s) {
                farEnd = std::make_unique<test::SerialFarEnd>(pty->readerPath());
                farEnd->setStatus(status);
            }
            line = pty->printerPath();
        } else if (kind.startsWith(u"usb"_s)) {
            fifo = std::make_unique<FifoPrinter>(m_env->filePath(u"lp0"_s), kind == u"usb"_s);
            line = fifo->path();
        } else if (kind == u"missing"_s) {
            line = m_env->filePath(u"nothing"_s);
        } else if (kind == u"badline"_s) {
            line = u"lp0"_s;
        }
        const PrinterCheck check = checkPrinter(portTarget(line), 9600, 2000);
        QVERIFY2(check.text.startsWith(text), qPrintable(check.text));
        QCOMPARE(check.connected, text.startsWith(u"연결됨"_s));
        // Nothing is printed by a check.
        QCOMPARE(network.received(), QByteArray());
        if (farEnd)
            QCOMPARE(farEnd->received(), QByteArray());
        if (fifo)
            QCOMPARE(fifo->readAll(), QByteArray());
    }

    // Serial or not is read from the kernel's tables, never by opening the device.
    void deviceKinds_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<platform::DeviceKind>("kind");
        QTest::newRow("pseudo terminal") << u"pty"_s << platform::DeviceKind::Serial;
        QTest::newRow("serial line") << u"/dev/ttyS0"_s << platform::DeviceKind::Serial;
        QTest::newRow("character device") << u"/dev/null"_s << platform::DeviceKind::Plain;
        QTest::newRow("FIFO") << u"fifo"_s << platform::DeviceKind::Plain;
        QTest::newRow("regular file") << u"file"_s << platform::DeviceKind::NotDevice;
        QTest::newRow("folder") << u"folder"_s << platform::DeviceKind::NotDevice;
        QTest::newRow("missing") << u"missing"_s << platform::DeviceKind::Missing;
    }
    void deviceKinds()
    {
        QFETCH(QString, what);
        QFETCH(platform::DeviceKind, kind);
        std::unique_ptr<test::PtyPair> pty;
        std::unique_ptr<FifoPrinter> fifo;
        QString path = what;
        if (what == u"pty"_s) {
            if (!test::PtyPair::socatAvailable())
                QSKIP("socat is not installed");
            pty = std::make_unique<test::PtyPair>();
            QVERIFY2(pty->isValid(), qPrintable(pty->error()));
            path = pty->printerPath();
        } else if (what == u"/dev/ttyS0"_s && !QFile::exists(what)) {
            QSKIP("no /dev/ttyS0 here");
        } else if (what == u"fifo"_s) {
            fifo = std::make_unique<FifoPrinter>(m_env->filePath(u"lp0"_s), false);
            path = fifo->path();
        } else if (what == u"file"_s) {
            path = m_env->filePath(u"file"_s);
            QVERIFY(test::writeBytes(path, "x"));
        } else if (what == u"folder"_s) {
            path = m_env->app().path();
        } else if (what == u"missing"_s) {
            path = m_env->filePath(u"nothing"_s);
        }
        QCOMPARE(platform::deviceState(path).kind, kind);
    }

    // A cycle's tickets to one serial printer go through one opening of the line, which is
    // closed when the cycle is done: then anyone may open it again.
    void serialLineKeptOpenForACycle()
    {
        if (!test::PtyPair::socatAvailable())
            QSKIP("socat is not installed");
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        writePorts(m_env->app(), {{3, pty.printerPath()}});
        setSlot(0, kSlot, 3, 115200);
        {
            const PrinterLinesKept kept;
            QVERIFY(프린터_출력(kSlot, u"one"_s));
            QVERIFY(!checkPrinter(portTarget(pty.printerPath()), 115200, 500).connected);
            QVERIFY(프린터_출력(kSlot, u"two"_s));
        }
        QVERIFY(checkPrinter(portTarget(pty.printerPath()), 115200, 500).connected);
        // Outside a cycle every ticket opens and closes its line.
        QVERIFY(프린터_출력(kSlot, u"three"_s));
        QVERIFY(checkPrinter(portTarget(pty.printerPath()), 115200, 500).connected);
        // The checks asked for status between the tickets.
        QCOMPARE(test::withoutStatusRequests(pty.readUntilQuiet(300)), QByteArray("onetwothree"));
    }

    // A USB printer pulled out mid-ticket is a fault like a serial line breaking, told and
    // logged; the program goes on (writing to a device nobody reads must not end it).
    void usbDevicePulledOutMidTicket()
    {
        FifoPrinter fifo(m_env->filePath(u"lp0"_s));
        QVERIFY(fifo.isValid());
        writePorts(m_env->app(), {{5, fifo.path()}});
        setSlot(0, u"P"_s, 5);
        QTimer::singleShot(300, [&fifo] { fifo.unplug(); });
        // Far more than the pipe holds.
        QVERIFY(!프린터_출력(u"P"_s, QString(200000, u'가')));
        QCOMPARE(m_env->dialogs().texts().size(), 1);
        QVERIFY2(m_env->dialogs().texts().first().startsWith(u"P(COM5) 주문서를 보내다 끊겼습니다! [32]"_s),
                 qPrintable(m_env->dialogs().texts().first()));
        QVERIFY(mainLog().contains(u"]e)frmAlarm->프린터_출력[Erl:=5, Eno:=32]"_s));
        QCOMPARE(lastTicketDelivered(u"P"_s), std::optional<bool>(false));
    }

    void usbDeviceNobodyReadsKeepsTheTicket()
    {
        FifoPrinter fifo(m_env->filePath(u"lp0"_s), false);
        QVERIFY(fifo.isValid());
        writePorts(m_env->app(), {{5, fifo.path()}});
        setSlot(0, u"P"_s, 5);
        workedExample();
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"P(COM5)을(를) 열 수 없습니다!"_s});
        QCOMPARE(unprintedTickets().count(), 1);
    }

    // A [Ports] line that is neither a device path nor a network printer is refused, with
    // its reason in the box, the main log and the settings window's device line.
    void refusedPortLine()
    {
        writePorts(m_env->app(), {{5, u"ftp://printer"_s}});
        setSlot(0, u"P"_s, 5);
        workedExample();
        const QString message =
            u"P(COM5) 포트 번호가 잘못되었습니다! (장치는 /dev/… 경로나 tcp://주소[:포트]로 적어 주세요)"_s;
        QCOMPARE(m_env->dialogs().texts(), QStringList{message});
        QVERIFY(mainLog().contains(message));
        QCOMPARE(unprintedTickets().count(), 1);
    }
};

QTEST_GUILESS_MAIN(TstPrinterKinds)
#include "tst_printerkinds.moc"
