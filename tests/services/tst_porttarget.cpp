#include "services/Deployment.h"
#include "services/PortTarget.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri;

class tst_PortTarget : public QObject
{
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void refusals_data();
    void refusals();
    void defaultPortForUnmappedNumbers();
};

void tst_PortTarget::reading_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("writtenBack");
    QTest::addColumn<QString>("name");

    const int dev = int(PortTarget::Kind::Device);
    const int net = int(PortTarget::Kind::Network);
    QTest::newRow("serial") << u"/dev/ttyUSB0"_s << dev << u"/dev/ttyUSB0"_s << QString() << 0
                            << u"/dev/ttyUSB0"_s << u"/dev/ttyUSB0"_s;
    QTest::newRow("usb printer, spaces around") << u"  /dev/usb/lp0 "_s << dev << u"/dev/usb/lp0"_s
                                                << QString() << 0 << u"/dev/usb/lp0"_s << u"/dev/usb/lp0"_s;
    QTest::newRow("by-id link") << u"/dev/serial/by-id/usb-Printer_1-if00"_s << dev
                                << u"/dev/serial/by-id/usb-Printer_1-if00"_s << QString() << 0
                                << u"/dev/serial/by-id/usb-Printer_1-if00"_s
                                << u"/dev/serial/by-id/usb-Printer_1-if00"_s;
    QTest::newRow("network, default port") << u"tcp://192.168.0.50"_s << net << QString() << u"192.168.0.50"_s
                                           << 9100 << u"tcp://192.168.0.50"_s << u"192.168.0.50:9100"_s;
    QTest::newRow("network, port") << u"TCP://kitchen-printer.local:9101"_s << net << QString()
                                   << u"kitchen-printer.local"_s << 9101
                                   << u"tcp://kitchen-printer.local:9101"_s
                                   << u"kitchen-printer.local:9101"_s;
    QTest::newRow("network, 9100 written out") << u"tcp://printer:9100"_s << net << QString() << u"printer"_s
                                               << 9100 << u"tcp://printer"_s << u"printer:9100"_s;
    QTest::newRow("ipv6") << u"tcp://[fe80::1]:9100"_s << net << QString() << u"fe80::1"_s << 9100
                          << u"tcp://[fe80::1]"_s << u"[fe80::1]:9100"_s;
    QTest::newRow("ipv6 loopback, port") << u"tcp://[::1]:19100"_s << net << QString() << u"::1"_s << 19100
                                         << u"tcp://[::1]:19100"_s << u"[::1]:19100"_s;
}

void tst_PortTarget::reading()
{
    QFETCH(QString, line);
    QFETCH(int, kind);
    const PortTarget t = portTarget(line);
    QCOMPARE(int(t.kind), kind);
    QTEST(t.device, "device");
    QTEST(t.host, "host");
    QTEST(int(t.port), "port");
    QVERIFY(t.refusal.isEmpty());
    QTEST(portTargetLine(t), "writtenBack");
    QTEST(portTargetName(t), "name");
    // What is written back reads as the same target.
    QCOMPARE(portTarget(portTargetLine(t)), t);
}

void tst_PortTarget::refusals_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("empty") << QString();
    QTest::newRow("relative path") << u"ttyUSB0"_s;
    QTest::newRow("windows name") << u"COM3"_s;
    QTest::newRow("climbs out") << u"/dev/../etc/passwd"_s;
    QTest::newRow("control character") << u"/dev/ttyS0\u001b[2J"_s;
    QTest::newRow("newline") << u"/dev/ttyS0\nCOM2=/dev/x"_s;
    QTest::newRow("other scheme") << u"http://printer:9100"_s;
    QTest::newRow("no host") << u"tcp://"_s;
    QTest::newRow("no host, port") << u"tcp://:9100"_s;
    QTest::newRow("empty port") << u"tcp://printer:"_s;
    QTest::newRow("port zero") << u"tcp://printer:0"_s;
    QTest::newRow("port too big") << u"tcp://printer:65536"_s;
    QTest::newRow("port not a number") << u"tcp://printer:91a0"_s;
    QTest::newRow("port with sign") << u"tcp://printer:+9100"_s;
    QTest::newRow("path after host") << u"tcp://printer/x"_s;
    QTest::newRow("user part") << u"tcp://user@printer"_s;
    QTest::newRow("bare ipv6") << u"tcp://fe80::1"_s;
    QTest::newRow("ipv6 unclosed") << u"tcp://[fe80::1"_s;
    QTest::newRow("ipv4 in brackets") << u"tcp://[10.0.0.1]"_s;
    QTest::newRow("ipv6 trailing junk") << u"tcp://[::1]x"_s;
    QTest::newRow("too long") << u"/dev/"_s + QString(300, u'a');
}

void tst_PortTarget::refusals()
{
    QFETCH(QString, line);
    const PortTarget t = portTarget(line);
    QCOMPARE(t.kind, PortTarget::Kind::Refused);
    QVERIFY(!t.refusal.isEmpty());
    QVERIFY(portTargetLine(t).isEmpty());
}

void tst_PortTarget::defaultPortForUnmappedNumbers()
{
    Deployment d;
    d.ports.insert(2, u"tcp://10.1.2.3"_s);
    QCOMPARE(d.target(1).device, u"/dev/ttyS0"_s);
    QCOMPARE(d.target(2).kind, PortTarget::Kind::Network);
    QCOMPARE(d.target(2).host, u"10.1.2.3"_s);
    QCOMPARE(d.target(0).kind, PortTarget::Kind::Refused);
}

QTEST_GUILESS_MAIN(tst_PortTarget)
#include "tst_porttarget.moc"
