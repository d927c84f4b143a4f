#include "codec/Cp949.h"
#include "monitor/OptionRules.h"
#include "monitor/PollLoop.h"
#include "monitor/RequestBoard.h"
#include "monitor/RequestCycle.h"
#include "platform/Clock.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "services/WinHttp.h"
#include "support/FileBytes.h"
#include "support/Simulator.h"
#include "support/TestEnvironment.h"

#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::monitor;

class TstOptionRules : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;

    QString stored(const QString &key) const { return ReadINI(u"Set"_s, key, CfgMain.fileName()); }
    QString fileText() const { return codec::fromCp949(test::readBytes(CfgMain.fileName())); }

private slots:
    void init()
    {
        m_env.emplace(QDateTime(QDate(2026, 12, 10), QTime(10, 0)));
        m_env->clock().setTick(7000000);
    }
    void cleanup() { m_env.reset(); }

    void displayDeleteAfter_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("index");
        QTest::addColumn<qint64>("after");
        QTest::newRow("lower from 0 keeps 0") << u"0"_s << 0 << qint64(0);
        QTest::newRow("raise from 0 switches on") << u"0"_s << 1 << qint64(1);
        QTest::newRow("lower") << u"5"_s << 0 << qint64(4);
        QTest::newRow("raise without a limit") << u"120"_s << 1 << qint64(121);
        QTest::newRow("unreadable counts as 0") << u"분"_s << 1 << qint64(1);
        QTest::newRow("negative counts as 0") << u"-3"_s << 0 << qint64(0);
        QTest::newRow("no such button") << u"7"_s << 2 << qint64(7);
    }
    void displayDeleteAfter()
    {
        QFETCH(QString, shown);
        QFETCH(int, index);
        QFETCH(qint64, after);
        QCOMPARE(monitor::displayDeleteAfter(shown, index), after);
    }

    // Each click (a double click is one more) stores the minutes and puts the
    // next poll one full interval away.
    void expiryButtonsStoreTheirKey()
    {
        PollLoop loop([] {});
        QCOMPARE(loop.LastLoopTick(), 0u);
        qint64 shown = 0;
        for (int index : {1, 1, 1, 0})
            shown = stepExpiryMinutes(QString::number(shown), index, &loop);
        QCOMPARE(shown, qint64(2));
        QCOMPARE(stored(u"DisplayDelete"_s), u"2"_s);
        QVERIFY(loop.LastLoopTick() >= 7000000u);
    }

    void position_data()
    {
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("y");
        QTest::addColumn<QPoint>("applied");
        QTest::newRow("numbers") << u"100"_s << u"-20"_s << QPoint(100, -20);
        QTest::newRow("non-numeric x") << u"왼쪽"_s << u"30"_s << QPoint(0, 30);
        QTest::newRow("empty") << QString() << QString() << QPoint(0, 0);
        QTest::newRow("beyond any screen")
            << u"99999999999"_s << u"-99999999"_s << QPoint(kMaxCoordinate, -kMaxCoordinate);
    }
    void position()
    {
        QFETCH(QString, x);
        QFETCH(QString, y);
        QFETCH(QPoint, applied);
        QCOMPARE(Pos적용(x, y), applied);
        QCOMPARE(stored(u"DisplayPosX"_s), QString::number(applied.x()));
        QCOMPARE(stored(u"DisplayPosY"_s), QString::number(applied.y()));
    }

    // A list option: nothing while the window loads; otherwise the key, the
    // layout, one cycle, in that order, and the placement that follows.
    void listOptions()
    {
        test::Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        sim.logIn();
        RequestBoard board;
        RequestCycle cycle(board);
        QStringList steps;
        RequestCycle::Hooks hooks;
        hooks.hideWait = [&] {
            if (steps.isEmpty() || steps.last() != u"cycle"_s)
                steps << u"cycle"_s;
        };
        cycle.setHooks(hooks);
        int resolution = 1;
        int rows = 2;
        auto relayout = [&] {
            steps << u"layout "_s + QString::number(resolution) + u" "_s + QString::number(rows) +
                         u" key "_s + stored(u"ResolutionIDX"_s) + stored(u"DisplayIDX"_s);
            board.setLayout(resolution, rows);
        };

        QCOMPARE(listOptionChanged(ListOption::Resolution, 0, true, resolution, relayout, &cycle),
                 std::nullopt);
        QCOMPARE(listOptionChanged(ListOption::Rows, 0, true, rows, relayout, &cycle), std::nullopt);
        QCOMPARE(resolution, 1);
        QCOMPARE(rows, 2);
        QVERIFY(steps.isEmpty());
        QVERIFY(!QFile::exists(CfgMain.fileName()));

        QCOMPARE(listOptionChanged(ListOption::Resolution, 0, false, resolution, relayout, &cycle),
                 std::optional(Placement::Centre));
        QCOMPARE(listOptionChanged(ListOption::Rows, 1, false, rows, relayout, &cycle),
                 std::optional(Placement::KeepPlace));
        QCOMPARE(listOptionChanged(ListOption::Rows, -1, false, rows, relayout, &cycle),
                 std::optional(Placement::KeepPlace));
        QCOMPARE(steps, (QStringList{u"layout 0 2 key 0"_s, u"cycle"_s, u"layout 0 1 key 01"_s, u"cycle"_s,
                                     u"layout 0 0 key 00"_s, u"cycle"_s}));
        QCOMPARE(board.displayIdx(), 0);
        QCOMPARE(sim.receivedLog().size(), 3);
        gBaseURL.clear();
        winHttpOptions() = platform::HttpOptions{};
    }

    void centredOn_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("full hd, 1024") << QRect(0, 0, 1920, 1080) << QSize(1024, 768) << QPoint(448, 156);
        QTest::newRow("second screen, 1366")
            << QRect(1920, 0, 1366, 768) << QSize(1366, 768) << QPoint(1920, 0);
        QTest::newRow("smaller screen") << QRect(0, 0, 800, 600) << QSize(1024, 768) << QPoint(-112, -84);
    }
    void centredOn()
    {
        QFETCH(QRect, screen);
        QFETCH(QSize, window);
        QFETCH(QPoint, topLeft);
        QCOMPARE(monitor::centredOn(screen, window), topLeft);
    }

    // The icon keys are written as "SET" into the one "Set" section; none stored
    // puts the icon at the top left corner.
    void iconPosition()
    {
        QCOMPARE(readIconPosition(), QPoint(0, 0));
        WriteINI(u"Set"_s, u"DisplayDelete"_s, u"0"_s, CfgMain.fileName());
        storeIconPosition(QPoint(1800, 950));
        QCOMPARE(readIconPosition(), QPoint(1800, 950));
        QCOMPARE(stored(u"MiniIconX"_s), u"1800"_s);
        QCOMPARE(fileText().count(u"["_s), 1);
        WriteINI(u"SET"_s, u"MiniIconX"_s, u"구석"_s, CfgMain.fileName());
        QCOMPARE(readIconPosition(), QPoint(0, 950));
    }
};

QTEST_MAIN(TstOptionRules)
#include "tst_optionrules.moc"
