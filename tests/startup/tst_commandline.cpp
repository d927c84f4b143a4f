#include "services/ProcessValues.h"
#include "startup/CommandLine.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri;

class TstCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void flags_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("dev");
        QTest::addColumn<bool>("file");
        QTest::addColumn<QStringList>("unknown");
        QTest::newRow("none") << QStringList{} << false << false << QStringList{};
        QTest::newRow("both") << QStringList{u"-developermode"_s, u"-fileprint"_s} << true << true
                              << QStringList{};
        QTest::newRow("mixed case") << QStringList{u"-FilePrint"_s} << false << true << QStringList{};
        QTest::newRow("twice") << QStringList{u"-fileprint"_s, u"-FILEPRINT"_s} << false << true
                               << QStringList{};
        QTest::newRow("double dash") << QStringList{u"--fileprint"_s} << false << false
                                     << QStringList{u"--fileprint"_s};
        QTest::newRow("appended value")
            << QStringList{u"-fileprint=1"_s} << false << false << QStringList{u"-fileprint=1"_s};
        QTest::newRow("one item holding both")
            << QStringList{u"-fileprint -developermode"_s} << true << true << QStringList{};
        QTest::newRow("two spaces") << QStringList{u"-fileprint  -developermode"_s} << true << true
                                    << QStringList{};
        QTest::newRow("hand-over argument is known")
            << QStringList{u"/a"_s} << false << false << QStringList{};
        QTest::newRow("unknown ignored")
            << QStringList{u"-x"_s, u"-developermode"_s} << true << false << QStringList{u"-x"_s};
    }
    void flags()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, dev);
        QFETCH(bool, file);
        QFETCH(QStringList, unknown);
        const CommandLineFlags f = parseCommandLine(args);
        QCOMPARE(f.developerMode, dev);
        QCOMPARE(f.filePrint, file);
        QCOMPARE(f.unknown, unknown);
    }

    // A shortcut with a flood of arguments gets a bounded number of log lines.
    void unknownItemsAreBounded()
    {
        QStringList many;
        for (int i = 0; i < 1000; ++i)
            many << u"-x%1"_s.arg(i);
        const CommandLineFlags f = parseCommandLine(many);
        QCOMPARE(f.unknown.size(), 16);
        QCOMPARE(f.unknown.first(), u"-x0"_s);
    }

    void setsProcessFlags()
    {
        gDevMode = false;
        gFilePrint = false;
        QVERIFY(Main_Command_Argument_취득({u"-fileprint"_s}));
        QVERIFY(gFilePrint);
        QVERIFY(!gDevMode);
        gFilePrint = false;
    }
};

QTEST_GUILESS_MAIN(TstCommandLine)
#include "tst_commandline.moc"
