#include "services/Deployment.h"
#include "services/UserStore.h"
#include "support/FileBytes.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>

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
        struct stat st{};
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
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
        QVERIFY(userstore::set(u"QTVNX"_s, u"Mirel"_s, u"MAC"_s, u"AA:BB"_s));
        QVERIFY(!(QFileInfo(path).permissions() & QFileDevice::ReadOther));
        QCOMPARE(userstore::get(u"QTVNX"_s, u"Mirel"_s, u"MAC"_s), u"AA:BB"_s);
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
};

QTEST_GUILESS_MAIN(TstUserStore)
#include "tst_userstore.moc"
