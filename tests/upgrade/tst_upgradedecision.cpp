#include "UpgradeTestSupport.h"

#include "platform/Dialogs.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "support/FileBytes.h"
#include "support/Simulator.h"
#include "support/TempAppFolder.h"
#include "upgrade/Handover.h"
#include "upgrade/UpgradeDecision.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace kavri;

class TstUpgradeDecision : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<test::MariaDbServer> m_db;
    std::unique_ptr<test::TempAppFolder> m_app;
    platform::RecordingDialogs m_dialogs;
    int m_ends = 0;
    int m_windows = 0;

    void writeDeploy(const QString &server, const QString &download = {})
    {
        QByteArray text = "[Patch]\nServer=" + server.toUtf8() + "\n";
        if (!download.isEmpty())
            text += "Download=" + download.toUtf8() + "\n";
        QVERIFY(test::writeBytes(m_app->filePath(u"Deploy.ini"_s), text));
    }
    void offer(const QString &version, const QString &size)
    {
        QVERIFY(m_db->exec(u"INSERT INTO mgmt.TNV_Vadn_PatchTB (P_TYPE, P_USE, P_VERSION, P_SIZE) VALUES ('A', 'T', '"_s +
                           version + u"', '"_s + size + u"')"_s));
    }
    QString patchIni(const QString &key) { return ReadINI(u"Patch"_s, key, m_app->filePath(u"Patch.ini"_s)); }

private slots:
    void initTestCase()
    {
        if (!test::MariaDbServer::binariesPresent())
            QSKIP("mariadb-install-db / mariadbd are not installed");
        m_db = std::make_unique<test::MariaDbServer>();
        QVERIFY2(m_db->isRunning(), qPrintable(m_db->errorString()));
        platform::setDialogs(&m_dialogs);
        setEndUpgradeProcess([this](int) { ++m_ends; });
    }

    void init()
    {
        m_app.reset(); // the old folder lets go of the application folder first
        m_app = std::make_unique<test::TempAppFolder>();
        gSkinPath = m_app->filePath(u"skin"_s);
        CfgWork.setFileName({});
        CfgMain.setFileName(m_app->filePath(u"Zarazo.cfg"_s));
        QVERIFY(m_db->clearTables());
        gDevMode = false;
        gStoreName = u"카브리 테스트점"_s;
        gMacAddress = u"001A2B3C4D5E"_s;
        m_dialogs.clear();
        m_ends = 0;
        m_windows = 0;
        setDownloadWindowRunner([this] { ++m_windows; });
    }

    void cleanupTestCase()
    {
        platform::setDialogs(nullptr);
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

        QTest::newRow("newer, nothing handled: download") << u"1.0.0.5"_s << u"100"_s << QString() << QString()
                                                         << false << true << false << QString() << QString();
        QTest::newRow("this copy is the offered version") << u"1.0.0.0"_s << u"100"_s << u"1.0.0.0"_s << u"Success"_s
                                                         << true << false << false << u"Success"_s << QString();
        QTest::newRow("after Success: start it again") << u"1.0.0.5"_s << u"100"_s << u"1.0.0.5"_s << u"Success"_s
                                                      << true << false << true << u"Success2"_s << u"/S"_s;
        QTest::newRow("after Success, file gone: this copy goes on")
            << u"1.0.0.5"_s << u"100"_s << u"1.0.0.5"_s << u"Success"_s << false << false << false << u"Success2"_s
            << QString();
        QTest::newRow("after Success2: give up") << u"1.0.0.5"_s << u"100"_s << u"1.0.0.5"_s << u"Success2"_s << true
                                                << false << false << u"Error"_s << u"W/E"_s;
        QTest::newRow("after Failure: never again") << u"1.0.0.5"_s << u"100"_s << u"1.0.0.5"_s << u"Failure"_s
                                                   << false << false << false << u"Failure"_s << QString();
        QTest::newRow("older offered") << u"0.9.0.0"_s << u"100"_s << u"1.0.0.3"_s << u"Success"_s << false << false
                                       << false << u"Success"_s << QString();
        QTest::newRow("size 0 refused") << u"1.0.0.5"_s << u"0"_s << QString() << QString() << false << false << false
                                        << QString() << QString();
        QTest::newRow("unreadable size refused") << u"1.0.0.5"_s << u"big"_s << QString() << QString() << false
                                                 << false << false << QString() << QString();
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
            WriteINI(u"Patch"_s, u"Version"_s, version, m_app->filePath(u"Patch.ini"_s));
        if (!result.isEmpty())
            WriteINI(u"Patch"_s, u"Result"_s, result, m_app->filePath(u"Patch.ini"_s));
        if (filePresent)
            QVERIFY(test::writeBytes(m_app->filePath(u"TenviVadn_Last.EXE"_s), test::handoverScript(100)));
        if (history == u"W/E"_s) {
            gServerVersion = offered;
            QVERIFY(m_db->exec(u"INSERT INTO mgmt.TNV_Vadn_PatchItemTB (P_TYPE, P_VERSION, P_BRANCH, P_MAC,"
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
            QCOMPARE(rows.last().at(0).value_or(QString()) + u"/"_s + rows.last().at(1).value_or(QString()), history);
        if (ending)
            QCOMPARE(test::waitForFile(m_app->filePath(u"started.txt"_s)), u"1|/a\n"_s + m_app->path() + u"\n"_s);
        QVERIFY(m_dialogs.shown().isEmpty());
        QCOMPARE(CfgWork.fileName(), m_app->filePath(u"CommonUtil.ini"_s));
    }

    // Without a patch server the check is skipped silently; a dead one shows its message once.
    void noServerAndDeadServer()
    {
        QVERIFY(TNV_자동_업그레이드() == UpgradeOutcome::Continue);
        writeDeploy(QString());
        QVERIFY(TNV_자동_업그레이드() == UpgradeOutcome::Continue);
        QVERIFY(m_dialogs.shown().isEmpty());
        QVERIFY(!test::mainLogLines().join(u'\n').contains(u"[Svr1]"_s));

        writeDeploy(u"127.0.0.1:"_s + QString::number(test::deadPort()));
        QVERIFY(TNV_자동_업그레이드() == UpgradeOutcome::Continue);
        QCOMPARE(m_dialogs.texts(), QStringList{u"서버에 연결할 수 없습니다!"_s});
        QCOMPARE(m_windows, 0);
    }

    void deployedAccount()
    {
        writeDeploy(m_db->serverAddress());
        QVERIFY(test::writeBytes(m_app->filePath(u"Deploy.ini"_s),
                                 "[Patch]\nServer=" + m_db->serverAddress().toUtf8() + "\nUser=nobody\nPassword=x\n"));
        offer(u"1.0.0.5"_s, u"100"_s);
        QVERIFY(TNV_자동_업그레이드() == UpgradeOutcome::Continue);
        QCOMPARE(m_dialogs.texts(), QStringList{u"서버에 연결할 수 없습니다!"_s});
        QCOMPARE(m_windows, 0);
    }

    // The whole road: a newer version in the catalogue is downloaded, recorded and started.
    void downloadsRecordsAndHandsOver()
    {
        if (QStandardPaths::findExecutable(u"wget"_s).isEmpty())
            QSKIP("wget is not installed");
        QTemporaryDir patches;
        const QByteArray script = test::handoverScript(30000);
        QVERIFY(test::writeBytes(patches.filePath(u"TenviVadn_Last.EXE"_s), script));
        test::Simulator sim(test::Simulator::defaultArgs() << u"--patch-dir"_s << patches.path());
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        writeDeploy(m_db->serverAddress(), u"127.0.0.1:"_s + QString::number(sim.httpPort()));
        offer(u"1.0.0.7"_s, QString::number(script.size()));
        setDownloadWindowRunner({});

        QVERIFY(TNV_자동_업그레이드() == UpgradeOutcome::Ending);
        QCOMPARE(m_ends, 1);
        QCOMPARE(patchIni(u"Version"_s), u"1.0.0.7"_s);
        QCOMPARE(patchIni(u"Result"_s), u"Success"_s);
        const auto rows = test::historyRows(*m_db);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().at(1), u"T"_s);
        QCOMPARE(test::waitForFile(m_app->filePath(u"started.txt"_s)), u"1|/a\n"_s + m_app->path() + u"\n"_s);
    }
};

QTEST_MAIN(TstUpgradeDecision)
#include "tst_upgradedecision.moc"
