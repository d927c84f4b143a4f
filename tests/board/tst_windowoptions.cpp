#include "board/MainWindow.h"
#include "board/WindowOutline.h"
#include "monitor/MonitorSession.h"
#include "monitor/OptionRules.h"
#include "platform/Audio.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/gui/ClickLabel.h"
#include "printing/PrinterSettings.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "services/WinHttp.h"
#include "support/BoardFixture.h"
#include "support/Simulator.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using monitor::CaptionPanel;

namespace {

/// A double click as the window system delivers it: press, release, press,
/// double click, release.
void doubleClick(QWidget *widget, QPoint pos = {})
{
    QTest::mousePress(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
    QTest::mousePress(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

} // namespace

// The main window's options, icon mode and confirm button, on a session
// against the simulator, offscreen.
class TstWindowOptions : public QObject
{
    Q_OBJECT
    test::BoardFixture m_board;

    QString stored(const QString &key) const { return ReadINI(u"Set"_s, key, CfgMain.fileName()); }
    template <typename T> T *child(const QString &name) const
    {
        T *c = m_board.window->findChild<T *>(name);
        if (!c)
            qWarning("no control %s", qPrintable(name));
        return c;
    }
    int listRequests() { return m_board.sim->receivedCount(test::Simulator::listPath); }
    QPoint centred() const
    {
        return monitor::centredOn(m_board.window->screen()->geometry(), m_board.window->size());
    }

    void openWindow()
    {
        m_board.open();
        QVERIFY(QTest::qWaitForWindowExposed(m_board.window.get()));
        QTRY_VERIFY(listRequests() >= 1); // the first poll
    }

private slots:
    void init()
    {
        QString error;
        QVERIFY2(m_board.start(&error), qPrintable(error));
    }
    void cleanup() { m_board.stop(); }

    // Each option writes its key. The row count reloads and keeps the window
    // where it is; the width reloads and centres it; the expiry buttons count a
    // double click as one more click and never go below 0.
    void optionsStoreTheirKeys()
    {
        openWindow();
        m_board.window->move(40, 30);
        const int before = listRequests();
        child<QComboBox>(u"cob표시"_s)->setCurrentIndex(2);
        QCOMPARE(stored(u"DisplayIDX"_s), u"2"_s);
        QCOMPARE(m_board.session->board().rowCount(), 30);
        QCOMPARE(listRequests(), before + 1);
        QCOMPARE(m_board.window->pos(), QPoint(40, 30));

        child<QComboBox>(u"cob크기"_s)->setCurrentIndex(1);
        QCOMPARE(stored(u"ResolutionIDX"_s), u"1"_s);
        QCOMPARE(m_board.window->width(), 1366);
        QCOMPARE(listRequests(), before + 2);
        QCOMPARE(m_board.window->pos(), centred());

        auto *lower = child<platform::ClickLabel>(u"삭제변경_0"_s);
        auto *raise = child<platform::ClickLabel>(u"삭제변경_1"_s);
        QTest::mouseClick(lower, Qt::LeftButton);
        QCOMPARE(stored(u"DisplayDelete"_s), u"0"_s);
        doubleClick(raise);
        QCOMPARE(stored(u"DisplayDelete"_s), u"2"_s);
        QCOMPARE(child<QLabel>(u"삭제"_s)->text(), u"2"_s);
        QCOMPARE(m_board.window->shownDisplayDelete(), u"2"_s);
    }

    // A non-numeric position moves the left edge to 0 and stores "0".
    void positionApplied()
    {
        openWindow();
        child<QLineEdit>(u"PosX"_s)->setText(u"왼쪽"_s);
        child<QLineEdit>(u"PosY"_s)->setText(u"120"_s);
        doubleClick(child<platform::ClickLabel>(u"Pos적용"_s));
        QCOMPARE(m_board.window->pos(), QPoint(0, 120));
        QCOMPARE(stored(u"DisplayPosX"_s), u"0"_s);
        QCOMPARE(stored(u"DisplayPosY"_s), u"120"_s);
        QCOMPARE(child<QLineEdit>(u"PosX"_s)->text(), u"0"_s);
    }

    // Into icon mode at the stored corner (none: the top left), on top; out of
    // it the icon's place is stored and the full window comes back centred,
    // whatever "DisplayPosX"/"DisplayPosY" say, with its version label.
    void iconModeRoundTrip()
    {
        WriteINI(u"Set"_s, u"DisplayPosX"_s, u"7"_s, CfgMain.fileName());
        openWindow();
        auto *version = child<QLabel>(u"lbl버전"_s);
        QVERIFY(version->isVisible());
        QTest::mouseClick(child<platform::ClickLabel>(u"lblMinimize"_s), Qt::LeftButton);
        QVERIFY(m_board.window->iconMode());
        QCOMPARE(m_board.window->size(), monitor::kIconSize);
        QCOMPARE(m_board.window->pos(), QPoint(0, 0));
        QVERIFY(m_board.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(m_board.window->isVisible());
        QCOMPARE(m_board.window->mask(), monitor::iconModeRegion());
        QVERIFY(!version->isVisible());

        m_board.window->move(300, 200);
        auto *icon = child<QLabel>(u"picIcon"_s);
        QCOMPARE(icon->size(), monitor::kIconSize);
        doubleClick(icon, QPoint(40, 40));
        QVERIFY(!m_board.window->iconMode());
        QCOMPARE(ReadINI(u"SET"_s, u"MiniIconX"_s, CfgMain.fileName()), u"300"_s);
        QCOMPARE(ReadINI(u"SET"_s, u"MiniIconY"_s, CfgMain.fileName()), u"200"_s);
        QCOMPARE(m_board.window->size(), QSize(1024, monitor::kFullHeight));
        QCOMPARE(m_board.window->pos(), centred());
        QVERIFY(!m_board.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(version->isVisible());

        // Back into icon mode where it was left, by a double click on the version.
        doubleClick(version, QPoint(20, 8));
        QVERIFY(m_board.window->iconMode());
        QCOMPARE(m_board.window->pos(), QPoint(300, 200));
    }

    // A second start of the program brings the board to the front, whatever hides it.
    void secondStartShowsTheBoard_data()
    {
        QTest::addColumn<QString>("hidden");
        QTest::newRow("icon mode") << u"icon"_s;
        QTest::newRow("minimised") << u"minimised"_s;
        QTest::newRow("behind another window") << u"behind"_s;
    }
    void secondStartShowsTheBoard()
    {
        QFETCH(QString, hidden);
        openWindow();
        QWidget other;
        if (hidden == u"icon"_s) {
            m_board.window->ToggleFAB(true);
            QVERIFY(m_board.window->iconMode());
        } else if (hidden == u"minimised"_s) {
            m_board.window->showMinimized();
            QTRY_VERIFY(m_board.window->isMinimized());
        } else {
            other.resize(1200, 900);
            other.show();
            other.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &other);
        }
        m_board.window->bringToFront();
        QVERIFY(!m_board.window->iconMode());
        QCOMPARE(m_board.window->size(), QSize(1024, monitor::kFullHeight));
        QVERIFY(!m_board.window->isMinimized());
        QVERIFY(m_board.window->isVisible());
        // The window system's focus: the one thing a second start can ask of it.
        QTRY_COMPARE(QGuiApplication::focusWindow(), m_board.window->windowHandle());
        // Staff left icon mode by hand here: where the icon was is stored as usual.
        if (hidden == u"icon"_s)
            QCOMPARE(ReadINI(u"SET"_s, u"MiniIconX"_s, CfgMain.fileName()), u"0"_s);
    }

    // Clicks on a row's cells mark it (a double click is one click), the button
    // shows with its frame, takes its press colours, and confirms.
    void rowsAndTheConfirmButton()
    {
        const qint64 number = m_board.sim->addRequest(test::Simulator::shopId, u"1층/1"_s, u"물"_s, {},
                                                      u"2026-12-10 11:59:00"_s);
        openWindow();
        QTRY_COMPARE(m_board.session->board().row(0).table, u"1층/1"_s);
        auto *cmd = child<CaptionPanel>(u"CMD_0"_s);
        auto *frame = child<QWidget>(u"SHP_0"_s);
        QVERIFY(!cmd->isVisible());
        QTest::mouseClick(child<CaptionPanel>(u"sspRequest_1"_s), Qt::LeftButton); // empty row
        QVERIFY(!cmd->isVisible());
        doubleClick(child<CaptionPanel>(u"sspTable_0"_s));
        QVERIFY(m_board.session->board().row(0).marked);
        QCOMPARE(child<CaptionPanel>(u"sspCheck_0"_s)->caption(), u"v"_s);
        QVERIFY(cmd->isVisible());
        QVERIFY(frame->isVisible());
        QTest::mouseClick(child<CaptionPanel>(u"sspNO_0"_s), Qt::LeftButton);
        QVERIFY(!cmd->isVisible());
        QTest::mouseClick(child<CaptionPanel>(u"sspCheck_0"_s), Qt::LeftButton);
        QVERIFY(cmd->isVisible());

        QTest::mousePress(cmd, Qt::LeftButton);
        QCOMPARE(cmd->foreground(), QColor(0, 141, 238));
        QCOMPARE(cmd->background(), QColor(Qt::white));
        m_board.sim->clearLog();
        QTest::mouseRelease(cmd, Qt::LeftButton);
        QCOMPARE(cmd->foreground(), QColor(Qt::white));
        QCOMPARE(m_board.sim->receivedLog().first().body,
                 (u"ID=shop1&PassWord=pass1&numt="_s + QString::number(number)).toUtf8());
        QVERIFY(!cmd->isVisible());
        QVERIFY(!frame->isVisible());
        QCOMPARE(m_board.session->board().row(0).table, QString());
    }
};

QTEST_MAIN(TstWindowOptions)
#include "tst_windowoptions.moc"
