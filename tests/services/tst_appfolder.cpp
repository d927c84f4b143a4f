// Which application folder a copy uses, and the per-user folder of an installed copy.
#include "services/AppFolder.h"
#include "support/ChildProcess.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace kavri;

class TstAppFolder : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.path() + u'/' + name; }

    /// A program folder as the package installs it: program marker, pictures, chime.
    QString installedFolder() const
    {
        const QString folder = path(u"usr/lib/kavri-display"_s);
        QDir().mkpath(folder + u"/skin"_s);
        QDir().mkpath(folder + u"/sound"_s);
        test::writeBytes(folder + u'/' + QString::fromUtf16(InstalledMarkerName), "#\n");
        test::writeBytes(folder + u"/skin/0001.gif"_s, "GIF89a-background");
        test::writeBytes(folder + u"/skin/0601.gif"_s, "GIF89a-logo");
        test::writeBytes(folder + u"/sound/DDD.wav"_s, "RIFF-chime");
        test::writeBytes(folder + u"/DDD.wav"_s, "RIFF-chime");
        return folder;
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(path(u"usr"_s)).removeRecursively();
        QDir(path(u"portable"_s)).removeRecursively();
        QDir(path(u"user"_s)).removeRecursively();
        QDir().mkpath(path(u"portable"_s));
    }

    void choice_data()
    {
        QTest::addColumn<QString>("env");
        QTest::addColumn<bool>("installedProgram");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("source");
        QTest::newRow("portable") << QString() << false << u"portable"_s << int(AppFolderSource::Program);
        QTest::newRow("portable with KAVRI_APP_DIR")
            << u"named"_s << false << u"named"_s << int(AppFolderSource::Environment);
        QTest::newRow("installed") << QString() << true << u"user"_s << int(AppFolderSource::PerUser);
        QTest::newRow("installed with KAVRI_APP_DIR")
            << u"named"_s << true << u"named"_s << int(AppFolderSource::Environment);
        // Not even root's copy writes its logs into the package's files.
        QTest::newRow("installed, KAVRI_APP_DIR naming the program folder")
            << u"usr/lib/kavri-display/"_s << true << u"user"_s << int(AppFolderSource::PerUser);
    }
    void choice()
    {
        QFETCH(QString, env);
        QFETCH(bool, installedProgram);
        QFETCH(QString, folder);
        QFETCH(int, source);
        const QString program = installedProgram ? installedFolder() : path(u"portable"_s);
        const AppFolderChoice c =
            chooseAppFolder(env.isEmpty() ? QString() : path(env), program, path(u"user"_s));
        QCOMPARE(c.folder, path(folder));
        QCOMPARE(int(c.source), source);
        QCOMPARE(c.installed, installedProgram);
    }

    // A program folder this user cannot write (a copy installed by hand) is not the
    // place for settings and logs either.
    void unwritableProgramFolderCountsAsInstalled()
    {
        if (!test::canActAsOtherUser())
            QSKIP("needs root to act as another user");
        const QString program = path(u"portable"_s);
        QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                           QFileDevice::ExeOther);
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ExeOther);
        const int rc = test::runAsOtherUser([&] { return isInstalledProgramFolder(program) ? 0 : 1; });
        QCOMPARE(rc, 0);
        QVERIFY(!isInstalledProgramFolder(program));
    }

    void perUserFolder_data()
    {
        QTest::addColumn<QByteArray>("dataHome");
        QTest::addColumn<QString>("folder");
        QTest::newRow("set") << QByteArray("/srv/shop/data") << u"/srv/shop/data/kavri-display"_s;
        QTest::newRow("unset") << QByteArray() << QDir::homePath() + u"/.local/share/kavri-display"_s;
        QTest::newRow("relative is ignored")
            << QByteArray("data") << QDir::homePath() + u"/.local/share/kavri-display"_s;
    }
    void perUserFolder()
    {
        QFETCH(QByteArray, dataHome);
        QFETCH(QString, folder);
        const QByteArray old = qgetenv("XDG_DATA_HOME");
        const bool had = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        if (dataHome.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", dataHome);
        const QString got = perUserAppFolder();
        if (had)
            qputenv("XDG_DATA_HOME", old);
        else
            qunsetenv("XDG_DATA_HOME");
        QCOMPARE(got, folder);
    }

    void preparesPerUserFolder()
    {
        const QString program = installedFolder();
        const QString user = path(u"user/.local/share/kavri-display"_s);
        QString error;
        QVERIFY(prepareAppFolder(user, program, &error));
        QCOMPARE(int(QFile::permissions(user) & 0x7077), 0x7000); // rwx for the owner alone
        for (const QString &name : {u"skin/0001.gif"_s, u"skin/0601.gif"_s, u"sound/DDD.wav"_s, u"DDD.wav"_s})
            QCOMPARE(test::readBytes(user + u'/' + name), test::readBytes(program + u'/' + name));
        QVERIFY(QFileInfo(user + u"/skin"_s).isDir());
        QVERIFY(!QFileInfo(user + u"/skin"_s).isSymLink());

        // The shop's own picture stays; the others follow the package through an
        // upgrade, and a picture the package adds comes in on the next start.
        QFile::remove(user + u"/skin/0601.gif"_s);
        test::writeBytes(user + u"/skin/0601.gif"_s, "shop's own logo");
        QFile::remove(program + u"/skin/0001.gif"_s);
        test::writeBytes(program + u"/skin/0603.gif"_s, "GIF89a-card");
        QVERIFY(prepareAppFolder(user, program, &error));
        QCOMPARE(test::readBytes(user + u"/skin/0601.gif"_s), QByteArray("shop's own logo"));
        QCOMPARE(test::readBytes(user + u"/skin/0603.gif"_s), QByteArray("GIF89a-card"));
        test::writeBytes(program + u"/skin/0001.gif"_s, "GIF89a-new background");
        QVERIFY(prepareAppFolder(user, program, &error));
        QCOMPARE(test::readBytes(user + u"/skin/0001.gif"_s), QByteArray("GIF89a-new background"));
    }

    // Under umask 000 the folders an installed copy makes in a fresh home are
    // its user's alone; what was there already keeps its mode.
    void perUserFolderUnderUmask000()
    {
        const QString program = installedFolder();
        const QString home = path(u"user"_s);
        QVERIFY(QDir().mkpath(home));
        QCOMPARE(::chmod(QFile::encodeName(home).constData(), 0751), 0);
        const mode_t old = ::umask(0);
        QString error;
        const bool ok = prepareAppFolder(home + u"/.local/share/kavri-display"_s, program, &error);
        ::umask(old);
        QVERIFY2(ok, qPrintable(error));
        auto modeOf = [](const QString &folder) {
            struct stat st
            {
            };
            return ::stat(QFile::encodeName(folder).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
        };
        QCOMPARE(modeOf(home), 0751);
        for (const QString &made :
             {u"/.local"_s, u"/.local/share"_s, u"/.local/share/kavri-display"_s,
              u"/.local/share/kavri-display/skin"_s, u"/.local/share/kavri-display/sound"_s})
            QCOMPARE(modeOf(home + made), 0700);
    }

    void folderThatCannotBeMade()
    {
        test::writeBytes(path(u"user"_s), "a file where the folder would go");
        QString error;
        QVERIFY(!prepareAppFolder(path(u"user/kavri-display"_s), installedFolder(), &error));
        QVERIFY(!error.isEmpty());
        QFile::remove(path(u"user"_s));
    }
};

QTEST_GUILESS_MAIN(TstAppFolder)
#include "tst_appfolder.moc"
