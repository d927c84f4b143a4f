#include "board/MainWindow.h"
#include "codec/Cp949.h"
#include "printing/PrinterSettings.h"
#include "services/Settings.h"
#include "startup/LoginFollowUp.h"
#include "support/FileBytes.h"
#include "support/TempAppFolder.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace kavri;

class TstLoginFollowUp : public QObject
{
    Q_OBJECT
private slots:
    // After a login the tickets must use what the shop saved, not what the record held before.
    void loadsThePrinterSettings()
    {
        test::TempAppFolder app;
        QVERIFY(test::writeBytes(app.filePath(u"Zarazo.cfg"_s),
                                 codec::toCp949(u"[프린터]\r\n이름0=주방\r\n포트0=3\r\n통신속도0=4\r\n"
                                                u"주문서_출력수=2\r\n선택된테이블=-[A1]--[A2]-\r\n"_s)));
        CfgMain.setFileName(app.filePath(u"Zarazo.cfg"_s));
        gPrinterSettings = PrinterSettings{};
        continueAfterLogin();
        QCOMPARE(gPrinterSettings.이름[0], u"주방"_s);
        QCOMPARE(gPrinterSettings.포트[0], 3);
        QCOMPARE(gPrinterSettings.통신속도[0], 115200);
        QCOMPARE(gPrinterSettings.통신속도[1], 9600);
        QCOMPARE(gPrinterSettings.주문서_출력수, 2);
        QCOMPARE(gPrinterSettings.선택된테이블, u"-[A1]--[A2]-"_s);
        CfgMain.setFileName({});
    }

    // The main window opens before the login window closes, so the program
    // lives on; a second call shows the same window.
    void opensTheMainWindow()
    {
        test::TempAppFolder app;
        CfgMain.setFileName(app.filePath(u"Zarazo.cfg"_s));
        QWidget login;
        login.show();
        QVERIFY(QTest::qWaitForWindowExposed(&login));
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);

        continueAfterLogin();
        login.close();
        frmAlarm *main = mainWindow();
        QVERIFY(main);
        QVERIFY(main->isVisible());
        QCOMPARE(lastClosed.count(), 0);
        QCOMPARE(openMainWindow(), main);
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(),
                               [](QWidget *w) { return w->objectName() == u"frmAlarm"_s; }),
                 1);
        main->hide();
        CfgMain.setFileName({});
    }
};

QTEST_MAIN(TstLoginFollowUp)
#include "tst_loginfollowup.moc"
