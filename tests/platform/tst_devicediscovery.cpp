#include "platform/DeviceDiscovery.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace kavri::platform;

namespace {

/// A folder standing in for /dev and /sys. Device nodes need CAP_MKNOD; without
/// it, the tests that need nodes are skipped.
class FakeDevices
{
public:
    QString dev() const { return m_dir.path() + u"/dev"_s; }
    QString sys() const { return m_dir.path() + u"/sys"_s; }

    FakeDevices()
    {
        QDir().mkpath(dev() + u"/usb"_s);
        QDir().mkpath(dev() + u"/serial/by-id"_s);
        QDir().mkpath(sys() + u"/dev/char"_s);
    }

    /// Whether this process may make device nodes at all (root or CAP_MKNOD).
    static bool canMakeNodes()
    {
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.path() + u"/probe"_s);
        return ::mknod(path.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    }

    /// A character device node `name` under dev() with the given numbers and mode.
    bool node(const QString &name, unsigned maj = 188, unsigned min = 0, mode_t mode = 0660)
    {
        const QByteArray path = QFile::encodeName(dev() + u'/' + name);
        return ::mknod(path.constData(), S_IFCHR | mode, makedev(maj, min)) == 0 &&
               ::chmod(path.constData(), mode) == 0;
    }

    bool file(const QString &name)
    {
        QFile f(dev() + u'/' + name);
        return f.open(QIODevice::WriteOnly);
    }
    bool link(const QString &name, const QString &target) { return QFile::link(target, dev() + u'/' + name); }
    /// What sysfs says of a serial port: its chip type ("0": none found).
    void serialType(const QString &name, const QByteArray &type)
    {
        QDir().mkpath(sys() + u"/class/tty/"_s + name);
        QFile f(sys() + u"/class/tty/"_s + name + u"/type"_s);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(type + '\n');
    }
    /// sysfs's dev/char/MAJ:MIN/subsystem link to class/`subsystem`.
    void subsystem(unsigned maj, unsigned min, const QString &subsystem)
    {
        const QString entry = sys() + u"/dev/char/"_s + QString::number(maj) + u':' + QString::number(min);
        QDir().mkpath(entry);
        QDir().mkpath(sys() + u"/class/"_s + subsystem);
        QVERIFY(QFile::link(u"../../../class/"_s + subsystem, entry + u"/subsystem"_s));
    }

private:
    QTemporaryDir m_dir;
};

QStringList paths(const QList<FoundDevice> &found, const QString &root)
{
    QStringList out;
    for (const FoundDevice &d : found)
        out.append(QString(d.path).remove(0, root.size() + 1));
    return out;
}

} // namespace

class TstDeviceDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void accessNote_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("group");
        QTest::addColumn<bool>("groupMayWrite");
        QTest::addColumn<bool>("member");
        QTest::addColumn<QString>("note");
        QTest::newRow("missing") << false << false << QString() << false << false << u"장치가 없습니다"_s;
        QTest::newRow("usable") << true << true << u"dialout"_s << true << false << u"사용할 수 있습니다"_s;
        QTest::newRow("serial, not in the group")
            << true << false << u"dialout"_s << true << false << u"권한 없음: dialout 그룹"_s;
        QTest::newRow("usb printer, not in the group")
            << true << false << u"lp"_s << true << false << u"권한 없음: lp 그룹"_s;
        QTest::newRow("joined, session older than the membership")
            << true << false << u"dialout"_s << true << true
            << u"권한 없음: dialout 그룹 (다시 로그인해 주세요)"_s;
        QTest::newRow("group may not write: joining would not help")
            << true << false << u"dialout"_s << false << false << u"권한 없음"_s;
        QTest::newRow("root's group is never the advice")
            << true << false << u"root"_s << true << false << u"권한 없음"_s;
        QTest::newRow("group without a name")
            << true << false << QString() << true << false << u"권한 없음"_s;
    }
    void accessNote()
    {
        QFETCH(bool, exists);
        QFETCH(bool, writable);
        QFETCH(QString, group);
        QFETCH(bool, groupMayWrite);
        QFETCH(bool, member);
        QFETCH(QString, note);
        QCOMPARE(kavri::platform::accessNote({exists, writable, group, groupMayWrite, member}), note);
    }

    void accessOfANode()
    {
        if (!FakeDevices::canMakeNodes())
            QSKIP("making device nodes needs root or CAP_MKNOD");
        FakeDevices fake;
        QVERIFY(fake.node(u"ttyUSB0"_s, 188, 0, 0660));
        QVERIFY(fake.node(u"ttyUSB1"_s, 188, 1, 0640));
        QVERIFY(fake.file(u"plain"_s));
        const DeviceAccess shared = deviceAccess(fake.dev() + u"/ttyUSB0"_s);
        QVERIFY(shared.exists);
        QVERIFY(shared.groupMayWrite);
        QCOMPARE(shared.group, QString::fromLocal8Bit(::getgrgid(::getegid())->gr_name));
        QCOMPARE(shared.writable,
                 ::access(QFile::encodeName(fake.dev() + u"/ttyUSB0"_s).constData(), W_OK) == 0);
        QVERIFY(!deviceAccess(fake.dev() + u"/ttyUSB1"_s).groupMayWrite);
        // A regular file or nothing at all is no device.
        QVERIFY(!deviceAccess(fake.dev() + u"/plain"_s).exists);
        QVERIFY(!deviceAccess(fake.dev() + u"/none"_s).exists);
        QVERIFY(!deviceAccess(QString()).exists);
    }

    // Only character devices of the printer names count, in the order staff look for them;
    // links are followed only from serial/by-id, one step, to a line directly under the root.
    void findsOnlyPrinterDevices()
    {
        if (!FakeDevices::canMakeNodes())
            QSKIP("making device nodes needs root or CAP_MKNOD");
        FakeDevices fake;
        for (const auto &[name, minor] : QList<QPair<QString, unsigned>>{{u"ttyUSB10"_s, 10},
                                                                         {u"ttyUSB2"_s, 2},
                                                                         {u"ttyUSB0"_s, 0},
                                                                         {u"ttyACM0"_s, 32},
                                                                         {u"ttyS0"_s, 64},
                                                                         {u"ttyS1"_s, 65},
                                                                         {u"ttyS2"_s, 66},
                                                                         {u"usb/lp0"_s, 96},
                                                                         {u"tty0"_s, 97},
                                                                         {u"ttyUSBx"_s, 98},
                                                                         {u"usb/hiddev0"_s, 99}})
            QVERIFY(fake.node(name, 188, minor));
        fake.serialType(u"ttyS0"_s, "4");
        fake.serialType(u"ttyS1"_s, "0"); // no chip behind it
        QVERIFY(fake.file(u"ttyUSB3"_s));
        QVERIFY(QDir().mkdir(fake.dev() + u"/ttyACM1"_s));
        QVERIFY(fake.link(u"ttyUSB4"_s, fake.dev() + u"/ttyUSB0"_s));
        QVERIFY(fake.link(u"usb/lp1"_s, u"../ttyUSB0"_s));
        QVERIFY(fake.link(u"serial/by-id/usb-Good-if00"_s, u"../../ttyUSB2"_s));
        QVERIFY(fake.link(u"serial/by-id/usb-Chain-if00"_s, u"usb-Good-if00"_s));
        QVERIFY(fake.link(u"serial/by-id/usb-ToFile-if00"_s, u"../../ttyUSB3"_s));
        QVERIFY(fake.link(u"serial/by-id/usb-Outside-if00"_s, u"/dev/null"_s));
        QVERIFY(fake.link(u"serial/by-id/usb-Printer-if00"_s, u"../../usb/lp0"_s));
        QVERIFY(fake.link(u"serial/by-id/usb-Gone-if00"_s, u"../../ttyUSB7"_s));
        QVERIFY(fake.link(u"serial/by-id/usb-Up-if00"_s, u"../../../dev/ttyUSB0"_s));

        const QList<FoundDevice> found = findDevices(fake.dev(), fake.sys());
        QCOMPARE(
            paths(found, fake.dev()),
            (QStringList{u"serial/by-id/usb-Good-if00"_s, u"serial/by-id/usb-Up-if00"_s, u"ttyUSB0"_s,
                         u"ttyUSB2"_s, u"ttyUSB10"_s, u"ttyACM0"_s, u"usb/lp0"_s, u"ttyS0"_s, u"ttyS2"_s}));
        QCOMPARE(found[0].leadsTo, fake.dev() + u"/ttyUSB2"_s);
        QCOMPARE(found[1].leadsTo, fake.dev() + u"/ttyUSB0"_s);
        QVERIFY(found[2].leadsTo.isEmpty());
        QCOMPARE(found[6].kind, DeviceClass::UsbPrinter);
        QCOMPARE(found[5].kind, DeviceClass::Serial);
        QVERIFY(found[2].access.exists);
    }

    void findsNothingWhereNothingIs()
    {
        QTemporaryDir empty;
        QVERIFY(findDevices(empty.path() + u"/missing"_s, empty.path()).isEmpty());
        QVERIFY(findDevices(empty.path(), empty.path()).isEmpty());
    }

    void listIsBounded()
    {
        if (!FakeDevices::canMakeNodes())
            QSKIP("making device nodes needs root or CAP_MKNOD");
        FakeDevices fake;
        for (unsigned n = 0; n < unsigned(MaxFoundDevices) + 6; ++n)
            QVERIFY(fake.node(u"ttyUSB"_s + QString::number(n), 188, n));
        const QList<FoundDevice> found = findDevices(fake.dev(), fake.sys());
        QCOMPARE(found.size(), MaxFoundDevices);
        QCOMPARE(found.first().path, fake.dev() + u"/ttyUSB0"_s);
        QCOMPARE(found.last().path, fake.dev() + u"/ttyUSB"_s + QString::number(MaxFoundDevices - 1));
    }

    void charDeviceKind_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("major");
        QTest::addColumn<QString>("subsystem"); // empty: no sysfs entry
        QTest::addColumn<CharDeviceKind>("kind");
        QTest::newRow("serial line") << u"ttyUSB0"_s << 188 << u"tty"_s << CharDeviceKind::Terminal;
        QTest::newRow("usb printer") << u"lp0"_s << 180 << u"usbmisc"_s << CharDeviceKind::NotTerminal;
        QTest::newRow("no sysfs entry (a pseudo terminal)")
            << u"pts"_s << 136 << QString() << CharDeviceKind::Unknown;
    }
    void charDeviceKind()
    {
        QFETCH(QString, name);
        QFETCH(int, major);
        QFETCH(QString, subsystem);
        QFETCH(CharDeviceKind, kind);
        if (!FakeDevices::canMakeNodes())
            QSKIP("making device nodes needs root or CAP_MKNOD");
        FakeDevices fake;
        QVERIFY(fake.node(name, unsigned(major), 3));
        if (!subsystem.isEmpty())
            fake.subsystem(unsigned(major), 3, subsystem);
        QCOMPARE(kavri::platform::charDeviceKind(fake.dev() + u'/' + name, fake.sys()), kind);
    }

    void charDeviceKindOfWhatIsNoDevice()
    {
        FakeDevices fake;
        QVERIFY(fake.file(u"ttyUSB0"_s));
        QCOMPARE(kavri::platform::charDeviceKind(fake.dev() + u"/ttyUSB0"_s, fake.sys()),
                 CharDeviceKind::Unknown);
        QCOMPARE(kavri::platform::charDeviceKind(fake.dev() + u"/none"_s, fake.sys()),
                 CharDeviceKind::Unknown);
    }

    // The machine's own sysfs: /dev/tty is a terminal, /dev/null is not.
    void charDeviceKindOfThisMachine()
    {
        if (!QFile::exists(u"/sys/dev/char/1:3"_s))
            QSKIP("no sysfs here");
        QCOMPARE(kavri::platform::charDeviceKind(u"/dev/null"_s), CharDeviceKind::NotTerminal);
        QCOMPARE(kavri::platform::charDeviceKind(u"/dev/tty"_s), CharDeviceKind::Terminal);
    }
};

QTEST_GUILESS_MAIN(TstDeviceDiscovery)
#include "tst_devicediscovery.moc"
