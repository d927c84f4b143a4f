#include "board/MainWindow.h"
#include "codec/Cp949.h"
#include "monitor/MonitorSession.h"
#include "monitor/OptionRules.h"
#include "monitor/WindowOptions.h"
#include "platform/Audio.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/gui/ClickLabel.h"
#include "platform/gui/ScreenPlacement.h"
#include "printersettings/PrinterSettingsWindow.h"
#include "printing/PrinterSettings.h"
#include "services/EventLog.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "services/WinHttp.h"
#include "support/BoardFixture.h"
#include "support/FileBytes.h"
#include "support/Simulator.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

void doubleClick(QWidget *widget, QPoint pos = {})
{
    QTest::mousePress(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
    QTest::mousePress(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

/// The whole window lies inside the screen's available area.
bool onScreen(const QWidget &w)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    return area.contains(w.frameGeometry());
}

} // namespace

// Windows on a 1024 by 768 screen (the offscreen platform is given that size):
// no window is ever placed partly off the screen; the stored positions stay as stored.
class TstSmallScreen : public QObject
{
    Q_OBJECT
    test::BoardFixture m_board;

    QString stored(const QString &key) const { return ReadINI(u"Set"_s, key, CfgMain.fileName()); }
    int clampLines() const
    {
        const QString log =
            codec::fromCp949(test::readBytes(logFilePath(m_board.env->clock().now(), LogChannel::Main)));
        return int(log.count(u"창 위치를 화면 안으로 옮김: frmAlarm"_s));
    }
    int narrowLines() const
    {
        const QString log =
            codec::fromCp949(test::readBytes(logFilePath(m_board.env->clock().now(), LogChannel::Main)));
        return int(log.count(u"화면이 좁아 1366 배치 대신 1024 배치로 표시"_s));
    }
    void openWindow()
    {
        m_board.open();
        QVERIFY(QTest::qWaitForWindowExposed(m_board.window.get()));
        QTRY_VERIFY(!m_board.session->cycle().isRunning());
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 1024, 768));
    }

    // The clamp: a window that fits keeps what it can of its place; one larger
    // than the area starts at the area's left or top edge.
    void keptOnScreen_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QPoint>("placed");
        const QRect small(0, 0, 1024, 768);
        QTest::newRow("inside") << small << QRect(10, 20, 370, 136) << QPoint(10, 20);
        QTest::newRow("exact fit") << small << QRect(0, 0, 1024, 768) << QPoint(0, 0);
        QTest::newRow("1366 centred") << small << QRect(-171, 0, 1366, 768) << QPoint(0, 0);
        QTest::newRow("1366 right") << small << QRect(200, 0, 1366, 768) << QPoint(0, 0);
        QTest::newRow("off the left") << small << QRect(-300, 100, 500, 300) << QPoint(0, 100);
        QTest::newRow("off the right") << small << QRect(900, 100, 500, 300) << QPoint(524, 100);
        QTest::newRow("off the bottom") << small << QRect(10, 700, 85, 81) << QPoint(10, 687);
        QTest::newRow("off the top") << small << QRect(10, -40, 85, 81) << QPoint(10, 0);
        QTest::newRow("far away") << small << QRect(32767, 32767, 85, 81) << QPoint(939, 687);
        QTest::newRow("too high") << small << QRect(100, 50, 500, 900) << QPoint(100, 0);
        QTest::newRow("panel at the top")
            << QRect(0, 30, 1920, 1050) << QRect(40, 0, 1024, 768) << QPoint(40, 30);
        QTest::newRow("second screen")
            << QRect(1920, 0, 1024, 768) << QRect(1749, 0, 1366, 768) << QPoint(1920, 0);
        QTest::newRow("second screen, inside")
            << QRect(1920, 0, 1280, 1024) << QRect(2000, 100, 1024, 768) << QPoint(2000, 100);
    }
    void keptOnScreen()
    {
        QFETCH(QRect, area);
        QFETCH(QRect, window);
        QFETCH(QPoint, placed);
        QCOMPARE(platform::keptOnScreen(area, window), placed);
    }

    void layoutForScreen_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("available");
        QTest::addColumn<int>("shown");
        QTest::newRow("wide on 1024") << 1 << 1024 << 0;
        QTest::newRow("wide on 1365") << 1 << 1365 << 0;
        QTest::newRow("wide on 1366") << 1 << 1366 << 1;
        QTest::newRow("wide on 1920") << 1 << 1920 << 1;
        QTest::newRow("narrow on 800") << 0 << 800 << 0;
        QTest::newRow("wide, width unknown") << 1 << 0 << 1;
    }
    void layoutForScreen()
    {
        QFETCH(int, stored);
        QFETCH(int, available);
        QFETCH(int, shown);
        QCOMPARE(monitor::layoutForScreen(stored, available), shown);
    }

    void init()
    {
        QString error;
        QVERIFY2(m_board.start(&error), qPrintable(error));
    }
    void cleanup() { m_board.stop(); }

    // The 1366 layout does not fit a 1024 screen: the board shows the 1024 layout,
    // whole and on the screen wherever the keys put it, and says so once. The keys
    // stay as stored; the same change is logged once, however often it happens.
    void mainWindowStaysOnScreen()
    {
        WriteINI(u"Set"_s, u"DisplayPosX"_s, u"-171"_s, CfgMain.fileName());
        WriteINI(u"Set"_s, u"DisplayPosY"_s, u"40"_s, CfgMain.fileName());
        WriteINI(u"Set"_s, u"ResolutionIDX"_s, u"1"_s, CfgMain.fileName());
        openWindow();
        QCOMPARE(m_board.window->width(), 1024);
        QVERIFY(onScreen(*m_board.window));
        QCOMPARE(m_board.window->pos(), QPoint(0, 0));
        QCOMPARE(stored(u"DisplayPosX"_s), u"-171"_s);
        QCOMPARE(stored(u"DisplayPosY"_s), u"40"_s);
        QCOMPARE(stored(u"ResolutionIDX"_s), u"1"_s);
        QCOMPARE(m_board.window->findChild<QLineEdit *>(u"PosX"_s)->text(), u"-171"_s);
        QCOMPARE(clampLines(), 1);
        QCOMPARE(narrowLines(), 1);
        // The board says it too, where staff look, not only the log.
        QCOMPARE(m_board.window->findChild<QLabel *>(u"lbl버전"_s)->text(),
                 u"화면이 좁아 1024 배치로 표시 중"_s);

        auto *width = m_board.window->findChild<QComboBox *>(u"cob크기"_s);
        for (int i = 0; i < 3; ++i) {
            width->setCurrentIndex(0);
            QCOMPARE(m_board.window->width(), 1024);
            QVERIFY(onScreen(*m_board.window));
            width->setCurrentIndex(1);
            QCOMPARE(m_board.window->width(), 1024);
            QVERIFY(onScreen(*m_board.window));
            QCOMPARE(stored(u"ResolutionIDX"_s), u"1"_s);
        }
        QCOMPARE(narrowLines(), 1);

        // A position entered in the frame is stored as entered and applied within the screen.
        m_board.window->findChild<QLineEdit *>(u"PosX"_s)->setText(u"500"_s);
        m_board.window->findChild<QLineEdit *>(u"PosY"_s)->setText(u"300"_s);
        doubleClick(m_board.window->findChild<platform::ClickLabel *>(u"Pos적용"_s));
        QCOMPARE(stored(u"DisplayPosX"_s), u"500"_s);
        QCOMPARE(stored(u"DisplayPosY"_s), u"300"_s);
        QCOMPARE(m_board.window->pos(), QPoint(0, 0));
    }

    // The icon of icon mode comes back within the screen, its stored place kept.
    void iconStaysOnScreen()
    {
        WriteINI(u"SET"_s, u"MiniIconX"_s, u"1500"_s, CfgMain.fileName());
        WriteINI(u"SET"_s, u"MiniIconY"_s, u"-20"_s, CfgMain.fileName());
        openWindow();
        QTest::mouseClick(m_board.window->findChild<platform::ClickLabel *>(u"lblMinimize"_s),
                          Qt::LeftButton);
        QVERIFY(m_board.window->iconMode());
        QCOMPARE(m_board.window->pos(), QPoint(1024 - monitor::kIconSize.width(), 0));
        QCOMPARE(ReadINI(u"SET"_s, u"MiniIconX"_s, CfgMain.fileName()), u"1500"_s);
    }

    // The printer settings window opened from a main window at the edge starts on the screen too.
    void settingsWindowStaysOnScreen()
    {
        WriteINI(u"Set"_s, u"ResolutionIDX"_s, u"1"_s, CfgMain.fileName());
        openWindow();
        m_board.window->move(-171, 0); // dragged there by hand
        m_board.window->lblConfig_Click();
        PrinterSettingsWindow *settings = m_board.window->settingsWindow();
        QVERIFY(settings);
        QTRY_VERIFY(settings->isVisible());
        QVERIFY(onScreen(*settings));
        QCOMPARE(settings->pos().x(), 0);
        QTRY_VERIFY(!settings->busy());
        settings->lblTerminate_Click();
        QTRY_VERIFY(m_board.window->isVisible());
        QVERIFY(m_board.window->pos().x() >= 0);
    }
};

QTEST_MAIN(TstSmallScreen)
#include "tst_smallscreen.moc"
