#include "codec/Cp949.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/InstanceLock.h"
#include "platform/NetworkAdapters.h"
#include "services/EventLog.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "startup/StartUp.h"
#include "support/ChildProcess.h"
#include "support/FileBytes.h"
#include "support/TempAppFolder.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QSysInfo>
#include <QTest>

#include <optional>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

void makeDailyFiles(const test::TempAppFolder &app, int count, const QString &suffix)
{
    for (int i = 0; i < count; ++i)
        test::writeBytes(app.filePath(QDate(2025, 1, 1).addDays(i).toString(u"yyMMdd"_s) + suffix),
                         "old\r\n");
}

} // namespace

class TstStartup : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;
    // Start-up fixes the adapter address first; with one adapter its log lines are known.
    const platform::FixedNetworkAdapters m_adapters{
        {platform::NetworkAdapter{u"eth0"_s, u"00:1A:2B:3C:4D:5E"_s, true, false, {u"192.168.0.5"_s}}}};
    const QByteArray macLines =
        "[261209-083000.250]GetMACAddress ... oldMAC := \r\n"
        "[261209-083000.250]GetMACAddress ... (oldMAC = \") GetMACAddress := 001A2B3C4D5E\r\n";

private slots:
    void init() { m_env.emplace(QDateTime(QDate(2026, 12, 9), QTime(8, 30, 0, 250))); }
    void cleanup()
    {
        platform::setNetworkAdapters(nullptr);
        m_env.reset();
    }

    void writesVersionAndFixesValues()
    {
        test::TempAppFolder app;
        platform::InstanceLock lock;
        platform::setNetworkAdapters(&m_adapters);
        QCOMPARE(Main({u"-fileprint"_s}, lock), StartOutcome::Proceed);
        QCOMPARE(gMacAddress, u"001A2B3C4D5E"_s);
        QCOMPARE(test::readBytes(app.filePath(u"261209.log"_s)),
                 macLines + "[261209-083000.250]" + QByteArray(40, '=') +
                     "\r\n[261209-083000.250]Version: " + gVersion.toLatin1() + "\r\n[261209-083000.250]" +
                     codec::toCp949(u"프로그램 폴더: "_s + app.path() + u" (지정된 폴더)"_s) +
                     "\r\n[261209-083000.250]" + codec::toCp949(u"화면 방식: offscreen"_s) + "\r\n");
        QCOMPARE(gVersion, buildVersionText(KAVRI_VERSION_MAJOR, KAVRI_VERSION_MINOR, KAVRI_VERSION_PATCH));
        QVERIFY(gFilePrint);
        QCOMPARE(gSkinPath, app.filePath(u"skin"_s));
        QCOMPARE(gSoundPath, app.filePath(u"sound"_s));
        QCOMPARE(CfgMain.fileName(), app.filePath(u"Zarazo.cfg"_s));
        QVERIFY(m_env->dialogs().shown().isEmpty());
        gFilePrint = false;
    }

    // A vendor's old shortcut may carry arguments this program does not know: the
    // board starts all the same, and the log names each one after the version.
    void unknownOptionsAreLoggedAndIgnored()
    {
        test::TempAppFolder app;
        platform::InstanceLock lock;
        QCOMPARE(Main({u"-Old  /a -fileprint"_s, u"/hide"_s}, lock), StartOutcome::Proceed);
        const QByteArray log = test::readBytes(app.filePath(u"261209.log"_s));
        const QByteArray ignored = codec::toCp949(u"알 수 없는 옵션은 무시합니다: "_s);
        QVERIFY(log.indexOf("Version: ") < log.indexOf(ignored + "-Old\r\n"));
        QVERIFY(log.contains(ignored + "/hide\r\n"));
        QCOMPARE(log.count(ignored), 2);
        QVERIFY(gFilePrint);
        gFilePrint = false;
    }

    void versionText_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("text");
        QTest::newRow("first") << 1 << 0 << 0 << u"1.0.0.0 #22"_s;
        QTest::newRow("example") << 2 << 3 << 17 << u"2.3.0.17 #22"_s;
    }
    void versionText()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, text);
        QCOMPARE(buildVersionText(major, minor, revision), text);
    }

    void operatingSystemLabel()
    {
        test::TempAppFolder app;
        platform::InstanceLock lock;
        QCOMPARE(Main({}, lock), StartOutcome::Proceed);
        // The operating system's bitness, whatever this process was built for.
        const bool os64 = QSysInfo::currentCpuArchitecture().contains(u"64"_s);
        QVERIFY2(gOSName.endsWith(os64 ? u", 64비트"_s : u", 32비트"_s), qPrintable(gOSName));
        QVERIFY(gOSName.size() > 6);
    }

    void trimsOldLogsButNeverPrintLogs()
    {
        test::TempAppFolder app;
        makeDailyFiles(app, 25, u".log"_s);
        makeDailyFiles(app, 30, u"_PRN.log"_s);
        makeDailyFiles(app, 23, u"_WinHttp_Req_13.log"_s);
        platform::InstanceLock lock;
        QCOMPARE(Main({}, lock), StartOutcome::Proceed);
        const QDir dir(app.path());
        // 25 old main logs + today's: the 21 newest stay, today's among them.
        QCOMPARE(dir.entryList({u"??????.log"_s}, QDir::Files).size(), 21);
        QVERIFY(dir.exists(u"261209.log"_s));
        QVERIFY(!dir.exists(u"250101.log"_s));
        QVERIFY(!dir.exists(u"250105.log"_s));
        QVERIFY(dir.exists(u"250106.log"_s));
        QCOMPARE(dir.entryList({u"??????_PRN.log"_s}, QDir::Files).size(), 30);
        QCOMPARE(dir.entryList({u"??????_WinHttp_Req_??.log"_s}, QDir::Files).size(), 21);
    }

    void secondCopyInSameFolderEnds()
    {
        test::TempAppFolder app;
        // The first copy is the real program, running in this application folder.
        QProcess first;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"KAVRI_APP_DIR"_s, app.path());
        env.insert(u"XDG_CONFIG_HOME"_s, app.configHome());
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        first.setProcessEnvironment(env);
        first.start(QString::fromUtf8(KAVRI_DISPLAY_PATH), {});
        QVERIFY(first.waitForStarted());
        const QString firstLog = app.filePath(QDate::currentDate().toString(u"yyMMdd"_s) + u".log"_s);
        // Its login window is up, so it listens for a second start.
        QTRY_VERIFY_WITH_TIMEOUT(test::readBytes(firstLog).contains("Form_Activate] Enter"), 30000);
        QCOMPARE(first.state(), QProcess::Running);

        platform::InstanceLock lock;
        platform::setNetworkAdapters(&m_adapters);
        QCOMPARE(Main({}, lock), StartOutcome::AlreadyRunning);
        QCOMPARE(m_env->dialogs().shown().size(), 1);
        QCOMPARE(m_env->dialogs().shown().first().text, u"이미 실행중이어서 종료합니다!"_s);
        QCOMPARE(m_env->dialogs().shown().first().icon, platform::DialogIcon::Error);
        const QByteArray ours = test::readBytes(app.filePath(u"261209.log"_s));
        QCOMPARE(ours, macLines + "[261209-083000.250]" + codec::toCp949(u"이미 실행중이어서 종료합니다!"_s) +
                           "\r\n");

        // The running copy heard the second start and brought its window to the front.
        QTRY_VERIFY_WITH_TIMEOUT(codec::fromCp949(test::readBytes(firstLog))
                                     .contains(u"프로그램을 다시 실행하여 창을 앞으로 가져옵니다."_s),
                                 10000);
        QTest::qWait(200);
        QCOMPARE(first.state(), QProcess::Running);
        first.kill();
        first.waitForFinished();

        // With the first copy gone (killed, no clean-up), a new start goes ahead.
        platform::InstanceLock again;
        QCOMPARE(Main({}, again), StartOutcome::Proceed);
    }

    // A log that has reached the file-size limit cannot grow; the program runs on.
    void fileSizeLimitNeverEndsTheProgram()
    {
        test::TempAppFolder app;
        constexpr int limit = 4096;
        QVERIFY(test::writeBytes(app.filePath(u"261209.log"_s), QByteArray(limit - 10, 'x')));
        const int rc = test::runInChild(
            [] {
                platform::InstanceLock lock;
                if (Main({}, lock) != StartOutcome::Proceed)
                    return 1;
                WriteLog(u"still here"_s);
                return 0;
            },
            [] {
                const rlimit size{limit, limit};
                ::setrlimit(RLIMIT_FSIZE, &size);
            });
        QCOMPARE(rc, 0);
        QCOMPARE(test::readBytes(app.filePath(u"261209.log"_s)).size(), limit);
    }

    void copiesInDifferentFoldersRunSideBySide()
    {
        test::TempAppFolder one;
        platform::InstanceLock lockOne;
        QCOMPARE(Main({}, lockOne), StartOutcome::Proceed);
        test::TempAppFolder two;
        platform::InstanceLock lockTwo;
        QCOMPARE(Main({}, lockTwo), StartOutcome::Proceed);
        QVERIFY(m_env->dialogs().shown().isEmpty());
    }
};

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
