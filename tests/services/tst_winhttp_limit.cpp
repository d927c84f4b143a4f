#include "codec/Cp949.h"
#include "platform/Clock.h"
#include "services/WinHttp.h"
#include "support/FileBytes.h"
#include "support/ManualClock.h"
#include "support/Simulator.h"
#include "support/TempAppFolder.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri;

// The program's own limit (10 s per stage) against a server that never answers.
class TstWinHttpLimit : public QObject
{
    Q_OBJECT
private slots:
    void hangingServerEndsEachAttemptByTheLimit()
    {
        QCOMPARE(winHttpOptions().stageLimitMs, 10000);
        platform::ManualClock clock;
        clock.setNow(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
        platform::setClock(&clock);
        test::TempAppFolder app;
        test::Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        QVERIFY(sim.setFault(u"hang"_s, 0, u"http"_s));
        QCOMPARE(GetWinHttp(sim.httpBase() + u"/program/logins.php"_s, u"ID=a&PassWord=b"_s), QString());
        QCOMPARE(sim.receivedLog().size(), 3);
        const QString log = codec::fromCp949(test::readBytes(app.filePath(u"261209_WinHttp.log"_s)));
        QCOMPARE(log.count(u"<실패2>"_s), 3);
        QCOMPARE(log.count(u"시간 제한(10000ms)"_s), 3);
        platform::setClock(nullptr);
    }
};

QTEST_MAIN(TstWinHttpLimit)
#include "tst_winhttp_limit.moc"
