#include "UpgradeTestSupport.h"

#include "platform/NetworkAdapters.h"
#include "services/Settings.h"
#include "services/UserStore.h"
#include "support/FileBytes.h"
#include "support/TempAppFolder.h"
#include "upgrade/MacAddress.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri;
using platform::NetworkAdapter;

namespace {

NetworkAdapter adapter(const QString &name, const QString &mac, const QStringList &ips, bool ethernet = true,
                       bool loopback = false)
{
    return NetworkAdapter{name, mac, ethernet, loopback, ips};
}

const QString A = u"00:1A:2B:3C:4D:5E"_s;
const QString B = u"00:1A:2B:3C:4D:9F"_s; // greater than A

} // namespace

Q_DECLARE_METATYPE(QList<kavri::platform::NetworkAdapter>)

class TstMacAddress : public QObject
{
    Q_OBJECT
private slots:
    void init() { CfgWork.setFileName({}); }
    void cleanup() { platform::setNetworkAdapters(nullptr); }

    // The whole choice from a table of adapters, the remembered address and the deny list.
    void choice_data()
    {
        QTest::addColumn<QList<NetworkAdapter>>("adapters");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("deny");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("lastLog");

        const QList<NetworkAdapter> ab{adapter(u"eth0"_s, A, {u"192.168.0.5"_s}),
                                       adapter(u"eth1"_s, B, {u"10.0.0.2"_s})};
        const QList<NetworkAdapter> ba{adapter(u"eth1"_s, B, {u"10.0.0.2"_s}),
                                       adapter(u"eth0"_s, A, {u"192.168.0.5"_s})};
        const QString q = u"\""_s;
        QTest::newRow("greatest without remembered or deny")
            << ab << QString() << QString() << u"001A2B3C4D9F"_s
            << u"GetMACAddress ... (oldMAC = "_s + q + u") GetMACAddress := 001A2B3C4D9F"_s;
        QTest::newRow("remembered A is kept")
            << ab << u"00:1A:2B:3C:4D:5E"_s << QString() << u"001A2B3C4D5E"_s
            << u"GetMACAddress ... (mMAC(i) = oldMAC) GetMACAddress := 001A2B3C4D5E"_s;
        QTest::newRow("remembered unknown: greatest, one line per rise")
            << ab << u"AABBCCDDEEFF"_s << QString() << u"001A2B3C4D9F"_s
            << u"GetMACAddress ... (oldMAC <> "_s + q + u") GetMACAddress := 001A2B3C4D9F"_s;
        QTest::newRow("remembered unknown, greatest first: no line")
            << ba << u"AABBCCDDEEFF"_s << QString() << u"001A2B3C4D9F"_s
            << u"GetMACAddress ... oldMAC := AABBCCDDEEFF"_s;
        QTest::newRow("B denied with colons") << ab << QString() << u"00:1A:2B:3C:4D:9F"_s
                                              << u"001A2B3C4D5E"_s << u"GetMACAddress ... oldMAC := "_s;
        QTest::newRow("deny list: first 12-digit in list order, not greatest")
            << ab << QString() << u"FFFFFFFFFFFF"_s << u"001A2B3C4D5E"_s << u"GetMACAddress ... oldMAC := "_s;
        QTest::newRow("deny list with remembered B")
            << ab << u"001A2B3C4D9F"_s << u"FFFFFFFFFFFF"_s << u"001A2B3C4D9F"_s
            << u"GetMACAddress ... oldMAC := 001A2B3C4D9F"_s;
        QTest::newRow("remembered but denied is never chosen")
            << ab << u"001A2B3C4D9F"_s << u" 001A2B3C4D9F "_s << u"001A2B3C4D5E"_s
            << u"GetMACAddress ... oldMAC := 001A2B3C4D9F"_s;
        QTest::newRow("every adapter denied") << ab << QString() << u"001A2B3C4D5E;00:1A:2B:3C:4D:9F"_s
                                              << QString() << u"GetMACAddress ... oldMAC := "_s;
        QTest::newRow("no adapters") << QList<NetworkAdapter>{} << QString() << QString() << QString()
                                     << u"GetMACAddress ... oldMAC := "_s;
        QTest::newRow("no IP anywhere: Ethernet adapters are the candidates")
            << QList<NetworkAdapter>{adapter(u"eth0"_s, A, {}), adapter(u"wlan0"_s, B, {}),
                                     adapter(u"tun0"_s, u"00:00:00:00:00:01"_s, {}, false)}
            << QString() << QString() << u"001A2B3C4D9F"_s
            << u"GetMACAddress ... (oldMAC = "_s + q + u") GetMACAddress := 001A2B3C4D9F"_s;
        QTest::newRow("loopback and adapters without address are passed over")
            << QList<NetworkAdapter>{adapter(u"lo"_s, u"00:00:00:00:00:00"_s, {u"127.0.0.1"_s}, false, true),
                                     adapter(u"tun0"_s, QString(), {u"10.8.0.1"_s}, false),
                                     adapter(u"eth0"_s, A, {u"192.168.0.5"_s}), adapter(u"eth1"_s, B, {})}
            << QString() << QString() << u"001A2B3C4D5E"_s
            << u"GetMACAddress ... (oldMAC = "_s + q + u") GetMACAddress := 001A2B3C4D5E"_s;
    }
    void choice()
    {
        QFETCH(QList<NetworkAdapter>, adapters);
        QFETCH(QString, remembered);
        QFETCH(QString, deny);
        QFETCH(QString, expected);
        QFETCH(QString, lastLog);
        test::TempAppFolder app;
        if (!remembered.isEmpty())
            QVERIFY(userstore::set(u"QTVNX"_s, u"Mirel"_s, u"MAC"_s, remembered));
        if (!deny.isEmpty())
            QVERIFY(test::writeBytes(app.filePath(u"CommonUtil.ini"_s),
                                     codec::toCp949(u"[NewType]\r\nMacDeny="_s + deny + u"\r\n"_s)));
        const platform::FixedNetworkAdapters table(adapters);
        platform::setNetworkAdapters(&table);

        QCOMPARE(GetMACAddress(), expected);
        const QStringList log = test::mainLogLines();
        QCOMPARE(log.first(), u"GetMACAddress ... oldMAC := "_s + QString(remembered).remove(u':'));
        QCOMPARE(log.last(), lastLog);
    }

    void adapterTableFormat()
    {
        const QList<NetworkAdapter> adapters{
            adapter(u"eth0"_s, u"0:1a:2b:3c:4d:5e"_s, {}), adapter(u"wlan0"_s, u"AA-BB-CC-DD-EE-FF"_s, {}),
            adapter(u"tun0"_s, u"11:22:33:44:55:66"_s, {}, false), adapter(u"eth9"_s, u"zz:1a"_s, {})};
        QCOMPARE(GetAdapterMACs(adapters), u"00:1A:2B:3C:4D:5E;AA:BB:CC:DD:EE:FF"_s);
    }

    // Once on this machine's own list: twelve upper-case digits, or nothing when no adapter qualifies.
    void thisMachine()
    {
        test::TempAppFolder app;
        const QString mac = GetMACAddress();
        QVERIFY2(mac.isEmpty() || QRegularExpression(u"^[0-9A-F]{12}$"_s).match(mac).hasMatch(),
                 qPrintable(mac));
    }
};

QTEST_GUILESS_MAIN(TstMacAddress)
#include "tst_macaddress.moc"
