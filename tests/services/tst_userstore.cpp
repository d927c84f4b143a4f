#include "services/Deployment.h"
#include "services/UserStore.h"
#include "support/ChildProcess.h"
#include "support/FileBytes.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace kavri;

class TstUserStore : public QObject
{
    Q_OBJECT
private slots:
    void roundTripsPrivately()
    {
        test::TempAppFolder app;
        QCOMPARE(userstore::get(u"fsVadn"_s, u"Login"_s, u"A"_s), QString());
        const QString record = u"True◈True◈shop1◈p&w=1"_s;
        QVERIFY(userstore::set(u"fsVadn"_s, u"Login"_s, u"A"_s, record));
        QCOMPARE(userstore::get(u"fsVadn"_s, u"login"_s, u"a"_s), record);
        const QString path = app.configHome() + u"/kavri-display/fsVadn.ini"_s;
        QCOMPARE(userstore::filePath(u"fsVadn"_s), path);
        struct stat st
        {
        };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
        QCOMPARE(test::readBytes(path), (u"[Login]\r\nA="_s + record + u"\r\n"_s).toUtf8());
        // Another application name is another file.
        QCOMPARE(userstore::get(u"fsPelno"_s, u"Login"_s, u"A"_s), QString());
    }

    void tightensAFileMadeByHand()
    {
        test::TempAppFolder app;
        const QString path = userstore::filePath(u"QTVNX"_s);
        QDir().mkpath(QFileInfo(path).path());
        QVERIFY(test::writeBytes(path, "[Mirel]\nMAC=00:11\n"));
        QFile::setPermissions(path,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
        QVERIFY(userstore::set(u"QTVNX"_s, u"Mirel"_s, u"MAC"_s, u"AA:BB"_s));
        QVERIFY(!(QFileInfo(path).permissions() & QFileDevice::ReadOther));
        QCOMPARE(userstore::get(u"QTVNX"_s, u"Mirel"_s, u"MAC"_s), u"AA:BB"_s);
    }

    // What is set comes back exactly: the next automatic login sends this password.
    void keepsValuesExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("password ending in a blank") << u"True◈True◈shop1◈pass1 "_s;
        QTest::newRow("password starting with a blank") << u"True◈True◈shop1◈ pass1"_s;
        QTest::newRow("only blanks") << u"  "_s;
        QTest::newRow("equals signs and semicolons") << u"True◈True◈shop1◈;a=b="_s;
    }
    void keepsValuesExactly()
    {
        QFETCH(QString, value);
        test::TempAppFolder app;
        QVERIFY(userstore::set(u"fsVadn"_s, u"Login"_s, u"A"_s, value));
        QCOMPARE(userstore::get(u"fsVadn"_s, u"Login"_s, u"A"_s), value);
        QVERIFY(userstore::set(u"fsVadn"_s, u"Login"_s, u"B"_s, u"x"_s));
        QCOMPARE(userstore::get(u"fsVadn"_s, u"Login"_s, u"A"_s), value);
    }

    // A link planted in place of the store's folder or file is never followed:
    // nothing is read through it and nothing is written where it points.
    void linksAreNotFollowed_data()
    {
        QTest::addColumn<bool>("linkFolder");
        QTest::newRow("folder is a link") << true;
        QTest::newRow("file is a link") << false;
    }
    void linksAreNotFollowed()
    {
        QFETCH(bool, linkFolder);
        test::TempAppFolder app;
        const QString elsewhere = app.configHome() + u"/elsewhere"_s;
        QVERIFY(QDir().mkpath(elsewhere));
        const QByteArray planted = "[Login]\r\nA=True◈True◈evil◈evil\r\n";
        QVERIFY(test::writeBytes(elsewhere + u"/fsVadn.ini"_s, planted));
        const QString folder = app.configHome() + u"/kavri-display"_s;
        if (linkFolder) {
            QCOMPARE(
                ::symlink(QFile::encodeName(elsewhere).constData(), QFile::encodeName(folder).constData()),
                0);
        } else {
            QVERIFY(QDir().mkpath(folder));
            QCOMPARE(::symlink(QFile::encodeName(elsewhere + u"/fsVadn.ini"_s).constData(),
                               QFile::encodeName(folder + u"/fsVadn.ini"_s).constData()),
                     0);
        }
        QCOMPARE(userstore::get(u"fsVadn"_s, u"Login"_s, u"A"_s), QString());
        QVERIFY(!userstore::set(u"fsVadn"_s, u"Login"_s, u"A"_s, u"True◈True◈shop1◈secret"_s));
        QCOMPARE(test::readBytes(elsewhere + u"/fsVadn.ini"_s), planted);
        QCOMPARE(QDir(elsewhere).entryList(QDir::Files | QDir::Hidden), QStringList{u"fsVadn.ini"_s});
        QVERIFY(QFileInfo(linkFolder ? folder : folder + u"/fsVadn.ini"_s).isSymLink());
        QCOMPARE(QFileInfo(elsewhere).permissions() & QFileDevice::ExeOther, QFileDevice::ExeOther);
    }

    void specialStoreFileIsNotRead()
    {
        test::TempAppFolder app;
        const QString path = userstore::filePath(u"fsVadn"_s);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const int rc =
            test::runInChild([] { return userstore::get(u"fsVadn"_s, u"Login"_s, u"A"_s).isEmpty() ? 0 : 1; },
                             [] { ::alarm(20); });
        QCOMPARE(rc, 0);
        QVERIFY(!userstore::set(u"fsVadn"_s, u"Login"_s, u"A"_s, u"x"_s));
    }

    // Running as root with the store in someone else's folder must not change that folder.
    void foreignFolderKeepsItsMode()
    {
        if (!test::canActAsOtherUser())
            QSKIP("needs root to own a folder as another user");
        test::TempAppFolder app;
        const QString folder = app.configHome() + u"/kavri-display"_s;
        QVERIFY(QDir().mkpath(folder));
        const QByteArray native = QFile::encodeName(folder);
        QCOMPARE(::chown(native.constData(), test::otherUid(), test::otherGid()), 0);
        QCOMPARE(::chmod(native.constData(), 0755), 0);
        QVERIFY(userstore::set(u"QTVNX"_s, u"Mirel"_s, u"MAC"_s, u"AA:BB"_s));
        struct stat st
        {
        };
        QCOMPARE(::stat(native.constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, 0755u);
        QCOMPARE(st.st_uid, test::otherUid());
        QCOMPARE(::stat(QFile::encodeName(userstore::filePath(u"QTVNX"_s)).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, 0600u);
    }

    // A new store is private from its first byte: its folder 0700, its file 0600,
    // whatever the process's umask; a configuration folder made for it is 0700 too.
    void newStoreIsPrivate()
    {
        test::TempAppFolder app;
        const QString configHome = app.configHome() + u"/fresh/.config"_s;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome));
        const mode_t old = ::umask(0);
        const bool ok = userstore::set(u"fsVadn"_s, u"Login"_s, u"A"_s, u"x"_s);
        ::umask(old);
        QVERIFY(ok);
        struct stat st
        {
        };
        for (const QString &made : {app.configHome() + u"/fresh"_s, configHome}) {
            QCOMPARE(::stat(QFile::encodeName(made).constData(), &st), 0);
            QCOMPARE(st.st_mode & 07777, 0700u);
        }
        QCOMPARE(::stat(QFile::encodeName(configHome + u"/kavri-display"_s).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, 0700u);
        QCOMPARE(::stat(QFile::encodeName(userstore::filePath(u"fsVadn"_s)).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, 0600u);
    }

    void deploymentDefaultsAndValues()
    {
        test::TempAppFolder app;
        Deployment d = loadDeployment();
        QCOMPARE(d.secureBase, Deployment::defaultSecureBase());
        QCOMPARE(d.plainBase, Deployment::defaultPlainBase());
        QVERIFY(d.patchServer.isEmpty());
        QCOMPARE(d.serialDevice(1), u"/dev/ttyS0"_s);
        QCOMPARE(d.serialDevice(0), QString());
        QVERIFY(test::writeBytes(app.filePath(u"Deploy.ini"_s),
                                 "[Service]\nSecureBase=https://svc.test:8443/\nPlainBase=\n"
                                 "[Patch]\nServer=patch.test:8080\n[Ports]\nCOM3=/tmp/printer\n"));
        d = loadDeployment();
        QCOMPARE(d.secureBase, u"https://svc.test:8443"_s);
        QCOMPARE(d.plainBase, Deployment::defaultPlainBase()); // empty key: default
        QCOMPARE(d.patchServer, u"patch.test:8080"_s);
        QCOMPARE(d.serialDevice(3), u"/tmp/printer"_s);
        QCOMPARE(d.serialDevice(4), u"/dev/ttyS3"_s);
    }

    // The plain-HTTP retry of the login is on unless the deployment turns it off.
    void deploymentPlainFallback_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("fallback");
        QTest::newRow("no file") << QByteArray() << true;
        QTest::newRow("key missing") << QByteArray("[Service]\nSecureBase=https://svc.test\n") << true;
        QTest::newRow("off") << QByteArray("[Service]\nPlainFallback=0\n") << false;
        QTest::newRow("off in words") << QByteArray("[service]\nplainfallback = False\n") << false;
        QTest::newRow("on") << QByteArray("[Service]\nPlainFallback=1\n") << true;
        QTest::newRow("empty value") << QByteArray("[Service]\nPlainFallback=\n") << true;
    }
    void deploymentPlainFallback()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, fallback);
        test::TempAppFolder app;
        if (!file.isEmpty())
            QVERIFY(test::writeBytes(app.filePath(u"Deploy.ini"_s), file));
        QCOMPARE(loadDeployment().plainFallback, fallback);
    }

    void deploymentFromAFifoIsTheDefault()
    {
        test::TempAppFolder app;
        QCOMPARE(::mkfifo(QFile::encodeName(app.filePath(u"Deploy.ini"_s)).constData(), 0644), 0);
        const int rc = test::runInChild(
            [] { return loadDeployment().secureBase == Deployment::defaultSecureBase() ? 0 : 1; },
            [] { ::alarm(20); });
        QCOMPARE(rc, 0);
    }
};

QTEST_GUILESS_MAIN(TstUserStore)
#include "tst_userstore.moc"
