#include "codec/Cp949.h"
#include "platform/Clock.h"
#include "services/AppFolder.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"
#include "support/FileBytes.h"
#include "support/ManualClock.h"
#include "support/TempAppFolder.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri;
using kavri::test::readBytes;

class TstEventLog : public QObject
{
    Q_OBJECT
    platform::ManualClock m_clock;

private slots:
    void init() { platform::setClock(&m_clock); }
    void cleanup() { platform::setClock(nullptr); }

    void recordShapeAndCodePage()
    {
        test::TempAppFolder app;
        m_clock.setNow(QDateTime(QDate(2026, 3, 7), QTime(9, 5, 3, 7)));
        WriteLog(u"로그인 성공"_s);
        WriteLog(u"두 줄\r\n둘째"_s);
        const QByteArray expected = "[260307-090503.007]" + codec::toCp949(u"로그인 성공"_s) + "\r\n" +
                                    "[260307-090503.007]" + codec::toCp949(u"두 줄\r\n둘째"_s) + "\r\n";
        QCOMPARE(readBytes(app.filePath(u"260307.log"_s)), expected);
    }

    void dayBoundary()
    {
        test::TempAppFolder app;
        m_clock.setNow(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59, 999)));
        WriteLog(u"last"_s);
        m_clock.advance(1);
        WriteLog(u"first"_s);
        QCOMPARE(readBytes(app.filePath(u"261231.log"_s)), QByteArray("[261231-235959.999]last\r\n"));
        QCOMPARE(readBytes(app.filePath(u"270101.log"_s)), QByteArray("[270101-000000.000]first\r\n"));
    }

    void channels_data()
    {
        QTest::addColumn<QString>("channel");
        QTest::addColumn<QString>("file");
        const QDateTime at(QDate(2026, 5, 1), QTime(9, 15));
        QTest::newRow("main") << LogChannel::Main << u"260501.log"_s;
        QTest::newRow("http") << LogChannel::WinHttp << u"260501_WinHttp.log"_s;
        QTest::newRow("confirm") << LogChannel::WinHttpReq << u"260501_WinHttp_Req.log"_s;
        QTest::newRow("list hour") << LogChannel::requestListHour(at) << u"260501_WinHttp_Req_09.log"_s;
        QTest::newRow("list hour afternoon")
            << LogChannel::requestListHour(at.addSecs(8 * 3600)) << u"260501_WinHttp_Req_17.log"_s;
        QTest::newRow("print") << LogChannel::Print << u"260501_PRN.log"_s;
    }
    void channels()
    {
        QFETCH(QString, channel);
        QFETCH(QString, file);
        test::TempAppFolder app;
        m_clock.setNow(QDateTime(QDate(2026, 5, 1), QTime(9, 15)));
        WriteLog(u"x"_s, channel);
        QCOMPARE(readBytes(app.filePath(file)), QByteArray("[260501-091500.000]x\r\n"));
    }

    void unwritableFolderIsSilent()
    {
        test::TempAppFolder app;
        // A file where the folder should be: every open fails, nothing may reach the caller.
        QVERIFY(test::writeBytes(app.filePath(u"notafolder"_s), "x"));
        setAppFolder(app.filePath(u"notafolder"_s));
        WriteLog(u"lost"_s);
        reportError(u"lib_misc"_s, u"GetWinHttp"_s, {1, 2, u"x"_s}, LogChannel::WinHttp);
        setAppFolder(app.path());
        QCOMPARE(readBytes(app.filePath(u"notafolder"_s)), QByteArray("x"));
    }

    void errorReports_data()
    {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("expected");
        const Failure f{12, 53, u"파일이 없습니다"_s};
        QTest::newRow("lower") << errorReport(u"frmLogin"_s, u"lblLogin_Click"_s, f)
                               << u"e)frmLogin->lblLogin_Click[Erl:=12, Eno:=53]\r\n   파일이 없습니다"_s;
        QTest::newRow("capital")
            << errorReport(u"StartUp"_s, u"Main_Command_Argument_취득"_s, f, ReportPrefix::Capital)
            << u"E)StartUp->Main_Command_Argument_취득[Erl:=12, Eno:=53]\r\n   파일이 없습니다"_s;
        QTest::newRow("angle")
            << errorReport(u"lib_misc"_s, u"TNV_PutPatchHistory"_s, f, ReportPrefix::Angle)
            << u"<e>lib_misc->TNV_PutPatchHistory[Erl:=12, Eno:=53]\r\n   파일이 없습니다"_s;
        QTest::newRow("compact") << compactErrorReport(u"lib_Form"_s, u"FormRound"_s, f)
                                 << u"E)lib_Form->FormRound[Erl:=12](Eno:=53)파일이 없습니다"_s;
        QTest::newRow("process lookup")
            << processLookupErrorReport(u"wget.exe"_s, f)
            << u"E)lib_misc->IsProcessExist(sExeName:=wget.exe)[Erl:=12](Eno:=53)파일이 없습니다"_s;
    }
    void errorReports()
    {
        QFETCH(QString, built);
        QFETCH(QString, expected);
        QCOMPARE(built, expected);
    }
};

QTEST_GUILESS_MAIN(TstEventLog)
#include "tst_eventlog.moc"
