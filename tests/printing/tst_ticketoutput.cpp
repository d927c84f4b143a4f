#include "codec/Cp949.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "printing/PrinterCommands.h"
#include "printing/PrinterSettings.h"
#include "printing/Ticket.h"
#include "printing/TicketOutput.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "support/FileBytes.h"
#include "support/PrinterSlots.h"
#include "support/PrintingTestEnvironment.h"
#include "support/PtyPair.h"
#include "support/TempAppFolder.h"

#include <QFile>
#include <QSerialPort>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace kavri;
using test::setSlot;
using test::writePorts;

namespace {

const QString kSlotLine = u" "_s + QString(40, u'=') + u"\r\n"_s;

QByteArray golden()
{
    return test::readBytes(QStringLiteral(KAVRI_SOURCE_DIR) + u"/tests/printing/data/ticket_a3.bin"_s);
}

void workedExample()
{
    Kavri_출력({}, u"A3"_s, u"물 주세요"_s, u"2024-05-01 12:30:00"_s, u"카드"_s);
}

qint32 baudOf(speed_t s)
{
    switch (s) {
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return -1;
    }
}

} // namespace

class TstTicketOutput : public QObject
{
    Q_OBJECT
    std::optional<test::PrintingTestEnvironment> m_env;

    QByteArray printLog() const { return test::readBytes(m_env->filePath(u"260501_PRN.log"_s)); }
    QString mainLog() const { return codec::fromCp949(test::readBytes(m_env->filePath(u"260501.log"_s))); }

    /// The print log entry of one ticket for one slot, as written at the test's fixed time.
    static QByteArray logEntry(const QString &slot, const QByteArray &ticket)
    {
        return "[260501-100000.000]" + codec::toCp949(slot + kSlotLine) + ticket + "\r\n";
    }

private slots:
    void init()
    {
        if (!test::PtyPair::socatAvailable())
            QSKIP("socat is not installed; the serial printer tests need it");
        m_env.emplace(QDateTime(QDate(2026, 5, 1), QTime(10, 0)));
    }
    void cleanup() { m_env.reset(); }

    void workedExampleReachesThePrinterAndTheLog()
    {
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        writePorts(m_env->app(), {{3, pty.printerPath()}});
        setSlot(0, u"카운터"_s, 3, 19200);
        workedExample();
        const QByteArray expected = golden();
        QCOMPARE(test::hex(pty.read(expected.size())), test::hex(expected));
        QCOMPARE(pty.readUntilQuiet(200), QByteArray());
        QCOMPARE(printLog(), logEntry(u"카운터"_s, expected));
        QVERIFY(m_env->dialogs().texts().isEmpty());
    }

    void lineSettings_data()
    {
        QTest::addColumn<qint32>("speed");
        for (qint32 s : kLineSpeeds)
            QTest::newRow(qPrintable(QString::number(s))) << s;
    }
    void lineSettings()
    {
        QFETCH(qint32, speed);
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        writePorts(m_env->app(), {{2, pty.printerPath()}});
        setSlot(0, u"P"_s, 2, speed);
        // Looked at while the ticket drains, that is while the program holds the port open:
        // a ticket of 50 ms on the line.
        std::optional<termios> seen;
        QTimer::singleShot(10, [&] { seen = pty.printerSettings(); });
        const QString ticket(speed / 200, u'x');
        QVERIFY(프린터_출력(u"P"_s, ticket));
        QVERIFY(seen.has_value());
        QCOMPARE(baudOf(cfgetospeed(&*seen)), speed);
        QCOMPARE(seen->c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(seen->c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
        QCOMPARE(seen->c_iflag & (IXON | IXOFF), tcflag_t(0));
        QCOMPARE(seen->c_oflag & OPOST, tcflag_t(0)); // bytes go out untouched
        QCOMPARE(pty.read(ticket.size()), ticket.toLatin1());
    }

    void longTextGoesOutWhole_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("7001 ascii") << QString(7001, u'a');
        QString mixed;
        for (int i = 0; i < 7001; ++i)
            mixed += i % 3 == 0 ? QChar(u'a' + i % 26) : QChar(0xAC00 + i % 11172);
        QTest::newRow("7001 mixed hangul") << mixed;
    }
    void longTextGoesOutWhole()
    {
        QFETCH(QString, text);
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        writePorts(m_env->app(), {{1, pty.printerPath()}});
        setSlot(0, u"P"_s, 1, 115200);
        QVERIFY(프린터_출력(u"P"_s, text));
        const QByteArray expected = codec::toCp949(text);
        QCOMPARE(test::hex(pty.read(expected.size())), test::hex(expected));
        QCOMPARE(pty.readUntilQuiet(200), QByteArray());
    }

    void sameNameTwicePrintsTwiceOnTheFirstSlot()
    {
        test::PtyPair first;
        test::PtyPair second;
        QVERIFY2(first.isValid() && second.isValid(), qPrintable(first.error() + second.error()));
        writePorts(m_env->app(), {{3, first.printerPath()}, {4, second.printerPath()}});
        setSlot(0, u"주방"_s, 3);
        setSlot(1, u"주방"_s, 4);
        workedExample();
        const QByteArray ticket = golden();
        QCOMPARE(test::hex(first.read(2 * ticket.size())), test::hex(ticket + ticket));
        QCOMPARE(second.readUntilQuiet(200), QByteArray());
        QCOMPARE(printLog(), logEntry(u"주방"_s, ticket) + logEntry(u"주방"_s, ticket));
    }

    void portNoneShowsCom0AndSendsNothing()
    {
        setSlot(0, u"카운터"_s, 0);
        workedExample();
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"카운터(COM0) 포트 번호가 잘못되었습니다!"_s});
        QCOMPARE(m_env->dialogs().shown().first().icon, platform::DialogIcon::Error);
        QCOMPARE(printLog(), logEntry(u"카운터"_s, golden()));
    }

    void openingErrors_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing device") << u"missing"_s << u"P(COM5) 포트 번호가 잘못되었습니다!"_s;
        QTest::newRow("plain file") << u"file"_s << u"P(COM5) 포트 번호가 잘못되었습니다!"_s;
        // A character device that is not a terminal is a USB printer: see tst_printerkinds.
        QTest::newRow("folder") << u"folder"_s << u"P(COM5) 포트 번호가 잘못되었습니다!"_s;
        QTest::newRow("busy") << u"busy"_s << u"P(COM5)을(를) 열 수 없습니다!"_s;
        QTest::newRow("no permission") << u"unreadable"_s << u"P(COM5)을(를) 열 수 없습니다!"_s;
    }
    void openingErrors()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        QString device = pty.printerPath();
        QSerialPort holder;
        bool dropRights = false;
        if (fault == u"missing"_s) {
            device = pty.folder() + u"/nothing"_s;
        } else if (fault == u"file"_s) {
            device = pty.folder() + u"/plain"_s;
            QVERIFY(test::writeBytes(device, "x"));
        } else if (fault == u"folder"_s) {
            device = pty.folder();
        } else if (fault == u"busy"_s) {
            holder.setPortName(device);
            QVERIFY2(holder.open(QIODevice::WriteOnly), qPrintable(holder.errorString()));
        } else if (fault == u"unreadable"_s) {
            // Root opens anything; take a plain user's rights for the call.
            if (::geteuid() == 0) {
                QVERIFY(::chmod(QFile::encodeName(pty.folder()).constData(), 0755) == 0);
                QVERIFY(::chmod(QFile::encodeName(m_env->app().path() + u"/.."_s).constData(), 0755) == 0);
                dropRights = true;
            }
            QVERIFY(::chmod(QFile::encodeName(device).constData(), 0) == 0);
        }
        writePorts(m_env->app(), {{5, device}});
        setSlot(0, u"P"_s, 5);
        if (dropRights)
            QVERIFY(::seteuid(65534) == 0);
        const bool result = 프린터_출력(u"P"_s, u"ticket"_s);
        if (dropRights)
            QVERIFY(::seteuid(0) == 0);
        QVERIFY(result);
        QCOMPARE(m_env->dialogs().texts(), QStringList{message});
        QCOMPARE(pty.readUntilQuiet(200), QByteArray());
    }

    void filePrintKeepsTicketsOffThePorts()
    {
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        writePorts(m_env->app(), {{3, pty.printerPath()}});
        setSlot(0, u"카운터"_s, 3);
        setSlot(2, u"주방"_s, 0); // would show a message if a port were tried
        gFilePrint = true;
        workedExample();
        QCOMPARE(pty.readUntilQuiet(300), QByteArray());
        QVERIFY(m_env->dialogs().texts().isEmpty());
        QCOMPARE(printLog(), logEntry(u"카운터"_s, golden()) + logEntry(u"주방"_s, golden()));
    }

    void noSlotNamedSendsNothing()
    {
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        writePorts(m_env->app(), {{3, pty.printerPath()}});
        gPrinterSettings.포트 = {3, 3, 3};
        workedExample();
        QCOMPARE(pty.readUntilQuiet(300), QByteArray());
        QVERIFY(!QFile::exists(m_env->filePath(u"260501_PRN.log"_s)));
        QVERIFY(m_env->dialogs().texts().isEmpty());
    }

    void printLogRefusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line");
        QTest::newRow("no name") << QString() << u"t"_s << u"프린터이름이 없어 출력 안함."_s;
        QTest::newRow("no text") << u"카운터"_s << QString() << u"출력할 내용이 없어 출력 안함."_s;
        QTest::newRow("unknown slot")
            << u"없는이름"_s << u"t"_s << u"없는이름: 포트가 지정되지 않아 출력 안함."_s;
    }
    void printLogRefusals()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, line);
        setSlot(0, u"카운터"_s, 0);
        QVERIFY(파일_출력(name, text));
        QCOMPARE(printLog(), "[260501-100000.000]" + codec::toCp949(line) + "\r\n");
        // The serial side refuses the same calls without a word.
        QVERIFY(프린터_출력(name, text));
        QVERIFY(m_env->dialogs().texts().isEmpty());
    }

    void lastSlotOfANameGivesThePrintLogPort()
    {
        // The print log looks the port up by the last slot of the name: port 0 there still counts as found.
        setSlot(0, u"A"_s, 0);
        setSlot(1, u"B"_s, 2);
        QVERIFY(파일_출력(u"A"_s, u"t"_s));
        QCOMPARE(printLog(), logEntry(u"A"_s, "t"));
    }

    void farEndStopsReading()
    {
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        writePorts(m_env->app(), {{3, pty.printerPath()}});
        setSlot(0, u"카운터"_s, 3, 115200);
        pty.pauseFarEnd();
        // Far more than the pty and socat can hold between them.
        QString text;
        for (int i = 0; i < 120000; ++i)
            text += QChar(0xAC00 + i % 2000);
        QVERIFY(!프린터_출력(u"카운터"_s, text));
        QCOMPARE(m_env->dialogs().texts(),
                 QStringList{u"카운터(COM3) 프린터가 받지 않아 주문서를 출력하지 못했습니다!"_s});
        const QString log = mainLog();
        QVERIFY2(log.contains(u"]e)frmAlarm->프린터_출력[Erl:=5, Eno:=110]\r\n   "_s), qPrintable(log));

        // The line is free again: the next ticket goes out whole once the printer reads, after
        // the ending of the one cut short.
        pty.resumeFarEnd();
        pty.readUntilQuiet(500, 20000);
        QVERIFY(프린터_출력(u"카운터"_s, u"다음"_s));
        const QByteArray expected = cutShortEnding() + codec::toCp949(u"다음"_s);
        QCOMPARE(test::hex(pty.read(expected.size())), test::hex(expected));
        // Owed once: the ticket after that is plain.
        QVERIFY(프린터_출력(u"카운터"_s, u"또"_s));
        QCOMPARE(pty.read(2), codec::toCp949(u"또"_s));
    }

    // A ticket the printer stopped taking in the middle ends with its cut when the printer takes
    // bytes again: every initialisation that arrived has its cut.
    void ticketCutShortGetsItsCut()
    {
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        writePorts(m_env->app(), {{3, pty.printerPath()}});
        setSlot(0, u"카운터"_s, 3, 115200);
        pty.pauseFarEnd();
        QString body;
        for (int i = 0; i < 60000; ++i)
            body += QChar(u'a' + i % 26);
        QVERIFY(!프린터_출력(u"카운터"_s, gPrnInit + body + gPrnCut));
        pty.resumeFarEnd();
        QByteArray arrived = pty.readUntilQuiet(500, 20000);
        QVERIFY(arrived.startsWith("\x1b@"));
        QVERIFY(!arrived.contains("\x1bi"));
        QVERIFY(프린터_출력(u"카운터"_s, gPrnInit + u"다음"_s + gPrnCut));
        arrived += pty.readUntilQuiet(300, 5000);
        QCOMPARE(arrived.count("\x1b@"), 2);
        QCOMPARE(arrived.count("\x1bi"), 2);
        QVERIFY(arrived.endsWith(cutShortEnding() + codec::toCp949(gPrnInit + u"다음"_s + gPrnCut)));
    }

    // Inside a cycle printer faults wait for showPrintFaultsSoon(), and each slot's fault is
    // shown once until that slot prints a ticket whole again; a new fault is shown at once.
    void deferredFaultsOncePerSlotAndFault()
    {
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        writePorts(m_env->app(), {{3, pty.printerPath()}, {5, pty.folder() + u"/nothing"_s}});
        setSlot(0, u"카운터"_s, 0);
        setSlot(1, u"주방"_s, 0);
        const QString counterNone = u"카운터(COM0) 포트 번호가 잘못되었습니다!"_s;
        const QString kitchenNone = u"주방(COM0) 포트 번호가 잘못되었습니다!"_s;
        const auto cycle = [](const QStringList &names) {
            {
                const PrintFaultsDeferred deferred;
                for (const QString &name : names) {
                    프린터_출력(name, u"t1"_s);
                    프린터_출력(name, u"t2"_s);
                }
            }
            showPrintFaultsSoon();
        };
        cycle({u"카운터"_s, u"주방"_s});
        QVERIFY(m_env->dialogs().texts().isEmpty());
        QTRY_COMPARE(m_env->dialogs().texts(), (QStringList{counterNone, kitchenNone}));
        cycle({u"카운터"_s, u"주방"_s});
        QTest::qWait(50);
        QCOMPARE(m_env->dialogs().texts().size(), 2);

        // Another fault of the same slot is told; the slot printing clears what was told.
        setSlot(0, u"카운터"_s, 5);
        cycle({u"카운터"_s});
        QTRY_COMPARE(m_env->dialogs().texts().size(), 3);
        QCOMPARE(m_env->dialogs().texts().last(), u"카운터(COM5) 포트 번호가 잘못되었습니다!"_s);
        setSlot(0, u"카운터"_s, 3);
        cycle({u"카운터"_s});
        QCOMPARE(pty.read(4), QByteArray("t1t2"));
        setSlot(0, u"카운터"_s, 5);
        cycle({u"카운터"_s, u"주방"_s});
        QTRY_COMPARE(m_env->dialogs().texts().size(), 4);
        QCOMPARE(m_env->dialogs().texts().last(), u"카운터(COM5) 포트 번호가 잘못되었습니다!"_s);
        QTest::qWait(50);
        QCOMPARE(m_env->dialogs().texts().size(), 4);

        // Outside a cycle (the settings window's test print) every fault is shown at once.
        프린터_출력(u"주방"_s, u"t"_s);
        프린터_출력(u"주방"_s, u"t"_s);
        QCOMPARE(m_env->dialogs().texts().mid(4), (QStringList{kitchenNone, kitchenNone}));
    }

    void printerUnpluggedWhileSending()
    {
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        writePorts(m_env->app(), {{3, pty.printerPath()}});
        setSlot(0, u"카운터"_s, 3, 9600);
        pty.pauseFarEnd();
        QTimer::singleShot(300, [&] { pty.unplug(); });
        QString text;
        for (int i = 0; i < 120000; ++i)
            text += QChar(0xAC00 + i % 2000);
        QVERIFY(!프린터_출력(u"카운터"_s, text));
        QCOMPARE(m_env->dialogs().texts().size(), 1);
        QVERIFY2(m_env->dialogs().texts().first().startsWith(u"카운터(COM3) 주문서를 보내다 끊겼습니다! ["_s),
                 qPrintable(m_env->dialogs().texts().first()));
        const QString log = mainLog();
        QVERIFY2(log.contains(u"]e)frmAlarm->프린터_출력[Erl:=5, Eno:="_s), qPrintable(log));
    }

    void callsDuringADrainWaitTheirTurn()
    {
        test::PtyPair first;
        test::PtyPair second;
        QVERIFY2(first.isValid() && second.isValid(), qPrintable(first.error() + second.error()));
        writePorts(m_env->app(), {{3, first.printerPath()}, {4, second.printerPath()}});
        setSlot(0, u"카운터"_s, 3);
        setSlot(1, u"주방"_s, 4);
        const QString one = QString(5000, u'1');
        const QString two = QString(300, u'2');
        const QString three = QString(300, u'3');
        bool nestedReturned = false;
        // Both arrive while the first ticket is still going out.
        QTimer::singleShot(
            10, [&] { nestedReturned = 프린터_출력(u"주방"_s, two) && 프린터_출력(u"카운터"_s, three); });
        QVERIFY(프린터_출력(u"카운터"_s, one));
        QVERIFY(nestedReturned);
        const QByteArray expectedFirst = (one + three).toLatin1();
        QCOMPARE(first.read(expectedFirst.size()), expectedFirst);
        QCOMPARE(second.read(two.size()), two.toLatin1());
        QCOMPARE(first.readUntilQuiet(200) + second.readUntilQuiet(200), QByteArray());
        QVERIFY(m_env->dialogs().texts().isEmpty());
    }

    void pieces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<qsizetype>>("sizes");
        QTest::newRow("7001") << QString(7001, u'a') << QList<qsizetype>{3500, 3500, 1};
        QTest::newRow("exactly one piece") << QString(3500, u'가') << QList<qsizetype>{3500};
        QTest::newRow("short") << u"abc"_s << QList<qsizetype>{3};
        QTest::newRow("empty") << QString() << QList<qsizetype>{};
        const QString pairAtEdge = QString(3499, u'a') + QString::fromUcs4(U"\U0001F600") + u"b"_s;
        QTest::newRow("pair across the edge") << pairAtEdge << QList<qsizetype>{3499, 3};
    }
    void pieces()
    {
        QFETCH(QString, text);
        QFETCH(QList<qsizetype>, sizes);
        const QStringList pieces = splitIntoPieces(text);
        QList<qsizetype> got;
        for (const QString &p : pieces)
            got.append(p.size());
        QCOMPARE(got, sizes);
        QCOMPARE(pieces.join(QString()), text);
    }

    void drainLimitGrowsWithThePieceAndShrinksWithSpeed()
    {
        QVERIFY(drainLimitMs(7000, 9600) > drainLimitMs(7000, 115200));
        QVERIFY(drainLimitMs(7000, 9600) > drainLimitMs(100, 9600));
        // Never shorter than the piece takes on the wire.
        QVERIFY(drainLimitMs(7000, 9600) > 7000 * 10 * 1000 / 9600);
        QVERIFY(drainLimitMs(7000, 0) > 0);
    }
};

QTEST_GUILESS_MAIN(TstTicketOutput)
#include "tst_ticketoutput.moc"
