// The notice of a newer program installed over the running one, on real files
// replaced the way a package upgrade replaces them.
#include "platform/ExecutableWatch.h"
#include "support/FileBytes.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <iostream>
#include <string>

using namespace Qt::StringLiterals;
using kavri::platform::ExecutableWatch;

namespace {

/// Puts a new file at `path` the way dpkg does: written beside it, then renamed over it.
bool renameNewFileOver(const QString &path, const QByteArray &bytes)
{
    const QString beside = path + u".dpkg-new"_s;
    return kavri::test::writeBytes(beside, bytes) &&
           ::rename(QFile::encodeName(beside).constData(), QFile::encodeName(path).constData()) == 0;
}

} // namespace

class TstExecutableWatch : public QObject
{
    Q_OBJECT
private slots:
    void changesOnDisk_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("unchanged") << u"none"_s << false;
        QTest::newRow("new file renamed over it") << u"rename"_s << true;
        QTest::newRow("removed") << u"remove"_s << false;
        QTest::newRow("removed, then a new one written") << u"remove and write"_s << true;
        QTest::newRow("rewritten in place") << u"rewrite"_s << false;
    }
    void changesOnDisk()
    {
        QFETCH(QString, change);
        QFETCH(bool, replaced);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"kavri-display"_s);
        QVERIFY(kavri::test::writeBytes(path, "old version"));
        const ExecutableWatch watch(path);
        QVERIFY(!watch.replaced());
        // Held open as a running program holds its file, so its inode is not handed on.
        QFile running(path);
        QVERIFY(running.open(QIODevice::ReadOnly));
        if (change == u"rename"_s)
            QVERIFY(renameNewFileOver(path, "new version"));
        else if (change == u"remove"_s)
            QVERIFY(QFile::remove(path));
        else if (change == u"remove and write"_s)
            QVERIFY(QFile::remove(path) && kavri::test::writeBytes(path, "new version"));
        else if (change == u"rewrite"_s)
            QVERIFY(kavri::test::writeBytes(path, "new version"));
        QCOMPARE(watch.replaced(), replaced);
        QCOMPARE(watch.path(), path);
    }

    void missingFromTheStartIsNeverReplaced()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"kavri-display"_s);
        const ExecutableWatch watch(path);
        QVERIFY(kavri::test::writeBytes(path, "new version"));
        QVERIFY(!watch.replaced());
    }

    // A copy of this program runs from a temporary folder while a new file is
    // renamed over it: the copy sees it through its own /proc/self/exe.
    void runningProgramSeesItsFileReplaced()
    {
        QTemporaryDir dir;
        const QString copy = dir.filePath(u"kavri-display"_s);
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
        QProcess child;
        child.start(copy, {u"--watch-self"_s});
        QVERIFY(child.waitForReadyRead(10000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("path=") + QFile::encodeName(copy));
        auto ask = [&child] {
            child.write("\n");
            return child.waitForReadyRead(10000) ? child.readLine().trimmed() : QByteArray();
        };
        QCOMPARE(ask(), QByteArray("replaced=0"));
        QVERIFY(renameNewFileOver(copy, kavri::test::readBytes(QCoreApplication::applicationFilePath())));
        QCOMPARE(ask(), QByteArray("replaced=1"));
        child.closeWriteChannel();
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitCode(), 0);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], "--watch-self") == 0) {
        const ExecutableWatch watch = ExecutableWatch::runningProgram();
        std::cout << "path=" << QFile::encodeName(watch.path()).constData() << std::endl;
        for (std::string line; std::getline(std::cin, line);)
            std::cout << "replaced=" << (watch.replaced() ? 1 : 0) << std::endl;
        return 0;
    }
    TstExecutableWatch tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_executablewatch.moc"
