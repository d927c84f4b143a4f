#include "platform/Clock.h"
#include "services/Housekeeping.h"
#include "support/FileBytes.h"
#include "support/ManualClock.h"
#include "support/TempAppFolder.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

QStringList makeDailyFiles(const test::TempAppFolder &app, int count, const QString &suffix)
{
    QStringList names;
    const QDate first(2026, 1, 1);
    for (int i = 0; i < count; ++i) {
        const QString name = first.addDays(i).toString(u"yyMMdd"_s) + suffix;
        test::writeBytes(app.filePath(name), "x");
        names.append(name);
    }
    return names;
}

QStringList filesIn(const test::TempAppFolder &app)
{
    return QDir(app.path()).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TstHousekeeping : public QObject
{
    Q_OBJECT
private slots:
    void trimsToTwentyOneNewest_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("deleted");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("21 kept") << 21 << 0;
        QTest::newRow("22 drops oldest") << 22 << 1;
        QTest::newRow("25 drops four") << 25 << 4;
    }
    void trimsToTwentyOneNewest()
    {
        QFETCH(int, count);
        QFETCH(int, deleted);
        test::TempAppFolder app;
        const QStringList mains = makeDailyFiles(app, count, u".log"_s);
        const QStringList prints = makeDailyFiles(app, 30, u"_PRN.log"_s);
        const QStringList hours = makeDailyFiles(app, 3, u"_WinHttp_Req_09.log"_s);
        QVERIFY(로그_파일_삭제(u"??????.log"_s));
        QStringList expected = mains.mid(deleted) + prints + hours;
        expected.sort();
        QCOMPARE(filesIn(app), expected);
    }

    void deletesReadOnlyFiles()
    {
        test::TempAppFolder app;
        const QStringList mains = makeDailyFiles(app, 22, u"_WinHttp.log"_s);
        QFile::setPermissions(app.filePath(mains.first()), QFileDevice::ReadOwner);
        로그_파일_삭제(u"??????_WinHttp.log"_s);
        QCOMPARE(filesIn(app), mains.mid(1));
    }

    void questionMarkIsExactlyOneCharacter()
    {
        test::TempAppFolder app;
        makeDailyFiles(app, 25, u"_WinHttp_Req_1.log"_s); // one digit of hour: matches no pattern
        로그_파일_삭제(u"??????_WinHttp_Req_??.log"_s);
        QCOMPARE(filesIn(app).size(), 25);
    }

    void delayWaitsAndRunsEvents()
    {
        bool fired = false;
        QTimer::singleShot(20, [&] { fired = true; });
        QElapsedTimer t;
        t.start();
        const quint32 before = GetTick();
        Delay(100);
        QVERIFY(GetTick() - before > 100);
        QVERIFY(t.elapsed() >= 100);
        QVERIFY(fired);
    }

    void delayAcrossTickWrap()
    {
        platform::ManualClock clock;
        clock.setTick(0xFFFFFFFFu - 30);
        platform::setClock(&clock);
        const quint32 before = GetTick();
        Delay(80);
        const quint32 after = GetTick();
        platform::setClock(nullptr);
        QVERIFY(after < before); // wrapped
        QVERIFY(after - before > 80);
    }

    void fileExists()
    {
        test::TempAppFolder app;
        QVERIFY(test::writeBytes(app.filePath(u"a.txt"_s), "x"));
        QVERIFY(FileExists(app.filePath(u"a.txt"_s)));
        QVERIFY(!FileExists(app.filePath(u"b.txt"_s)));
        QVERIFY(!FileExists(app.path())); // a folder is no file
        QVERIFY(!FileExists(QString()));
    }

    void findsAndEndsProcessByName()
    {
        // A copy of sleep under a name of our own, so no other process on the machine matches.
        test::TempAppFolder app;
        const QString sleep = QStandardPaths::findExecutable(u"sleep"_s);
        QVERIFY(!sleep.isEmpty());
        const QString exe = app.filePath(u"Kavri-Sleeper.bin"_s);
        QVERIFY(QFile::copy(sleep, exe));
        QFile::setPermissions(exe, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QCOMPARE(IsProcessExist(u"kavri-sleeper.bin"_s), qint64(0));
        QProcess child;
        child.start(exe, {u"30"_s});
        QVERIFY(child.waitForStarted());
        QCOMPARE(IsProcessExist(u"KAVRI-SLEEPER.BIN"_s), child.processId());
        child.kill();
        QVERIFY(child.waitForFinished(5000));
        QCOMPARE(IsProcessExist(u"kavri-sleeper.bin"_s), qint64(0));
    }

    void quickSort_data()
    {
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<qsizetype>("first");
        QTest::addColumn<qsizetype>("last");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("whole") << QStringList{u"b"_s, u"가"_s, u"A"_s, u"a"_s} << qsizetype(-2)
                               << qsizetype(-2) << QStringList{u"A"_s, u"a"_s, u"b"_s, u"가"_s};
        QTest::newRow("range") << QStringList{u"z"_s, u"c"_s, u"b"_s, u"a"_s} << qsizetype(1) << qsizetype(2)
                               << QStringList{u"z"_s, u"b"_s, u"c"_s, u"a"_s};
        QTest::newRow("empty") << QStringList{} << qsizetype(-2) << qsizetype(-2) << QStringList{};
    }
    void quickSort()
    {
        QFETCH(QStringList, input);
        QFETCH(qsizetype, first);
        QFETCH(qsizetype, last);
        QFETCH(QStringList, expected);
        QuickSort(input, first, last);
        QCOMPARE(input, expected);
    }

    void tableNameSortKey_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::newRow("seven") << u"테이블7"_s << u"A테이블0000000007"_s;
        QTest::newRow("twelve") << u"테이블12"_s << u"A테이블0000000012"_s;
        QTest::newRow("digits only") << u"12"_s << u"A0000000012"_s;
        QTest::newRow("no trailing number") << u"창가"_s << QString();
        QTest::newRow("long tail unchanged") << u"T123456789012"_s << u"AT123456789012"_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void tableNameSortKey()
    {
        QFETCH(QString, name);
        QFETCH(QString, key);
        QCOMPARE(TableNameSortKey(name), key);
    }

    void sortKeysOrderNumbersByValue()
    {
        QStringList keys{TableNameSortKey(u"테이블10"_s), TableNameSortKey(u"테이블2"_s),
                         TableNameSortKey(u"바"_s)};
        QuickSort(keys);
        QCOMPARE(keys, (QStringList{QString(), u"A테이블0000000002"_s, u"A테이블0000000010"_s}));
    }
};

QTEST_GUILESS_MAIN(TstHousekeeping)
#include "tst_housekeeping.moc"
