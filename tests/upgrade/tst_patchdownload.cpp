#include "UpgradeTestSupport.h"

#include "platform/Dialogs.h"
#include "platform/Processes.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "support/FileBytes.h"
#include "support/Simulator.h"
#include "support/TestEnvironment.h"
#include "upgrade/Catalogue.h"
#include "upgrade/DataLoadWindow.h"
#include "upgrade/Handover.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

const QString Broken = u"Broken.EXE"_s;

QString readIni(const QString &path, const QString &section, const QString &key)
{
    return ReadINI(section, key, path);
}

class NullView final : public DownloadView
{
public:
    void setTitle(const QString &) override {}
    void setDetail(const QString &) override {}
    void setCount(const QString &) override {}
    void setProgress(qint64, qint64) override {}
};

} // namespace

class TstPatchDownload : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<test::MariaDbServer> m_db;
    std::unique_ptr<test::Simulator> m_sim;
    std::optional<test::TestEnvironment> m_env;
    std::optional<UpgradeStateScope> m_upgrade;
    QTemporaryDir m_patches;
    QTemporaryDir m_emptyPath;
    QByteArray m_script;
    int m_ends = 0;

    std::unique_ptr<frmDataLoad> runWindow(const DownloadLimits &limits)
    {
        auto window = std::make_unique<frmDataLoad>(nullptr, limits);
        window->m_FirstActivated = true;
        window->m_DataLoadUpdateType = 0;
        window->exec();
        return window;
    }

    QString label(const frmDataLoad &w, const QString &name) { return w.findChild<QLabel *>(name)->text(); }

private slots:
    void initTestCase()
    {
        if (!test::MariaDbServer::binariesPresent())
            QSKIP("mariadb-install-db / mariadbd are not installed");
        if (QStandardPaths::findExecutable(u"wget"_s).isEmpty())
            QSKIP("wget is not installed");
        m_db = std::make_unique<test::MariaDbServer>();
        QVERIFY2(m_db->isRunning(), qPrintable(m_db->errorString()));
        m_script = test::handoverScript();
        QVERIFY(test::writeBytes(m_patches.filePath(u"TenviVadn_Last.EXE"_s), m_script));
        // Not a program at all: it cannot be started.
        QVERIFY(test::writeBytes(m_patches.filePath(Broken), QByteArray(4000, '\x01')));
        m_sim = std::make_unique<test::Simulator>(test::Simulator::defaultArgs()
                                                  << u"--patch-dir"_s << m_patches.path());
        QVERIFY2(m_sim->isRunning(), qPrintable(m_sim->errorString()));
        setEndUpgradeProcess([this](int) { ++m_ends; });
    }

    void init()
    {
        m_env.reset(); // the old folder lets go of the application folder first
        m_env.emplace();
        m_upgrade.reset();
        m_upgrade.emplace();
        QVERIFY(m_db->clearTables());
        QVERIFY(m_sim->setPatchFault(u"none"_s, 0, 0));
        upgradeState().patchServer =
            test::patchServerFor(*m_db, u"127.0.0.1:"_s + QString::number(m_sim->httpPort()));
        upgradeState().serverVersion = u"1.0.0.5"_s;
        upgradeState().serverSize = qint32(m_script.size());
        gStoreName = u"카브리 테스트점"_s;
        gMacAddress = u"001A2B3C4D5E"_s;
        m_ends = 0;
        clearUpgradeProcessEnded();
    }

    void cleanupTestCase()
    {
        m_env.reset();
        setEndUpgradeProcess({});
    }

    // Every route with real wget against the simulator's /cc/, and the outcome it leaves behind.
    void routes_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("faultBytes");
        QTest::addColumn<int>("faultCount");
        QTest::addColumn<QString>("wget"); // system | own | none
        QTest::addColumn<QString>("sha");  // none | right | wrong
        QTest::addColumn<QString>("patchFile");
        QTest::addColumn<bool>("shortLimits");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("patchResult");
        QTest::addColumn<QString>("history");
        QTest::addColumn<QString>("lastDetail");

        using R = PatchDownload::Result;
        const QString file = u"TenviVadn_Last.EXE"_s;
        const QString whole = u"50,000/50,000 ... 다운로드"_s;
        const QString http = u"100% ... XmlHttp 다운로드"_s;
        QTest::newRow("whole file by wget") << u"none"_s << 0 << 0 << u"system"_s << u"none"_s << file << true
                                            << int(R::HandedOver) << u"Success"_s << u"W/T"_s << whole;
        QTest::newRow("the application folder's own wget")
            << u"none"_s << 0 << 0 << u"own"_s << u"none"_s << file << true << int(R::HandedOver)
            << u"Success"_s << u"W/T"_s << whole;
        QTest::newRow("matching SHA-256") << u"none"_s << 0 << 0 << u"system"_s << u"right"_s << file << true
                                          << int(R::HandedOver) << u"Success"_s << u"W/T"_s << whole;
        QTest::newRow("wrong SHA-256") << u"none"_s << 0 << 0 << u"system"_s << u"wrong"_s << file << true
                                       << int(R::Failed) << u"Failure"_s << u"W/F"_s << whole;
        QTest::newRow("no wget: built-in route after 15 s")
            << u"none"_s << 0 << 0 << u"none"_s << u"none"_s << file << false << int(R::HandedOver)
            << u"Success"_s << u"X/T"_s << http;
        QTest::newRow("9 bytes then a stall: built-in route")
            << u"stall"_s << 9 << 1 << u"system"_s << u"none"_s << file << true << int(R::HandedOver)
            << u"Success"_s << u"X/T"_s << http;
        QTest::newRow("part of the file then a stall: wget gives up")
            << u"stall"_s << 20000 << 1 << u"system"_s << u"none"_s << file << true << int(R::Failed)
            << u"Failure"_s << u"W/F"_s << u"20,000/50,000 ... 다운로드"_s;
        QTest::newRow("error page: saved by the built-in route, wrong size")
            << u"error"_s << 0 << 0 << u"system"_s << u"none"_s << file << true << int(R::Failed)
            << u"Failure"_s << u"X/F"_s << http;
        QTest::newRow("oversized file")
            << u"oversize"_s << 1000 << 1 << u"system"_s << u"none"_s << file << true << int(R::Failed)
            << u"Failure"_s << u"W/F"_s << u"51,000/50,000 ... 다운로드"_s;
        QTest::newRow("right file that cannot be started")
            << u"none"_s << 0 << 0 << u"system"_s << u"none"_s << Broken << true << int(R::HandOverFailed)
            << u"Success"_s << u"W/T"_s << u"4,000/4,000 ... 다운로드"_s;
    }
    void routes()
    {
        QFETCH(QString, fault);
        QFETCH(int, faultBytes);
        QFETCH(int, faultCount);
        QFETCH(QString, wget);
        QFETCH(QString, sha);
        QFETCH(QString, patchFile);
        QFETCH(bool, shortLimits);
        QFETCH(int, result);
        QFETCH(QString, patchResult);
        QFETCH(QString, history);
        QFETCH(QString, lastDetail);

        QVERIFY(m_sim->setPatchFault(fault, faultBytes, faultCount));
        upgradeState().patchFile = patchFile;
        const QByteArray served = test::readBytes(m_patches.filePath(patchFile));
        upgradeState().serverSize = qint32(served.size());
        if (sha == u"right"_s)
            upgradeState().serverSha256 =
                QString::fromLatin1(QCryptographicHash::hash(served, QCryptographicHash::Sha256).toHex());
        else if (sha == u"wrong"_s)
            upgradeState().serverSha256 = QString(64, u'0');
        if (wget == u"own"_s) {
            QVERIFY(test::writeBytes(m_env->filePath(u"wget"_s),
                                     "#!/bin/sh\necho own > own-wget-used\nexec " +
                                         QStandardPaths::findExecutable(u"wget"_s).toLocal8Bit() +
                                         " \"$@\"\n"));
            QFile(m_env->filePath(u"wget"_s)).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        const QByteArray oldPath = qgetenv("PATH");
        if (wget == u"none"_s)
            qputenv("PATH", m_emptyPath.path().toLocal8Bit());

        DownloadLimits limits;
        if (shortLimits) {
            limits.firstBytesMs = 3000;
            limits.wholeFileMs = 6000;
        }
        const auto window = runWindow(limits);
        qputenv("PATH", oldPath);

        QCOMPARE(int(window->result()), result);
        QCOMPARE(window->size(), QSize(370, 136));
        QCOMPARE(label(*window, u"pMsgDetail"_s), lastDetail);
        QCOMPARE(label(*window, u"pMsgTitle"_s), history.startsWith(u'W')
                                                     ? u"패치 파일 다운로드 중 (WGET) ..."_s
                                                     : u"패치 파일 다운로드 중 (XmlHttp) ..."_s);
        QVERIFY(label(*window, u"pMsgCount"_s).isEmpty());
        if (wget == u"own"_s)
            QVERIFY(QFile::exists(m_env->filePath(u"own-wget-used"_s)));

        const QString patchIni = m_env->filePath(u"Patch.ini"_s);
        QCOMPARE(readIni(patchIni, u"Patch"_s, u"Version"_s), u"1.0.0.5"_s);
        QCOMPARE(readIni(patchIni, u"Patch"_s, u"Result"_s), patchResult);
        const auto rows = test::historyRows(*m_db);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().at(0).value_or(QString()) + u"/"_s + rows.first().at(1).value_or(QString()),
                 history);

        const QString forced =
            readIni(m_env->filePath(u"ForceUpgrade.ini"_s), u"Upgrade"_s, u"ForceUpgrade"_s);
        if (patchResult == u"Success"_s) {
            QCOMPARE(forced, u"True"_s);
            QVERIFY(test::mainLogLines().contains(m_env->filePath(patchFile) + u" 실행 !!!"_s));
        } else {
            QVERIFY(forced.isEmpty());
            QCOMPARE(m_env->dialogs().shown().size(), 1);
            QCOMPARE(m_env->dialogs().shown().first().text, u"프로그램 다운로드에 실패했습니다!"_s);
            QCOMPARE(m_env->dialogs().shown().first().title, u"프로그램 패치"_s);
        }

        if (result == int(PatchDownload::Result::HandedOver)) {
            QCOMPARE(m_ends, 1);
            // The new program got its run bit and was started with "/a" in the application folder.
            const QString started = test::waitForFile(m_env->filePath(u"started.txt"_s));
            QCOMPARE(started, u"1|/a\n"_s + m_env->app().path() + u"\n"_s);
        } else {
            QCOMPARE(m_ends, 0);
        }
        QVERIFY(!QFile::exists(m_env->filePath(u".kavri-wget.pid"_s)));
    }

    // A wget left by an earlier run of ours is ended by its id; another program's wget is left alone.
    void onlyOurOwnDownloaderIsEnded()
    {
        QVERIFY(m_sim->setPatchFault(u"stall"_s, 5, 2));
        const QString url =
            u"127.0.0.1:"_s + QString::number(m_sim->httpPort()) + u"/cc/TenviVadn_Last.EXE"_s;
        const QString wgetPath = QStandardPaths::findExecutable(u"wget"_s);
        QTemporaryDir elsewhere;
        const platform::ProcessStamp ours = platform::startDetached(
            wgetPath, {u"-q"_s, u"--no-proxy"_s, u"-O"_s, m_env->filePath(upgradeState().patchFile), url},
            m_env->app().path());
        const platform::ProcessStamp theirs = platform::startDetached(
            wgetPath, {u"-q"_s, u"--no-proxy"_s, u"-O"_s, elsewhere.filePath(u"x"_s), url}, elsewhere.path());
        QVERIFY(!ours.isNull() && !theirs.isNull());
        QVERIFY(
            test::writeBytes(m_env->filePath(u".kavri-wget.pid"_s),
                             QByteArray::number(ours.pid) + ' ' + QByteArray::number(ours.startTime) + '\n'));

        DownloadLimits limits;
        limits.firstBytesMs = 3000;
        const auto window = runWindow(limits);
        QCOMPARE(int(window->result()), int(PatchDownload::Result::HandedOver));
        QCOMPARE(platform::runState(ours), platform::RunState::Gone);
        QCOMPARE(platform::runState(theirs), platform::RunState::Running);
        platform::killProcess(theirs.pid);
    }

    // The close button during the download: a question titled "종료"; Yes ends at once, nothing is recorded.
    void closeButtonEndsTheProgram()
    {
        QVERIFY(m_sim->setPatchFault(u"stall"_s, 100, 0));
        m_env->dialogs().queueAnswer(platform::DialogAnswer::No);
        m_env->dialogs().queueAnswer(platform::DialogAnswer::Yes);
        auto window = std::make_unique<frmDataLoad>(nullptr, DownloadLimits{});
        window->m_FirstActivated = true;
        QTimer::singleShot(1500, window.get(),
                           [&] { window->findChild<QPushButton *>(u"cmdEnd"_s)->click(); });
        QTimer::singleShot(2500, window.get(),
                           [&] { window->findChild<QPushButton *>(u"cmdEnd"_s)->click(); });
        window->exec();
        QCOMPARE(int(window->result()), int(PatchDownload::Result::Ended));
        QCOMPARE(m_ends, 1);
        QCOMPARE(m_env->dialogs().shown().size(), 2);
        QCOMPARE(m_env->dialogs().shown().at(0).text, u"프로그램을 종료하시겠습니까?"_s);
        QCOMPARE(m_env->dialogs().shown().at(0).title, u"종료"_s);
        QVERIFY(!QFile::exists(m_env->filePath(u"Patch.ini"_s)));
        QVERIFY(test::historyRows(*m_db).isEmpty());
        // The wget it started is left running, remembered for the next run, which ends it.
        const QList<QByteArray> remembered =
            test::readBytes(m_env->filePath(u".kavri-wget.pid"_s)).trimmed().split(' ');
        QCOMPARE(remembered.size(), 2);
        const platform::ProcessStamp left{remembered.at(0).toLongLong(), remembered.at(1).toULongLong()};
        QCOMPARE(platform::runState(left), platform::RunState::Running);
        NullView view;
        PatchDownload(view).endDownloader();
        QCOMPARE(platform::runState(left), platform::RunState::Gone);
    }
};

QTEST_MAIN(TstPatchDownload)
#include "tst_patchdownload.moc"
