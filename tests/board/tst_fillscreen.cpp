#include "board/CaptionPanel.h"
#include "board/MainWindow.h"
#include "monitor/BoardGeometry.h"
#include "monitor/OptionRules.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "support/BoardFixture.h"
#include "support/TestEnvironment.h"

#include <QComboBox>
#include <QScreen>
#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using monitor::CaptionPanel;

// The fill choice on a 1920x1080 screen: the chosen layout drawn as a whole at the
// scale that fills the screen, and given back exactly when the choice is left.
class TstFillScreen : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;

    std::unique_ptr<frmAlarm> makeWindow()
    {
        auto w = std::make_unique<frmAlarm>();
        w->setEndProcess([](int) {});
        w->show();
        return w;
    }
    static QString stored(const QString &key) { return ReadINI(u"Set"_s, key, monitor::settingsFilePath()); }
    static QRect scaled(const QRect &design, qreal s, const QPoint &offset)
    {
        return QRect(QPoint(qRound(design.x() * s), qRound(design.y() * s)) + offset,
                     QSize(qRound(design.width() * s), qRound(design.height() * s)));
    }

private slots:
    void init()
    {
        m_env.emplace();
        gStoreName = u"카브리 테스트점"_s;
    }
    void cleanup() { m_env.reset(); }

    void choosingAndLeavingTheFill_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::newRow("1024") << 0;
        QTest::newRow("1366") << 1;
    }
    void choosingAndLeavingTheFill()
    {
        QFETCH(int, resolution);
        test::writeSetSection({u"ResolutionIDX=%1"_s.arg(resolution), u"DisplayIDX=0"_s});
        auto w = makeWindow();
        const monitor::BoardGeometry g = monitor::boardGeometry(resolution, 0);
        auto *banner = w->findChild<CaptionPanel *>(u"lblRequest"_s);
        auto *cell = w->findChild<CaptionPanel *>(u"sspRequest_0"_s);
        // No key: the layout as it always was.
        QCOMPARE(w->size(), QSize(g.windowWidth, 768));
        QCOMPARE(banner->geometry(), g.lblRequest);
        w->board().fill({{u"1"_s, u"A-1"_s, u"2026-12-10 12:00:00"_s, u"물 좀 더 주세요"_s, {}}});
        const qreal designPoints = cell->captionLayout().font.pointSizeF();

        auto *width = w->findChild<QComboBox *>(u"cob크기"_s);
        width->setCurrentIndex(resolution + 2);
        QCOMPARE(stored(u"DisplayFill"_s), u"1"_s);
        QCOMPARE(stored(u"ResolutionIDX"_s), QString::number(resolution));
        const QRect screen = w->screen()->geometry();
        QCOMPARE(w->geometry(), screen);
        const qreal s = monitor::fillScale({g.windowWidth, 768}, screen.size());
        QVERIFY(s > 1.3);
        const QPoint offset((screen.width() - qRound(g.windowWidth * s)) / 2,
                            (screen.height() - qRound(768 * s)) / 2);
        QCOMPARE(banner->geometry(), scaled(g.lblRequest, s, offset));
        QCOMPARE(cell->geometry(), scaled(g.cells[0][monitor::BoardGeometry::Request], s, offset));
        w->board().fill({{u"1"_s, u"A-1"_s, u"2026-12-10 12:00:00"_s, u"물 좀 더 주세요"_s, {}}});
        QVERIFY(cell->captionLayout().font.pointSizeF() > designPoints * 1.3);
        // Every part stays on the screen.
        for (const char *name : {"picFrame", "lblHealth", "sspCheck_9", "lblOpenCount"})
            QVERIFY2(w->rect().contains(w->findChild<QWidget *>(QString::fromLatin1(name))->geometry()),
                     name);

        // Icon mode and back keeps the fill.
        w->ToggleFAB(true);
        QCOMPARE(w->size(), monitor::kIconSize);
        w->ToggleFAB(false);
        QCOMPARE(w->geometry(), screen);
        QCOMPARE(banner->geometry(), scaled(g.lblRequest, s, offset));

        // The plain choice gives the design back, to the pixel.
        width->setCurrentIndex(resolution);
        QCOMPARE(stored(u"DisplayFill"_s), u"0"_s);
        QCOMPARE(w->size(), QSize(g.windowWidth, 768));
        QCOMPARE(banner->geometry(), g.lblRequest);
        QCOMPARE(cell->geometry(), g.cells[0][monitor::BoardGeometry::Request]);
        QCOMPARE(w->findChild<QWidget *>(u"picFrame"_s)->geometry().topLeft(), QPoint(g.picFrameLeft, 10));
        QCOMPARE(cell->captionLayout().font.pointSizeF(), designPoints);
    }

    // A stored choice fills at the start; the other width is filled as well.
    void storedChoiceAtStart()
    {
        test::writeSetSection({u"ResolutionIDX=1"_s, u"DisplayIDX=2"_s, u"DisplayFill=1"_s});
        auto w = makeWindow();
        QCOMPARE(w->geometry(), w->screen()->geometry());
        QCOMPARE(w->findChild<QComboBox *>(u"cob크기"_s)->currentText(), u"1366 맞춤"_s);
        w->findChild<QComboBox *>(u"cob크기"_s)->setCurrentIndex(2);
        QCOMPARE(stored(u"ResolutionIDX"_s), u"0"_s);
        QCOMPARE(w->geometry(), w->screen()->geometry());
        const QRect cell = w->findChild<QWidget *>(u"sspCheck_29"_s)->geometry();
        QVERIFY(cell.bottom() >= w->height() - 2);
    }
};

QTEST_MAIN(TstFillScreen)
#include "tst_fillscreen.moc"
