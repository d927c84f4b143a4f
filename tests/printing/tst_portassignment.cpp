#include "platform/DeviceDiscovery.h"
#include "printing/PortAssignment.h"
#include "support/TempAppFolder.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

using Lines = QMap<int, QString>;
using Ports = QSet<int>;

} // namespace

class TstPortAssignment : public QObject
{
    Q_OBJECT

private slots:
    void linesToWrite_data()
    {
        QTest::addColumn<Lines>("stored");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<Lines>("edits");
        QTest::addColumn<Ports>("used");
        QTest::addColumn<Lines>("written");
        QTest::addColumn<QString>("refusal");
        const Lines none;
        QTest::newRow("nothing edited")
            << Lines{{1, u"/dev/ttyUSB0"_s}} << false << none << Ports{1} << none << QString();
        QTest::newRow("a new device")
            << Lines{{1, u"/dev/ttyUSB0"_s}} << false << Lines{{1, u"/dev/usb/lp0"_s}} << Ports{1}
            << Lines{{1, u"/dev/usb/lp0"_s}} << QString();
        QTest::newRow("the same line again is no change")
            << Lines{{1, u"/dev/ttyUSB0"_s}} << false << Lines{{1, u" /dev/ttyUSB0 "_s}} << Ports{1} << none
            << QString();
        QTest::newRow("the built-in device of a port without a line")
            << none << false << Lines{{3, u"/dev/ttyS2"_s}} << Ports{3} << none << QString();
        QTest::newRow("network address in its short form")
            << none << false << Lines{{2, u"TCP://printer.local:9100"_s}} << Ports{2}
            << Lines{{2, u"tcp://printer.local"_s}} << QString();
        QTest::newRow("IPv6 with its port") << none << false << Lines{{2, u"tcp://[fe80::1]:9101"_s}}
                                            << Ports{2} << Lines{{2, u"tcp://[fe80::1]:9101"_s}} << QString();
        QTest::newRow("a port no slot uses any more")
            << none << false << Lines{{4, u"/dev/ttyUSB4"_s}, {5, u"/dev/ttyUSB5"_s}} << Ports{0, 5}
            << Lines{{5, u"/dev/ttyUSB5"_s}} << QString();
        QTest::newRow("없음 has no device")
            << none << false << Lines{{0, u"/dev/ttyUSB0"_s}} << Ports{0} << none << QString();
        QTest::newRow("locked deployment") << Lines{{1, u"/dev/ttyUSB0"_s}} << true
                                           << Lines{{1, u"/dev/usb/lp0"_s}} << Ports{1} << none << QString();
        QTest::newRow("a bad address refuses everything")
            << none << false << Lines{{1, u"/dev/usb/lp0"_s}, {2, u"tcp://printer:70000"_s}} << Ports{1, 2}
            << none << u"COM2의 장치를 저장할 수 없습니다: 포트 번호는 1에서 65535 사이여야 합니다"_s;
        QTest::newRow("an empty line") << none << false << Lines{{6, u"  "_s}} << Ports{6} << none
                                       << u"COM6의 장치를 저장할 수 없습니다: 장치가 지정되지 않았습니다"_s;
        QTest::newRow("a relative path")
            << none << false << Lines{{1, u"ttyUSB0"_s}} << Ports{1} << none
            << u"COM1의 장치를 저장할 수 없습니다: 장치는 /dev/… 경로나 tcp://주소[:포트]로 적어 주세요"_s;
        QTest::newRow("a path climbing out")
            << none << false << Lines{{1, u"/dev/../etc/passwd"_s}} << Ports{1} << none
            << u"COM1의 장치를 저장할 수 없습니다: 장치는 /dev/… 경로나 tcp://주소[:포트]로 적어 주세요"_s;
    }
    void linesToWrite()
    {
        QFETCH(Lines, stored);
        QFETCH(bool, locked);
        QFETCH(Lines, edits);
        QFETCH(Ports, used);
        QFETCH(Lines, written);
        QFETCH(QString, refusal);
        Deployment d;
        d.ports = stored;
        d.portsLocked = locked;
        const PortLines out = portLinesToWrite(d, edits, used);
        QCOMPARE(out.lines, written);
        QCOMPARE(out.refusal, refusal);
    }

    // An unplugged device may be assigned; a file or a folder in a device's place may not.
    void linesToWriteOnlyNameDevices()
    {
        test::TempAppFolder app;
        const QString file = app.filePath(u"notes.txt"_s);
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        const Deployment d;
        const Ports used{1};
        QCOMPARE(portLinesToWrite(d, {{1, file}}, used).refusal,
                 u"COM1의 장치를 저장할 수 없습니다: 장치 파일이 아닙니다"_s);
        QCOMPARE(portLinesToWrite(d, {{1, app.path()}}, used).refusal,
                 u"COM1의 장치를 저장할 수 없습니다: 장치 파일이 아닙니다"_s);
        QCOMPARE(portLinesToWrite(d, {{1, app.filePath(u"unplugged"_s)}}, used).lines,
                 (Lines{{1, app.filePath(u"unplugged"_s)}}));
        QCOMPARE(portLinesToWrite(d, {{1, u"/dev/null"_s}}, used).lines, (Lines{{1, u"/dev/null"_s}}));
    }

    void assignedLine()
    {
        Deployment d;
        d.ports.insert(2, u"tcp://printer.local"_s);
        QCOMPARE(kavri::assignedLine(d, 0), QString());
        QCOMPARE(kavri::assignedLine(d, 1), u"/dev/ttyS0"_s);
        QCOMPARE(kavri::assignedLine(d, 2), u"tcp://printer.local"_s);
    }

    void deviceLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<bool>("speedUsed");
        QTest::newRow("network printer")
            << u"tcp://192.168.0.50"_s << u"192.168.0.50:9100 - 네트워크 프린터: 통신속도는 쓰이지 않습니다"_s
            << true << false;
        QTest::newRow("network printer, own port")
            << u"tcp://[fe80::1]:9101"_s << u"[fe80::1]:9101 - 네트워크 프린터: 통신속도는 쓰이지 않습니다"_s
            << true << false;
        QTest::newRow("device that is no terminal")
            << u"/dev/null"_s
            << u"/dev/null - 사용할 수 있습니다 · 직렬 포트가 아니어서 통신속도는 쓰이지 않습니다"_s << true
            << false;
        QTest::newRow("refused address")
            << u"tcp://프린터"_s << u"tcp://프린터 - 프린터 주소가 올바르지 않습니다"_s << false << true;
        QTest::newRow("typed markup stays text")
            << u"<b>x</b>"_s << u"<b>x</b> - 장치는 /dev/… 경로나 tcp://주소[:포트]로 적어 주세요"_s << false
            << true;
        QTest::newRow("nothing typed") << u""_s << u"장치가 지정되지 않았습니다"_s << false << true;
    }
    void deviceLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, text);
        QFETCH(bool, usable);
        QFETCH(bool, speedUsed);
        const PortDeviceLine out = deviceLineOf(line);
        QCOMPARE(out.text, text);
        QCOMPARE(out.usable, usable);
        QCOMPARE(out.speedUsed, speedUsed);
    }

    void deviceLineAdvice_data()
    {
        QTest::addColumn<platform::DeviceAccess>("access");
        QTest::addColumn<platform::CharDeviceKind>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<bool>("speedUsed");
        using platform::CharDeviceKind;
        const QString d = u"/dev/ttyUSB0"_s;
        QTest::newRow("missing") << platform::DeviceAccess{} << CharDeviceKind::Unknown
                                 << d + u" - 장치가 없습니다 (연결과 Deploy.ini [Ports] 확인)"_s << false
                                 << true;
        QTest::newRow("usable serial line")
            << platform::DeviceAccess{true, true, u"dialout"_s, true, true} << CharDeviceKind::Terminal
            << d + u" - 사용할 수 있습니다"_s << true << true;
        QTest::newRow("not in dialout")
            << platform::DeviceAccess{true, false, u"dialout"_s, true, false} << CharDeviceKind::Terminal
            << d + u" - 열 수 없습니다: 사용자를 'dialout' 그룹에 넣어 주세요"_s << false << true;
        QTest::newRow("joined dialout, not logged in again")
            << platform::DeviceAccess{true, false, u"dialout"_s, true, true} << CharDeviceKind::Terminal
            << d + u" - 열 수 없습니다: 'dialout' 그룹이 적용되도록 다시 로그인해 주세요"_s << false << true;
        QTest::newRow("root only: no group would help")
            << platform::DeviceAccess{true, false, u"root"_s, false, false} << CharDeviceKind::Terminal
            << d + u" - 열 수 없습니다: 이 사용자에게 쓰기 권한이 없습니다 (관리자에게 문의해 주세요)"_s
            << false << true;
        QTest::newRow("group may only read")
            << platform::DeviceAccess{true, false, u"dialout"_s, false, false} << CharDeviceKind::Terminal
            << d + u" - 열 수 없습니다: 이 사용자에게 쓰기 권한이 없습니다 (관리자에게 문의해 주세요)"_s
            << false << true;
        QTest::newRow("usb printer, usable")
            << platform::DeviceAccess{true, true, u"lp"_s, true, true} << CharDeviceKind::NotTerminal
            << d + u" - 사용할 수 있습니다 · 직렬 포트가 아니어서 통신속도는 쓰이지 않습니다"_s << true
            << false;
        QTest::newRow("usb printer, not in lp")
            << platform::DeviceAccess{true, false, u"lp"_s, true, false} << CharDeviceKind::NotTerminal
            << d + u" - 열 수 없습니다: 사용자를 'lp' 그룹에 넣어 주세요 · 직렬 포트가 아니어서 통신속도는 쓰이지 않습니다"_s
            << false << false;
    }
    void deviceLineAdvice()
    {
        QFETCH(platform::DeviceAccess, access);
        QFETCH(platform::CharDeviceKind, kind);
        QFETCH(QString, text);
        QFETCH(bool, usable);
        QFETCH(bool, speedUsed);
        const PortDeviceLine line = deviceLineFor(u"/dev/ttyUSB0"_s, access, kind);
        QCOMPARE(line.text, text);
        QCOMPARE(line.usable, usable);
        QCOMPARE(line.speedUsed, speedUsed);
    }

    // A character device that is no terminal (a USB printer-class device, here /dev/null) takes no speed.
    void deviceThatIsNoSerialLine()
    {
        if (!QFile::exists(u"/sys/dev/char/1:3"_s))
            QSKIP("no sysfs here");
        const PortDeviceLine out = deviceLineOf(u"/dev/null"_s);
        QVERIFY(!out.speedUsed);
        QVERIFY2(out.text.endsWith(u" · 직렬 포트가 아니어서 통신속도는 쓰이지 않습니다"_s),
                 qPrintable(out.text));
        QVERIFY(deviceLineOf(u"/dev/tty"_s).speedUsed);
        test::TempAppFolder app;
        QVERIFY(deviceLineOf(app.filePath(u"gone"_s)).speedUsed);
    }

    void foundDeviceItem_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("leadsTo");
        QTest::addColumn<bool>("usbPrinter");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("item");
        QTest::newRow("serial, usable")
            << u"/dev/ttyUSB0"_s << QString() << false << true << u"/dev/ttyUSB0 (사용할 수 있습니다)"_s;
        QTest::newRow("usb printer, no permission") << u"/dev/usb/lp0"_s << QString() << true << false
                                                    << u"/dev/usb/lp0 (USB 프린터, 권한 없음: lp 그룹)"_s;
        QTest::newRow("by-id link") << u"/dev/serial/by-id/usb-P-if00"_s << u"/dev/ttyUSB3"_s << false
                                    << false
                                    << u"/dev/serial/by-id/usb-P-if00 → ttyUSB3 (권한 없음: lp 그룹)"_s;
    }
    void foundDeviceItem()
    {
        QFETCH(QString, path);
        QFETCH(QString, leadsTo);
        QFETCH(bool, usbPrinter);
        QFETCH(bool, writable);
        QFETCH(QString, item);
        platform::FoundDevice d;
        d.path = path;
        d.leadsTo = leadsTo;
        d.kind = usbPrinter ? platform::DeviceClass::UsbPrinter : platform::DeviceClass::Serial;
        d.access = {true, writable, u"lp"_s, true, false};
        QCOMPARE(kavri::foundDeviceItem(d), item);
    }

    // 연결 확인 asks the check only about a line that can be read, with the slot's speed.
    void connectionCheck()
    {
        QList<QPair<PortTarget, qint32>> asked;
        const ConnectionCheck check = [&](const PortTarget &t, qint32 speed) {
            asked.append({t, speed});
            return u"응답: "_s + portTargetName(t);
        };
        QCOMPARE(connectionCheckLine(u"tcp://printer:0"_s, 9600, check),
                 u"포트 번호는 1에서 65535 사이여야 합니다"_s);
        QVERIFY(asked.isEmpty());
        QCOMPARE(connectionCheckLine(u"/dev/ttyUSB0"_s, 19200, check), u"응답: /dev/ttyUSB0"_s);
        QCOMPARE(connectionCheckLine(u"tcp://[::1]"_s, 9600, check), u"응답: [::1]:9100"_s);
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[0].first, portTarget(u"/dev/ttyUSB0"_s));
        QCOMPARE(asked[0].second, 19200);
        QCOMPARE(connectionCheckLine(u"/dev/ttyUSB0"_s, 9600, {}), QString());
    }
};

QTEST_GUILESS_MAIN(TstPortAssignment)
#include "tst_portassignment.moc"
