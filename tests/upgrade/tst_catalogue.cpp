#include "UpgradeTestSupport.h"

#include "platform/Dialogs.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "support/TestEnvironment.h"
#include "upgrade/Catalogue.h"

#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;

class TstCatalogue : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<test::MariaDbServer> m_db;
    std::optional<test::TestEnvironment> m_env;
    std::optional<UpgradeStateScope> m_upgrade;

    void addRelease(int autoKey, const QString &version, const QString &size, const QString &use = u"T"_s,
                    const QString &dev = u"F"_s, const QString &force = u"F"_s, const QString &type = u"A"_s)
    {
        QVERIFY2(
            m_db->exec(u"INSERT INTO mgmt.TNV_Vadn_PatchTB (P_AUTO, P_TYPE, P_USE, P_USE_DEV, P_USE_FORCE,"
                       " P_VERSION, P_SIZE) VALUES ("_s +
                       QString::number(autoKey) + u", '"_s + type + u"', '"_s + use + u"', '"_s + dev +
                       u"', '"_s + force + u"', '"_s + version + u"', '"_s + size + u"')"_s),
            qPrintable(m_db->errorString()));
    }

private slots:
    void initTestCase()
    {
        if (!test::MariaDbServer::binariesPresent())
            QSKIP("mariadb-install-db / mariadbd are not installed");
        m_db = std::make_unique<test::MariaDbServer>();
        QVERIFY2(m_db->isRunning(), qPrintable(m_db->errorString()));
    }

    void init()
    {
        m_env.reset(); // the old folder lets go of the application folder first
        m_env.emplace();
        m_upgrade.reset();
        m_upgrade.emplace();
        QVERIFY(m_db->clearTables());
        upgradeState().patchServer = test::patchServerFor(*m_db);
        gStoreName = u"카브리 테스트점"_s;
        gMacAddress = u"001A2B3C4D5E"_s;
        gOSName = u"Debian GNU/Linux 12 (bookworm), 64비트"_s;
    }

    void cleanupTestCase()
    {
        m_env.reset();
        m_db.reset();
    }

    // The greatest P_AUTO of the channel wins, whatever the version texts say.
    void newestReleaseOfTheChannel_data()
    {
        QTest::addColumn<bool>("devMode");
        QTest::addColumn<bool>("force");
        QTest::addColumn<QString>("version");
        QTest::newRow("ordinary: P_AUTO 9 of 5, 9, 7") << false << false << u"1.0.0.9"_s;
        QTest::newRow("forced channel") << false << true << u"3.0.0.1"_s;
        QTest::newRow("development channel") << true << false << u"2.0.0.2"_s;
        QTest::newRow("development wins over forced") << true << true << u"2.0.0.2"_s;
    }
    void newestReleaseOfTheChannel()
    {
        QFETCH(bool, devMode);
        QFETCH(bool, force);
        QFETCH(QString, version);
        addRelease(5, u"1.0.0.5"_s, u"500"_s);
        addRelease(9, u"1.0.0.9"_s, u"900"_s);
        addRelease(7, u"1.0.0.70"_s, u"700"_s);
        addRelease(20, u"2.0.0.1"_s, u"1"_s, u"F"_s, u"T"_s);
        addRelease(21, u"2.0.0.2"_s, u"2"_s, u"F"_s, u"T"_s);
        addRelease(22, u"3.0.0.1"_s, u"3"_s, u"F"_s, u"F"_s, u"T"_s);
        addRelease(30, u"9.9.9.9"_s, u"9"_s, u"T"_s, u"T"_s, u"T"_s, u"B"_s); // another product
        gDevMode = devMode;
        QVERIFY(TNV_GetPatchVersion(force));
        QCOMPARE(upgradeState().serverVersion, version);
        QVERIFY(m_env->dialogs().shown().isEmpty());
    }

    void sizeAndMissingRows_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("size");
        QTest::newRow("plain") << u"2310144"_s << 2310144;
        QTest::newRow("thousands comma") << u"1,234"_s << 1234;
        QTest::newRow("unreadable") << u"abc"_s << 0;
        QTest::newRow("beyond 32 bits") << u"4294967296"_s << 0;
    }
    void sizeAndMissingRows()
    {
        QFETCH(QString, stored);
        QFETCH(int, size);
        addRelease(1, u"1.0.0.5"_s, stored);
        QVERIFY(TNV_GetPatchVersion(false));
        QCOMPARE(upgradeState().serverVersion, u"1.0.0.5"_s);
        QCOMPARE(upgradeState().serverSize, size);
    }

    void noMatchingRowLeavesTheValues()
    {
        addRelease(1, u"1.0.0.5"_s, u"10"_s, u"F"_s);
        upgradeState().serverVersion = u"kept"_s;
        upgradeState().serverSize = 77;
        QVERIFY(TNV_GetPatchVersion(false));
        QCOMPARE(upgradeState().serverVersion, u"kept"_s);
        QCOMPARE(upgradeState().serverSize, 77);
        const QStringList log = test::mainLogLines();
        QCOMPARE(log.first(), u"[Svr1] StartUp→TNV_GetPatchVersion"_s);
        QVERIFY(log.at(1).startsWith(u"[Svr1] "_s) && log.at(1).endsWith(u"ms 경과. 서버와 연결됨."_s));
        QVERIFY(log.at(2).endsWith(u"ms 경과. 데이터 처리 완료."_s));
    }

    void checksumColumnIsOptional()
    {
        addRelease(1, u"1.0.0.5"_s, u"10"_s);
        QVERIFY(TNV_GetPatchVersion(false));
        QVERIFY(upgradeState().serverSha256.isEmpty());
        QVERIFY(m_db->exec(u"ALTER TABLE mgmt.TNV_Vadn_PatchTB ADD COLUMN P_SHA256 VARCHAR(64) NULL"_s));
        QVERIFY(m_db->exec(u"UPDATE mgmt.TNV_Vadn_PatchTB SET P_SHA256 = ' ABCDEF0123 '"_s));
        const bool ran = TNV_GetPatchVersion(false);
        QVERIFY(m_db->exec(u"ALTER TABLE mgmt.TNV_Vadn_PatchTB DROP COLUMN P_SHA256"_s));
        QVERIFY(ran);
        QCOMPARE(upgradeState().serverSha256, u"abcdef0123"_s);
    }

    // A dead catalogue: one message titled "패치 확인", the log says so, the caller goes on.
    void unreachableServer()
    {
        upgradeState().patchServer.port = test::deadPort();
        QVERIFY(!TNV_GetPatchVersion(false));
        QCOMPARE(m_env->dialogs().shown().size(), 1);
        QCOMPARE(m_env->dialogs().shown().first().text, u"서버에 연결할 수 없습니다!"_s);
        QCOMPARE(m_env->dialogs().shown().first().title, u"패치 확인"_s);
        QCOMPARE(m_env->dialogs().shown().first().icon, platform::DialogIcon::Error);
        const QStringList log = test::mainLogLines();
        QVERIFY(log.join(u'\n').contains(u"e)lib_DbAuthentication->ODBC_MySQL_CONN_OPEN"_s));
        QVERIFY(log.last().startsWith(u"[Svr1] "_s));
        QVERIFY(log.last().endsWith(u"ms 경과. 서버와 연결 실패!"_s));

        QVERIFY(!TNV_PutPatchHistory(u"W"_s, u"T"_s));
        QCOMPARE(m_env->dialogs().shown().size(), 2);
    }

    void wrongAccountIsUnreachable()
    {
        upgradeState().patchServer.password = u"wrong"_s;
        QVERIFY(!TNV_GetPatchVersion(false));
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"서버에 연결할 수 없습니다!"_s});
    }

    // Values travel as bound parameters in EUC-KR: quotes, backslashes and Korean arrive exactly.
    void historyRowsStoreTheValuesExactly_data()
    {
        QTest::addColumn<QString>("shop");
        QTest::addColumn<QString>("branch");
        QTest::addColumn<QString>("company");
        const QString wide = u"카브리 아주 긴 이름의 테스트 지점 본관 이층 창가쪽 매장입니다"_s; // 62 columns
        QTest::newRow("Korean") << u"카브리 테스트점"_s << u"카브리 테스트점"_s << u"카브리 테스트점"_s;
        QTest::newRow("quote and backslash")
            << u"Kim's \\ 가게'; DROP TABLE x; --"_s << u"Kim's \\ 가게'; DROP TABLE x; --"_s
            << u"Kim's \\ 가게'; DROP TABLE x; --"_s;
        QTest::newRow("wider than 40 columns")
            << wide << u"카브리 아주 긴 이름의 테스트 지점 본관 "_s << wide;
    }
    void historyRowsStoreTheValuesExactly()
    {
        QFETCH(QString, shop);
        QFETCH(QString, branch);
        QFETCH(QString, company);
        gStoreName = shop;
        upgradeState().serverVersion = u"1.0.0.5"_s;
        QVERIFY(TNV_PutPatchHistory(u"W"_s, u"T"_s));
        const auto rows = test::historyRows(*m_db);
        QCOMPARE(rows.size(), 1);
        const auto &r = rows.first();
        QCOMPARE(r.at(0), u"W"_s);
        QCOMPARE(r.at(1), u"T"_s);
        QCOMPARE(r.at(2), branch);
        QCOMPARE(r.at(3), company);
        QCOMPARE(r.at(4), u"001A2B3C4D5E"_s);
        QCOMPARE(r.at(5), u"Debian GNU/Linux 12 (bookworm), 64비트"_s);
        QCOMPARE(r.at(6), u"1.0.0.5"_s);
        QCOMPARE(r.at(7), u"unknown"_s);
        QCOMPARE(r.at(8), m_env->app().path());
        QCOMPARE(r.at(9), u"A"_s);
        QCOMPARE(m_db->rows(u"SHOW TABLES FROM mgmt"_s)->size(), 2);
    }

    // "E" marks the newest row of this PC for this version only; with none it changes nothing.
    void giveUpMarksTheNewestRow_data()
    {
        QTest::addColumn<QString>("shop");
        QTest::newRow("plain name") << u"카브리 테스트점"_s;
        QTest::newRow("name wider than its column")
            << u"카브리 아주 긴 이름의 테스트 지점 본관 이층 창가쪽 매장"_s;
        QTest::newRow("name with a quote") << u"Kim's 가게"_s;
    }
    void giveUpMarksTheNewestRow()
    {
        QFETCH(QString, shop);
        gStoreName = shop;
        upgradeState().serverVersion = u"1.0.0.5"_s;
        QVERIFY(TNV_PutPatchHistory(u"E"_s, u"E"_s));
        QVERIFY(test::historyRows(*m_db).isEmpty());

        QVERIFY(TNV_PutPatchHistory(u"W"_s, u"T"_s));
        QVERIFY(TNV_PutPatchHistory({}, u"S"_s));
        gMacAddress = u"FFFFFFFFFFFF"_s; // another PC
        QVERIFY(TNV_PutPatchHistory(u"W"_s, u"T"_s));
        gMacAddress = u"001A2B3C4D5E"_s;
        QVERIFY(TNV_PutPatchHistory({}, u"E"_s));
        const auto rows = test::historyRows(*m_db);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0).at(1), u"T"_s);
        QCOMPARE(rows.at(1).at(1), u"E"_s);
        QCOMPARE(rows.at(1).at(0), QString());
        QCOMPARE(rows.at(2).at(1), u"T"_s);
    }

    void elapsedFormat_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero is nothing") << qint64(0) << QString();
        QTest::newRow("small") << qint64(7) << u"7"_s;
        QTest::newRow("thousands") << qint64(1234) << u"1,234"_s;
        QTest::newRow("millions") << qint64(1234567) << u"1,234,567"_s;
        QTest::newRow("exact thousand") << qint64(1000) << u"1,000"_s;
    }
    void elapsedFormat()
    {
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        QCOMPARE(formatElapsed(ms), text);
    }
};

QTEST_GUILESS_MAIN(TstCatalogue)
#include "tst_catalogue.moc"
