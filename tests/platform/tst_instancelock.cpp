#include "platform/InstanceLock.h"
#include "support/ChildProcess.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>

#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using kavri::platform::InstanceLock;

class TstInstanceLock : public QObject
{
    Q_OBJECT
private slots:
    void oneHolderAtATime()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"lock"_s);
        {
            InstanceLock first;
            QCOMPARE(first.acquire(path), InstanceLock::Result::Acquired);
            InstanceLock second;
            QCOMPARE(second.acquire(path), InstanceLock::Result::HeldByAnother);
            // Another folder is another lock.
            InstanceLock elsewhere;
            QCOMPARE(elsewhere.acquire(dir.filePath(u"other"_s)), InstanceLock::Result::Acquired);
        }
        InstanceLock afterRelease;
        QCOMPARE(afterRelease.acquire(path), InstanceLock::Result::Acquired);
    }

    void lockOfAKilledProcessIsFree()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"lock"_s);
        // This test program itself, started with --hold, plays the other copy.
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(), {u"--hold"_s, path});
        QVERIFY(holder.waitForReadyRead(5000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
        {
            InstanceLock mine;
            QCOMPARE(mine.acquire(path), InstanceLock::Result::HeldByAnother);
        }
        holder.kill(); // a crash: no clean-up of its own runs
        QVERIFY(holder.waitForFinished(5000));
        InstanceLock mine;
        QCOMPARE(mine.acquire(path), InstanceLock::Result::Acquired);
    }

    // A lock file we may only read (left by another user, say a first start as
    // root) still keeps a second copy out.
    void readOnlyLockFileStillLocks()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"lock"_s);
        {
            InstanceLock maker;
            QCOMPARE(maker.acquire(path), InstanceLock::Result::Acquired);
        }
        const QByteArray native = QFile::encodeName(path);
        QCOMPARE(::chmod(native.constData(), 0444), 0);
        auto tryLock = [path] {
            InstanceLock lock;
            switch (lock.acquire(path)) {
            case InstanceLock::Result::Acquired:
                return 0;
            case InstanceLock::Result::HeldByAnother:
                return 1;
            default:
                return 2;
            }
        };
        if (kavri::test::canActAsOtherUser()) {
            // Root may open anything: "nobody" plays the user who may only read.
            QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
            QCOMPARE(kavri::test::runAsOtherUser(tryLock), 0);
            InstanceLock first;
            QCOMPARE(first.acquire(path), InstanceLock::Result::Acquired);
            QCOMPARE(kavri::test::runAsOtherUser(tryLock), 1);
        } else {
            InstanceLock first;
            QCOMPARE(first.acquire(path), InstanceLock::Result::Acquired);
            QCOMPARE(tryLock(), 1);
        }
    }

    void unwritablePathFails()
    {
        InstanceLock lock;
        QCOMPARE(lock.acquire(u"/nonexistent-folder/lock"_s), InstanceLock::Result::Failed);
        QVERIFY(!lock.errorText().isEmpty());
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0) {
        static InstanceLock lock;
        if (lock.acquire(QString::fromLocal8Bit(argv[2])) != InstanceLock::Result::Acquired)
            return 2;
        std::printf("held\n");
        std::fflush(stdout);
        QThread::sleep(60);
        return 0;
    }
    TstInstanceLock tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_instancelock.moc"
