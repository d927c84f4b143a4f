#include "UpgradeTestSupport.h"

#include "platform/Dialogs.h"
#include "services/Deployment.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "support/FileBytes.h"
#include "support/Simulator.h"
#include "support/TestEnvironment.h"
#include "upgrade/Handover.h"
#include "upgrade/UpgradeDecision.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;

class TstUpgradeDecision : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<test::MariaDbServer> m_db;
    std::optional<test::TestEnvironment> m_env;
    std::optional<UpgradeStateScope> m_upgrade;
    int m_ends = 0;
    int m_windows = 0;

    void writeDeploy(const QString &server, const QString &download = {})
    {
        QByteArray text = "[Patch]\nServer=" + server.toUtf8() + "\n";
        if (!download.isEmpty())
            text += "Download=" + download.toUtf8() + "\n";
        QVERIFY(test::writeBytes(m_env->filePath(u"Deploy.ini"_s), text));
    }
    void offer(const QString &version, const QString &size)
    {
        QVERIFY(m_db->exec(
            u"INSERT INTO mgmt.TNV_Vadn_PatchTB (P_TYPE, P_USE, P_VERSION, P_SIZE) VALUES ('A', 'T', '"_s +
            version + u"', '"_s + size + u"')"_s));
    }
    QString patchIni(const QString &key) { return ReadINI(u"Patch"_s, key, m_env->filePath(u"Patch.ini"_s)); }

private slots:
    void initTestCase()
    {
        if (!test::MariaDbServer::binariesPresent())
            QSKIP("mariadb-install-db / mariadbd are not installed");
        m_db = std::make_unique<test::MariaDbServer>();
        QVERIFY2(m_db->isRunning(), qPrintable(m_db->errorString()));
        setEndUpgradeProcess([this](int) { ++m_ends; });
    }

    void init()
    {
        m_env.reset(); // the old folder lets go of the application folder first
        m_env.emplace();
        m_upgrade.reset();
        m_upgrade.emplace();
        QVERIFY(m_db->clearTables());
        gStoreName = u"카브리 테스트점"_s;
        gMacAddress = u"001A2B3C4D5E"_s;
        m_ends = 0;
        m_windows = 0;
        setDownloadWindowRunner([this] { ++m_windows; });
    }

    void cleanupTestCase()
    {
        m_env.reset();
        setEndUpgradeProcess({});
        setDownloadWindowRunner({});
    }

    void versionCompare_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        QTest::newRow("10 after 9") << u"1.0.0.10"_s << u"1.0.0.9"_s << 1;
        QTest::newRow("prefix is smaller") << u"1.2"_s << u"1.2.0"_s << -1;
        QTest::newRow("equal") << u"1.0.0.5"_s << u"1.0.0.5"_s << 0;
        QTest::newRow("leading zeros") << u"1.02"_s << u"1.2"_s << 0;
        QTest::newRow("five digits compare as text") << u"1.10000"_s << u"1.9999"_s << -1;
        QTest::newRow("empty is smallest") << QString() << u"0"_s << -1;
        QTest::newRow("unreadable part is 0") << u"1.x"_s << u"1.0"_s << 0;
        QTest::newRow("thousands comma part") << u"1.1,000"_s << u"1.999"_s << 1;
    }
    void versionCompare()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        QCOMPARE(VersionCompare(a, b), expected);
        QCOMPARE(VersionCompare(b, a), -expected);
    }

    // The decision for each state of Patch.ini against the catalogue (this copy runs 1.0.0.0).
    void decision_data()
    {
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("filePresent");
        QTest::addColumn<bool>("window");
        QTest::addColumn<bool>("ending");
        QTest::addColumn<QString>("resultAfter");
        QTest::addColumn<QString>("history");

        QTest::newRow("newer, nothing handled: download")
            << u"1.0.0.5"_s << u"100"_s << QString() << QString() << false << true << false << QString()
            << QString();
        QTest::newRow("this copy is the offered version")
            << u"1.0.0.0"_s << u"100"_s << u"1.0.0.0"_s << u"Success"_s << true << false << false
            << u"Success"_s << QString();
        QTest::newRow("after Success: start it again")
            << u"1.0.0.5"_s << u"100"_s << u"1.0.0.5"_s << u"Success"_s << true << false << true
            << u"Success2"_s << u"/S"_s;
        QTest::newRow("after Success, file gone: this copy goes on")
            << u"1.0.0.5"_s << u"100"_s << u"1.0.0.5"_s << u"Success"_s << false << false << false
            << u"Success2"_s << QString();
        QTest::newRow("after Success2: give up") << u"1.0.0.5"_s << u"100"_s << u"1.0.0.5"_s << u"Success2"_s
                                                 << true << false << false << u"Error"_s << u"W/E"_s;
        QTest::newRow("after Failure: never again")
            << u"1.0.0.5"_s << u"100"_s << u"1.0.0.5"_s << u"Failure"_s << false << false << false
            << u"Failure"_s << QString();
        QTest::newRow("older offered") << u"0.9.0.0"_s << u"100"_s << u"1.0.0.3"_s << u"Success"_s << false
                                       << false << false << u"Success"_s << QString();
        QTest::newRow("size 0 refused") << u"1.0.0.5"_s << u"0"_s << QString() << QString() << false << false
                                        << false << QString() << QString();
        QTest::newRow("unreadable size refused") << u"1.0.0.5"_s << u"big"_s << QString() << QString()
                                                 << false << false << false << QString() << QString();
    }
    void decision()
    {
        QFETCH(QString, offered);
        QFETCH(QString, size);
        QFETCH(QString, version);
        QFETCH(QString, result);
        QFETCH(bool, filePresent);
        QFETCH(bool, window);
        QFETCH(bool, ending);
        QFETCH(QString, resultAfter);
        QFETCH(QString, history);

        writeDeploy(m_db->serverAddress());
        offer(offered, size);
        if (!version.isEmpty())
            WriteINI(u"Patch"_s, u"Version"_s, version, m_env->filePath(u"Patch.ini"_s));
        if (!result.isEmpty())
            WriteINI(u"Patch"_s, u"Result"_s, result, m_env->filePath(u"Patch.ini"_s));
        if (filePresent)
            QVERIFY(test::writeBytes(m_env->filePath(u"TenviVadn_Last.EXE"_s), test::handoverScript(100)));
        if (history == u"W/E"_s) {
            upgradeState().serverVersion = offered;
            QVERIFY(m_db->exec(
                u"INSERT INTO mgmt.TNV_Vadn_PatchItemTB (P_TYPE, P_VERSION, P_BRANCH, P_MAC,"
                " P_DOWN_PROG, P_DOWN_OK) VALUES ('A', '1.0.0.5', '카브리 테스트점', '001A2B3C4D5E',"
                " 'W', 'T')"_s));
        }

        const UpgradeOutcome outcome = TNV_자동_업그레이드();
        QCOMPARE(outcome == UpgradeOutcome::Ending, ending);
        QCOMPARE(m_ends, ending ? 1 : 0);
        QCOMPARE(m_windows, window ? 1 : 0);
        QCOMPARE(patchIni(u"Result"_s), resultAfter);
        QCOMPARE(patchIni(u"Version"_s), version);
        const auto rows = test::historyRows(*m_db);
        QCOMPARE(rows.isEmpty(), history.isEmpty());
        if (!rows.isEmpty())
            QCOMPARE(rows.last().at(0).value_or(QString()) + u"/"_s + rows.last().at(1).value_or(QString()),
                     history);
        if (ending)
            QCOMPARE(test::waitForFile(m_env->filePath(u"started.txt"_s)),
                     u"1|/a\n"_s + m_env->app().path() + u"\n"_s);
        QVERIFY(m_env->dialogs().shown().isEmpty());
        QCOMPARE(CfgWork.fileName(), m_env->filePath(u"CommonUtil.ini"_s));
    }

    // Without a patch server the check is skipped silently; a dead one shows its message once.
    void noServerAndDeadServer()
    {
        QVERIFY(TNV_자동_업그레이드() == UpgradeOutcome::Continue);
        writeDeploy(QString());
        QVERIFY(TNV_자동_업그레이드() == UpgradeOutcome::Continue);
        QVERIFY(m_env->dialogs().shown().isEmpty());
        QVERIFY(!test::mainLogLines().join(u'\n').contains(u"[Svr1]"_s));

        writeDeploy(u"127.0.0.1:"_s + QString::number(test::deadPort()));
        QVERIFY(TNV_자동_업그레이드() == UpgradeOutcome::Continue);
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"서버에 연결할 수 없습니다!"_s});
        QCOMPARE(m_windows, 0);
    }

    void deployedAccount()
    {
        writeDeploy(m_db->serverAddress());
        QVERIFY(test::writeBytes(m_env->filePath(u"Deploy.ini"_s),
                                 "[Patch]\nServer=" + m_db->serverAddress().toUtf8() +
                                     "\nUser=nobody\nPassword=x\n"));
        offer(u"1.0.0.5"_s, u"100"_s);
        QVERIFY(TNV_자동_업그레이드() == UpgradeOutcome::Continue);
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"서버에 연결할 수 없습니다!"_s});
        QCOMPARE(m_windows, 0);
    }

    // The [Patch] addresses: "host[:port]", or the same as a URL of the key's own
    // scheme with any trailing slash. Any other form names the key as unreadable.
    void deployAddresses_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("download");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("unreadable");
        QTest::newRow("plain") << u"10.0.0.5:3307"_s << QString() << u"10.0.0.5"_s << 3307 << u"10.0.0.5"_s
                               << QString();
        QTest::newRow("server url") << u"mysql://10.0.0.5:3307/"_s << QString() << u"10.0.0.5"_s << 3307
                                    << u"10.0.0.5"_s << QString();
        QTest::newRow("both urls") << u"MariaDB://db.example"_s << u"http://127.0.0.1:8080/"_s
                                   << u"db.example"_s << 3306 << u"127.0.0.1:8080"_s << QString();
        QTest::newRow("v6") << u"[::1]:3307"_s << u"HTTP://[::1]:8080"_s << u"::1"_s << 3307
                            << u"[::1]:8080"_s << QString();
        QTest::newRow("v6 fallback") << u"mysql://[::1]"_s << QString() << u"::1"_s << 3306 << u"[::1]"_s
                                     << QString();
        QTest::newRow("download slashes") << u"10.0.0.5"_s << u" 127.0.0.1:8080// "_s << u"10.0.0.5"_s << 3306
                                          << u"127.0.0.1:8080"_s << QString();
        QTest::newRow("no server") << QString() << u"http://127.0.0.1:8080/"_s << QString() << 3306
                                   << QString() << QString();
        QTest::newRow("other server scheme")
            << u"postgres://10.0.0.5"_s << QString() << QString() << 3306 << QString() << u"Server"_s;
        QTest::newRow("server scheme alone")
            << u"mysql://"_s << QString() << QString() << 3306 << QString() << u"Server"_s;
        QTest::newRow("server bad port")
            << u"mysql://10.0.0.5:99999"_s << QString() << QString() << 3306 << QString() << u"Server"_s;
        QTest::newRow("https download") << u"10.0.0.5"_s << u"https://127.0.0.1:8443/"_s << QString() << 3306
                                        << QString() << u"Download"_s;
        QTest::newRow("download path") << u"10.0.0.5"_s << u"http://127.0.0.1:8080/cc/"_s << QString() << 3306
                                       << QString() << u"Download"_s;
        QTest::newRow("mysql download")
            << u"10.0.0.5"_s << u"mysql://10.0.0.5"_s << QString() << 3306 << QString() << u"Download"_s;
    }
    void deployAddresses()
    {
        QFETCH(QString, server);
        QFETCH(QString, download);
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, address);
        QFETCH(QString, unreadable);
        Deployment d;
        d.patchServer = server;
        d.patchDownload = download;
        const PatchServer s = patchServerOf(d);
        QCOMPARE(s.host, host);
        QCOMPARE(int(s.port), port);
        QCOMPARE(s.downloadAddress, address);
        if (unreadable.isEmpty()) {
            QCOMPARE(s.unreadable, QString());
        } else {
            const QString text = unreadable == u"Server"_s ? server : download;
            QVERIFY2(
                s.unreadable.startsWith(u"Deploy.ini [Patch] "_s + unreadable + u"="_s + text + u" - "_s),
                qPrintable(s.unreadable));
        }
    }

    // A key that cannot be read skips the check with one main log line naming it;
    // nothing is recorded, so the corrected key is used at the next start.
    void unreadableKeySkipsWithoutFailure_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("download");
        QTest::addColumn<QString>("key");
        QTest::newRow("server") << u"pgsql://"_s + m_db->serverAddress() << QString() << u"Server"_s;
        QTest::newRow("download") << m_db->serverAddress() << u"https://127.0.0.1:8443/"_s << u"Download"_s;
    }
    void unreadableKeySkipsWithoutFailure()
    {
        QFETCH(QString, server);
        QFETCH(QString, download);
        QFETCH(QString, key);
        writeDeploy(server, download);
        offer(u"1.0.0.7"_s, u"100"_s);
        QVERIFY(TNV_자동_업그레이드() == UpgradeOutcome::Continue);
        QCOMPARE(m_windows, 0);
        QVERIFY(m_env->dialogs().shown().isEmpty());
        QCOMPARE(patchIni(u"Result"_s), QString());
        QCOMPARE(patchIni(u"Version"_s), QString());
        const QStringList lines = test::mainLogLines().filter(u"Deploy.ini [Patch] "_s + key + u"="_s);
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first().contains(key == u"Server"_s ? server : download));

        // Corrected, the same version is offered and fetched.
        writeDeploy(m_db->serverAddress());
        QVERIFY(TNV_자동_업그레이드() == UpgradeOutcome::Continue);
        QCOMPARE(m_windows, 1);
    }

    // The whole road: a newer version in the catalogue is downloaded, recorded and started,
    // with the addresses written plainly or as URLs; the address used is logged.
    void downloadsRecordsAndHandsOver_data()
    {
        QTest::addColumn<bool>("urls");
        QTest::newRow("host and port") << false;
        QTest::newRow("urls") << true;
    }
    void downloadsRecordsAndHandsOver()
    {
        QFETCH(bool, urls);
        if (QStandardPaths::findExecutable(u"wget"_s).isEmpty())
            QSKIP("wget is not installed");
        QTemporaryDir patches;
        const QByteArray script = test::handoverScript(30000);
        QVERIFY(test::writeBytes(patches.filePath(u"TenviVadn_Last.EXE"_s), script));
        test::Simulator sim(test::Simulator::defaultArgs() << u"--patch-dir"_s << patches.path());
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const QString download = u"127.0.0.1:"_s + QString::number(sim.httpPort());
        if (urls)
            writeDeploy(u"mysql://"_s + m_db->serverAddress() + u"/"_s, u"http://"_s + download + u"/"_s);
        else
            writeDeploy(m_db->serverAddress(), download);
        offer(u"1.0.0.7"_s, QString::number(script.size()));
        setDownloadWindowRunner({});

        QVERIFY(TNV_자동_업그레이드() == UpgradeOutcome::Ending);
        QCOMPARE(m_ends, 1);
        QCOMPARE(patchIni(u"Version"_s), u"1.0.0.7"_s);
        QCOMPARE(patchIni(u"Result"_s), u"Success"_s);
        const auto rows = test::historyRows(*m_db);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().at(1), u"T"_s);
        QCOMPARE(test::waitForFile(m_env->filePath(u"started.txt"_s)),
                 u"1|/a\n"_s + m_env->app().path() + u"\n"_s);
        QVERIFY(test::mainLogLines().contains(u"  다운로드 주소: http://"_s + download +
                                              u"/cc/TenviVadn_Last.EXE"_s));
    }
};

QTEST_MAIN(TstUpgradeDecision)
#include "tst_upgradedecision.moc"
