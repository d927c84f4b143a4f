#include "services/Conversions.h"
#include "services/Housekeeping.h"
#include "stats/ResponseStats.h"
#include "stats/StatsHours.h"
#include "stats/StatsReport.h"
#include "support/FileBytes.h"
#include "support/RecordedStats.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>

#include <memory>
#include <optional>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::stats;

namespace {

const QDate kDay(2026, 12, 10);

QString at(const QString &time)
{
    return kDay.toString(u"yyyy-MM-dd "_s) + time;
}

/// A day's lines from CSV text written as the recorder writes it.
QList<StatsLine> linesOf(const QStringList &csv)
{
    QList<StatsLine> out;
    for (const QString &text : csv) {
        const std::optional<StatsLine> line = parseStatsCsvLine(text);
        if (line)
            out.append(*line);
    }
    return out;
}

/// One poll's list, as the cycle hands it to the recorder.
void observe(ResponseStats &stats, const QList<ListedRequest> &requests, const QDateTime &now)
{
    QSet<QString> listed;
    for (const ListedRequest &request : requests)
        listed.insert(request.number);
    stats.observeListed(requests, listed, now);
}

} // namespace

// The response-time statistics: the lines the cycle writes as requests leave,
// the file format, the day's figures and the report.
class TstResponseStats : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;

    QString statsFile(const QDate &day) const { return statsFilePath(m_env->app().path(), day); }

    QStringList recorded(const QDate &day) const
    {
        return test::recordedStatsLines(m_env->app().path(), day);
    }

private slots:
    void init()
    {
        m_env.emplace(QDateTime(kDay, QTime(10, 0, 0)));
        m_env->clock().setTick(5000000);
    }
    void cleanup() { m_env.reset(); }

    // Table names hold what a shop types: commas, quotes, line breaks, control
    // characters; a text a spreadsheet would run as a formula is written with a quote
    // first and read back as it was.
    void csvRoundTrip_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("readBack");
        const QString n = u"1201"_s;
        QTest::newRow("plain") << n << u"A-5"_s << u"1201,A-5,"_s << u"A-5"_s;
        QTest::newRow("comma") << n << u"창가, 2층"_s << u"1201,\"창가, 2층\","_s << u"창가, 2층"_s;
        QTest::newRow("quotes") << n << u"\"VIP\" 룸"_s << u"1201,\"\"\"VIP\"\" 룸\","_s << u"\"VIP\" 룸"_s;
        QTest::newRow("line break") << n << u"룸\r\n3"_s << u"1201,룸  3,"_s << u"룸  3"_s;
        QTest::newRow("controls") << n << QString::fromUtf16(u"\x1b[2J\t룸\x7f\0X", 9)
                                  << u"1201, [2J 룸  X,"_s << u" [2J 룸  X"_s;
        QTest::newRow("empty") << n << QString() << u"1201,,"_s << QString();
        QTest::newRow("equals") << n << u"=1+2"_s << u"1201,'=1+2,"_s << u"=1+2"_s;
        QTest::newRow("plus") << n << u"+82 창가"_s << u"1201,'+82 창가,"_s << u"+82 창가"_s;
        QTest::newRow("minus") << n << u"-A"_s << u"1201,'-A,"_s << u"-A"_s;
        QTest::newRow("at") << n << u"@SUM(A1)"_s << u"1201,'@SUM(A1),"_s << u"@SUM(A1)"_s;
        QTest::newRow("formula with comma")
            << n << u"=HYPERLINK(\"http://x\",\"y\")"_s
            << u"1201,\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\","_s << u"=HYPERLINK(\"http://x\",\"y\")"_s;
        QTest::newRow("control before formula") << n << u"\t=1"_s << u"1201, =1,"_s << u" =1"_s;
        // A text that starts with the quote itself keeps it.
        QTest::newRow("quoted formula") << n << u"'=1"_s << u"1201,''=1,"_s << u"'=1"_s;
        QTest::newRow("quote then text") << n << u"'A"_s << u"1201,'A,"_s << u"'A"_s;
        QTest::newRow("quote alone") << n << u"'"_s << u"1201,',"_s << u"'"_s;
        QTest::newRow("negative number") << u"-7"_s << u"A"_s << u"'-7,A,"_s << u"A"_s;
    }
    void csvRoundTrip()
    {
        QFETCH(QString, number);
        QFETCH(QString, table);
        QFETCH(QString, written);
        QFETCH(QString, readBack);
        const StatsLine line{number,
                             table,
                             QDateTime(kDay, QTime(9, 0)),
                             QDateTime(kDay, QTime(9, 0, 10)),
                             QDateTime(kDay, QTime(9, 4, 30)),
                             LeftHow::Auto};
        const QString text = statsCsvLine(line);
        for (const QChar c : text)
            QVERIFY2(c.unicode() >= 0x20 && c.unicode() != 0x7f, qPrintable(text));
        QVERIFY2(text.startsWith(written), qPrintable(text));
        const std::optional<StatsLine> read = parseStatsCsvLine(text);
        QVERIFY(read);
        QCOMPARE(read->table, readBack);
        QCOMPARE(read->number, withoutControls(number));
        QCOMPARE(read->registered, line.registered);
        QCOMPARE(read->firstSeen, line.firstSeen);
        QCOMPARE(read->left, line.left);
        QCOMPARE(read->how, LeftHow::Auto);
    }

    void malformedLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("header") << statsHeader();
        QTest::newRow("five fields") << u"1,A,2026-12-10 09:00:00,2026-12-10 09:00:00,staff"_s;
        QTest::newRow("seven fields") << u"1,A,,,2026-12-10 09:00:00,staff,x"_s;
        QTest::newRow("open quote") << u"1,\"A,,,2026-12-10 09:00:00,staff"_s;
        QTest::newRow("unknown how") << u"1,A,,,2026-12-10 09:00:00,waiter"_s;
        QTest::newRow("no number") << u",A,,,2026-12-10 09:00:00,staff"_s;
        QTest::newRow("no leaving time") << u"1,A,,,,staff"_s;
        QTest::newRow("bad time") << u"1,A,,,2026-13-10 09:00:00,staff"_s;
        // A letter in the year is no year before Christ.
        QTest::newRow("letters in the year") << u"1,A,,,20x6-12-10 09:00:00,staff"_s;
        QTest::newRow("sign before the year") << u"1,A,,,-026-12-10 09:00:00,staff"_s;
    }
    void malformedLines()
    {
        QFETCH(QString, text);
        QVERIFY(!parseStatsCsvLine(text));
    }

    // The day's figures for small fixed days.
    void dayFigures_data()
    {
        QTest::addColumn<QStringList>("csv");
        QTest::addColumn<int>("requests");
        QTest::addColumn<QString>("median");
        QTest::addColumn<QString>("p90");
        QTest::addColumn<QString>("autoShare");
        QTest::addColumn<QString>("slowest");
        QTest::newRow("empty day") << QStringList() << 0 << u"-"_s << u"-"_s << u"-"_s << QString();
        QTest::newRow("one request") << QStringList{u"1,A,2026-12-10 09:00:00,,2026-12-10 09:03:00,staff"_s}
                                     << 1 << u"3.0"_s << u"3.0"_s << u"0%"_s << u"A 3.0"_s;
        // Two tables with the same median: by name.
        QTest::newRow("ties") << QStringList{u"1,B,2026-12-10 09:00:00,,2026-12-10 09:04:00,staff"_s,
                                             u"2,A,2026-12-10 09:00:00,,2026-12-10 09:04:00,staff"_s,
                                             u"3,C,2026-12-10 09:00:00,,2026-12-10 09:02:00,staff"_s}
                              << 3 << u"4.0"_s << u"4.0"_s << u"0%"_s << u"A 4.0, B 4.0, C 2.0"_s;
        // Registered before midnight, confirmed after: 20 minutes, not minus 23 hours.
        QTest::newRow("across midnight")
            << QStringList{u"1,A,2026-12-09 23:50:00,2026-12-09 23:50:05,2026-12-10 00:10:00,staff"_s} << 1
            << u"20.0"_s << u"20.0"_s << u"0%"_s << u"A 20.0"_s;
        // Even count: the mean of the middle two; 90 % by nearest rank; auto and gone
        // count as requests but not as staff waits.
        QTest::newRow("mixed") << QStringList{u"1,A,2026-12-10 09:00:00,,2026-12-10 09:01:00,staff"_s,
                                              u"2,A,2026-12-10 09:00:00,,2026-12-10 09:02:00,staff"_s,
                                              u"3,B,2026-12-10 09:00:00,,2026-12-10 09:05:00,staff"_s,
                                              u"4,B,2026-12-10 09:00:00,,2026-12-10 09:10:00,staff"_s,
                                              u"5,C,2026-12-10 09:00:00,,2026-12-10 10:00:00,auto"_s,
                                              u"6,D,2026-12-10 09:00:00,,2026-12-10 09:30:00,gone"_s}
                               << 6 << u"3.5"_s << u"10.0"_s << u"17%"_s << u"B 7.5, A 1.5"_s;
        // An unreadable registration time falls back on the first listing; a clock
        // set back never gives a negative wait.
        QTest::newRow("fallbacks") << QStringList{u"1,A,,2026-12-10 09:00:00,2026-12-10 09:06:00,staff"_s,
                                                  u"2,B,2026-12-10 09:10:00,,2026-12-10 09:00:00,staff"_s}
                                   << 2 << u"3.0"_s << u"6.0"_s << u"0%"_s << u"A 6.0, B 0.0"_s;
    }
    void dayFigures()
    {
        QFETCH(QStringList, csv);
        QFETCH(int, requests);
        QFETCH(QString, median);
        QFETCH(QString, p90);
        QFETCH(QString, autoShare);
        QFETCH(QString, slowest);
        const DayFigures f = stats::dayFigures(kDay, linesOf(csv));
        QCOMPARE(f.requests, requests);
        const QStringList cells = dayCells(f);
        QCOMPARE(cells.at(0), u"2026-12-10"_s);
        QCOMPARE(cells.at(1), QString::number(requests));
        QCOMPARE(cells.at(2), median);
        QCOMPARE(cells.at(3), p90);
        QCOMPARE(cells.at(4), autoShare);
        QCOMPARE(cells.at(5), slowest);
    }

    void onlyFiveSlowestTables()
    {
        QStringList csv;
        for (int i = 0; i < 8; ++i)
            csv << u"%1,T%1,2026-12-10 09:00:00,,2026-12-10 09:%2:00,staff"_s.arg(i).arg(10 + i);
        const DayFigures f = stats::dayFigures(kDay, linesOf(csv));
        QCOMPARE(f.slowestTables.size(), 5);
        QCOMPARE(f.slowestTables.first().table, u"T7"_s);
        QCOMPARE(f.slowestTables.last().table, u"T3"_s);
    }

    // A file with broken lines, a huge file, a link or a folder in its place.
    void readingFiles()
    {
        QDir().mkpath(m_env->filePath(u"stats"_s));
        const QString path = statsFile(kDay);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write((statsHeader() +
                    u"\n1,A,,,2026-12-10 09:00:00,staff\r\n\ngarbage\n2,B,,,2026-12-10 09:01:00,gone"_s)
                       .toUtf8());
        file.close();
        int unreadable = -1;
        QCOMPARE(readStatsFile(path, &unreadable).size(), 2);
        QCOMPARE(unreadable, 1);

        // Only the first 16 MB are read.
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Append));
        const QByteArray line = "\n3,C,,,2026-12-10 09:02:00,auto";
        QByteArray block;
        while (block.size() < 1024 * 1024)
            block += line;
        for (int i = 0; i < 20; ++i)
            file.write(block);
        file.close();
        const qsizetype lines = readStatsFile(path).size();
        QVERIFY(lines > 500000);
        QVERIFY(lines <= MaxReadBytes / (line.size() - 1));

        const QString link = statsFile(kDay.addDays(-1));
        QVERIFY(QFile::link(path, link));
        QCOMPARE(readStatsFile(link).size(), 0);
        QVERIFY(QDir().mkpath(statsFile(kDay.addDays(-2))));
        QCOMPARE(readStatsFile(statsFile(kDay.addDays(-2))).size(), 0);
        QCOMPARE(readStatsFile(statsFile(kDay.addDays(-3))).size(), 0);
    }

    // A line longer than any the recorder writes is one unreadable line; the next is read.
    void overlongLine()
    {
        QDir().mkpath(m_env->filePath(u"stats"_s));
        const QString path = statsFile(kDay);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(statsHeader().toUtf8() + "\n1," + QByteArray(200 * 1024, 'x') +
                   ",,,2026-12-10 09:00:00,staff\n2,B,,,2026-12-10 09:01:00,gone\n3," +
                   QByteArray(100 * 1024, 'y'));
        file.close();
        int unreadable = -1;
        const QList<StatsLine> lines = readStatsFile(path, &unreadable);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().number, u"2"_s);
        QCOMPARE(unreadable, 2);
    }

    // Every append starts a line of its own: a line cut short (a full disk) stays one
    // unreadable line instead of taking the next with it. The table is one a spreadsheet
    // would run as a formula: the file holds it quoted, the reading gives it back.
    void appendStartsItsOwnLine_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("unreadable");
        const QByteArray header = statsHeader().toUtf8() + '\n';
        const QByteArray whole = "1,A,2026-12-10 09:00:00,,2026-12-10 09:05:00,staff";
        QTest::newRow("no file") << QByteArray() << 1 << 0;
        QTest::newRow("whole lines") << header + whole + '\n' << 2 << 0;
        QTest::newRow("last line end lost") << header + whole << 2 << 0;
        QTest::newRow("cut in a time") << header + whole + "\n2,B,2026-12-10 09:0" << 2 << 1;
        QTest::newRow("cut in a quoted table") << header + whole + "\n2,\"B," << 2 << 1;
        QTest::newRow("cut in the header") << QByteArray("number,ta") << 1 << 1;
    }
    void appendStartsItsOwnLine()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, lines);
        QFETCH(int, unreadable);
        if (!before.isEmpty()) {
            QDir().mkpath(m_env->filePath(u"stats"_s));
            QFile file(statsFile(kDay));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(before);
        }
        const ListedRequest record{u"7"_s, u"=HYPERLINK(\"http://x\",\"창가\")"_s, at(u"09:00:00"_s)};
        ResponseStats stats;
        observe(stats, {record}, QDateTime(kDay, QTime(10, 0)));
        stats.noteConfirmed(u"7"_s, LeftHow::Staff, QDateTime(kDay, QTime(10, 2)));

        const QByteArray after = test::readBytes(statsFile(kDay));
        const QByteArray written = "7,\"'=HYPERLINK(\"\"http://x\"\",\"\"창가\"\")\",2026-12-10 09:00:00,"
                                   "2026-12-10 10:00:00,2026-12-10 10:02:00,staff\n";
        QVERIFY2(after.endsWith('\n' + written), after.constData());
        QVERIFY(after.startsWith(before));
        int bad = -1;
        const QList<StatsLine> read = readStatsFile(statsFile(kDay), &bad);
        QCOMPARE(read.size(), lines);
        QCOMPARE(bad, unreadable);
        QCOMPARE(read.last().number, u"7"_s);
        QCOMPARE(read.last().table, record.table);
        QCOMPARE(read.last().left, QDateTime(kDay, QTime(10, 2)));
    }

    // Files of older versions hold the service's texts as they came: the printed
    // report shows no control character of them.
    void oldFileControls()
    {
        QDir().mkpath(m_env->filePath(u"stats"_s));
        QFile file(statsFile(kDay));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(statsHeader().toUtf8() +
                   "\n1,\x1b[31mA\x1b]0;x\x07,2026-12-10 09:00:00,,2026-12-10 09:04:00,staff\n" +
                   QByteArray("2,B\0\tC\x7f,2026-12-10 09:00:00,,2026-12-10 09:02:00,staff\n", 55) +
                   "3,\"D\rE\",2026-12-10 09:00:00,,2026-12-10 09:01:00,staff\n");
        file.close();
        auto noControls = [](const QString &text, bool lineEnds) {
            for (const QChar c : text) {
                if ((c.unicode() < 0x20 || c.unicode() == 0x7f) && !(lineEnds && c == u'\n'))
                    return false;
            }
            return true;
        };
        const QString report = statsReportText(recentDays(m_env->app().path(), kDay, 1));
        QVERIFY2(noControls(report, true), qPrintable(report));
        QVERIFY2(report.contains(u" [31mA ]0;x  4.0, B  C  2.0, D E 1.0"_s), qPrintable(report));
    }

    // The hour a request came in and its wait are those of the local time of its day,
    // also on the days the clocks change (the wait is the time that passed).
    void localTimes_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QString>("registered");
        QTest::addColumn<QString>("left");
        QTest::addColumn<int>("hour");
        QTest::addColumn<double>("minutes");
        QTest::newRow("Seoul") << QByteArray("Asia/Seoul") << u"2026-12-10 09:00:00"_s
                               << u"2026-12-10 09:04:00"_s << 9 << 4.0;
        QTest::newRow("Seoul across midnight")
            << QByteArray("Asia/Seoul") << u"2026-12-10 23:50:00"_s << u"2026-12-11 00:10:00"_s << 23 << 20.0;
        QTest::newRow("summer time") << QByteArray("Europe/Berlin") << u"2026-07-01 09:00:00"_s
                                     << u"2026-07-01 09:04:00"_s << 9 << 4.0;
        QTest::newRow("clocks go forward") << QByteArray("Europe/Berlin") << u"2026-03-29 01:50:00"_s
                                           << u"2026-03-29 03:10:00"_s << 1 << 20.0;
        QTest::newRow("into the day they go forward")
            << QByteArray("Europe/Berlin") << u"2026-03-28 23:50:00"_s << u"2026-03-29 00:10:00"_s << 23
            << 20.0;
        QTest::newRow("out of the day they go forward")
            << QByteArray("Europe/Berlin") << u"2026-03-29 23:50:00"_s << u"2026-03-30 00:10:00"_s << 23
            << 20.0;
        QTest::newRow("clocks go back") << QByteArray("Europe/Berlin") << u"2026-10-25 01:50:00"_s
                                        << u"2026-10-25 03:10:00"_s << 1 << 140.0;
    }
    void localTimes()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QString, registered);
        QFETCH(QString, left);
        QFETCH(int, hour);
        QFETCH(double, minutes);
        const QByteArray zoneBefore = qgetenv("TZ");
        qputenv("TZ", zone);
        const auto restore = qScopeGuard([&] {
            if (zoneBefore.isNull())
                qunsetenv("TZ");
            else
                qputenv("TZ", zoneBefore);
        });
        const QDate day = QDate::fromString(registered.left(10), u"yyyy-MM-dd"_s);
        QDir().mkpath(m_env->filePath(u"stats"_s));
        QFile file(statsFile(day));
        QVERIFY(file.open(QIODevice::WriteOnly));
        // Lines of an ordinary hour around it: a day's offset read once serves them all.
        file.write((statsHeader() + u"\n1,A,"_s + registered + u",,"_s + left + u",staff\n2,B,"_s +
                    registered.left(11) + u"12:00:00,,"_s + registered.left(11) + u"12:30:00,staff\n"_s)
                       .toUtf8());
        file.close();
        const QList<StatsLine> lines = readStatsFile(statsFile(day));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.first().registered.toString(u"yyyy-MM-dd HH:mm:ss"_s), registered);
        QCOMPARE(lines.first().left.toString(u"yyyy-MM-dd HH:mm:ss"_s), left);
        QCOMPARE(lines.first().registered, QDateTime::fromString(registered, u"yyyy-MM-dd HH:mm:ss"_s));
        QCOMPARE(lines.first().left, QDateTime::fromString(left, u"yyyy-MM-dd HH:mm:ss"_s));
        QCOMPARE(waitMinutes(lines.first()), minutes);
        QCOMPARE(waitMinutes(lines.last()), 30.0);
        const HourFigures hours = hourFigures(day, lines);
        QCOMPARE(hours.requests[size_t(hour)], hour == 12 ? 2 : 1);
        QCOMPARE(hours.requests[12], 1);
    }

    // A confirmed request the service still lists for a poll is not followed again;
    // the number of followed requests is bounded.
    void recorderRules()
    {
        auto listOf = [](int first, int count) {
            QList<ListedRequest> records;
            for (int n = first; n < first + count; ++n)
                records.append({QString::number(n), u"T"_s, at(u"09:00:00"_s)});
            return records;
        };
        const QDateTime now(kDay, QTime(10, 0));
        ResponseStats stats;
        observe(stats, listOf(1, 2), now);
        stats.noteConfirmed(u"1"_s, LeftHow::Staff, now.addSecs(60));
        stats.noteConfirmed(u"99"_s, LeftHow::Staff, now.addSecs(60)); // never listed: nothing
        observe(stats, listOf(1, 2), now.addSecs(70));
        QCOMPARE(stats.followedCount(), 1);
        observe(stats, listOf(2, 1), now.addSecs(80));
        observe(stats, listOf(1, 2),
                now.addSecs(90)); // listed anew after it had gone: a new request to follow
        QCOMPARE(stats.followedCount(), 2);
        QCOMPARE(recorded(kDay), QStringList{u"1 T staff 10:01 61"_s});

        ResponseStats many;
        observe(many, listOf(1, int(ResponseStats::MaxFollowed) + 100), now);
        QCOMPARE(many.followedCount(), ResponseStats::MaxFollowed);
    }

    // The folder of the day files, made at the first leaving, is the user's alone
    // whatever the umask.
    void statsFolderUnderUmask000()
    {
        const QDateTime now(kDay, QTime(10, 0));
        ResponseStats stats;
        observe(stats, {{u"1"_s, u"T"_s, at(u"09:00:00"_s)}}, now);
        const mode_t old = ::umask(0);
        stats.noteConfirmed(u"1"_s, LeftHow::Staff, now.addSecs(60));
        ::umask(old);
        QCOMPARE(recorded(kDay).size(), 1);
        struct stat st
        {
        };
        QCOMPARE(::stat(QFile::encodeName(QFileInfo(statsFile(kDay)).path()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, 0700u);
    }

    // The figures through the real program over one fixed file.
    void report()
    {
        QDir().mkpath(m_env->filePath(u"stats"_s));
        QFile file(statsFile(kDay));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            (statsHeader() +
             u"\n1,A,2026-12-10 09:00:00,,2026-12-10 09:04:00,staff\n2,B,2026-12-10 11:30:00,,2026-12-10 11:32:00,staff\n3,B,2026-12-10 11:40:00,,2026-12-10 12:40:00,auto\n"_s)
                .toUtf8());
        file.close();
        const QString report = statsReportText(recentDays(m_env->app().path(), kDay, 2));
        const QStringList lines = report.split(u'\n');
        QVERIFY2(lines.at(1).startsWith(u"2026-12-09     0"_s), qPrintable(report));
        QVERIFY2(lines.at(2).startsWith(u"2026-12-10     3         3.0      4.0        33%  A 4.0, B 2.0"_s),
                 qPrintable(report));
    }

    // Housekeeping keeps 90 days and nothing else is touched.
    void oldFilesRemoved()
    {
        const QString folder = m_env->filePath(u"stats"_s);
        QDir().mkpath(folder);
        for (const QString &name : {u"2026-09-10.csv"_s, u"2026-09-11.csv"_s, u"2026-12-10.csv"_s,
                                    u"notes.csv"_s, u"2025-13-01.csv"_s}) {
            QFile f(folder + u'/' + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QCOMPARE(removeOldStatsFiles(folder, kDay), 1);
        QStringList left = QDir(folder).entryList(QDir::Files, QDir::Name);
        QCOMPARE(left, (QStringList{u"2025-13-01.csv"_s, u"2026-09-11.csv"_s, u"2026-12-10.csv"_s,
                                    u"notes.csv"_s}));
    }
};

QTEST_MAIN(TstResponseStats)
#include "tst_responsestats.moc"
