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
        QTest::newRow("none") << QStringList{} << false << false;
        QTest::newRow("both") << QStringList{u"-developermode"_s, u"-fileprint"_s} << true << true;
        QTest::newRow("mixed case") << QStringList{u"-FilePrint"_s} << false << true;
        QTest::newRow("twice") << QStringList{u"-fileprint"_s, u"-FILEPRINT"_s} << false << true;
        QTest::newRow("double dash") << QStringList{u"--fileprint"_s} << false << false;
        QTest::newRow("appended value") << QStringList{u"-fileprint=1"_s} << false << false;
        QTest::newRow("one item holding both") << QStringList{u"-fileprint -developermode"_s} << true << true;
        QTest::newRow("two spaces") << QStringList{u"-fileprint  -developermode"_s} << true << true;
        QTest::newRow("unknown ignored") << QStringList{u"-x"_s, u"-developermode"_s} << true << false;
    }
    void flags()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, dev);
        QFETCH(bool, file);
        const CommandLineFlags f = parseCommandLine(args);
        QCOMPARE(f.developerMode, dev);
        QCOMPARE(f.filePrint, file);
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
