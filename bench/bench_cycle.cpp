// Prints what one request list cycle costs on answers of 30, 1,000 and 10,000
// records: reading and filtering the records, the sort and cut, and the fill
// of a board model. Per record, the extra peak memory, and the ratio to one
// plain scan of the same answer text (which a linear cycle keeps constant).
#include "monitor/RequestBoard.h"
#include "monitor/RequestList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace kavri::monitor;

namespace {

const QDateTime kNow(QDate(2026, 5, 1), QTime(12, 0, 0));

QString tag(const QString &name, const QString &value)
{
    return u'<' + name + u'>' + value + u"</"_s + name + u'>';
}

// An answer as the service writes it, highest number first, one record a
// minute apart so that about a sixth stays within the 180-minute window.
QString answerOf(int records)
{
    QString out = u"<memolist>\n"_s;
    for (int i = 0; i < records; ++i) {
        const int num = records - i;
        out += u"<memochecks>"_s + tag(u"memonum"_s, QString::number(num)) +
               tag(u"memoqr"_s, u"shop1-1층/3"_s) + tag(u"memotablegroupname"_s, {}) +
               tag(u"memotablename"_s, u"1층/"_s + QString::number(num % 40)) +
               tag(u"memoYN"_s, i % 7 == 0 ? u"Y"_s : u"N"_s) + tag(u"memophonet"_s, {}) +
               tag(u"regdatememo"_s, kNow.addSecs(-60 * (i % 1000)).toString(u"yyyy-MM-dd HH:mm:ss"_s)) +
               tag(u"memotext"_s, u"물 좀 더 주세요!줄바꿈!앞접시 두 개ccdd!!얼음"_s) +
               tag(u"ordercount"_s, QString::number(1 + i % 3)) +
               tag(u"paytype1"_s, i % 2 ? u"card"_s : u"cash"_s) + u"</memochecks>\n"_s;
    }
    return out + u"</memolist>\n"_s;
}

void oneCycle(const QString &answer, RequestBoard &board)
{
    const AnswerReading reading = readAnswer(answer, kNow);
    board.fill(sortAndCut(reading.handled, board.displayIdx()));
}

qint64 statusKb(const char *field)
{
    QFile f(u"/proc/self/status"_s);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Peak memory of one cycle beyond what the process held before it, measured in
// a child process so the sizes do not share a high-water mark.
qint64 extraPeakKb(const QString &answer)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const qint64 before = statusKb("VmRSS:");
        {
            RequestBoard board;
            board.setLayout(1, 2);
            oneCycle(answer, board);
        }
        const qint64 extra = statusKb("VmHWM:") - before;
        (void)!write(fds[1], &extra, sizeof extra);
        _exit(0);
    }
    close(fds[1]);
    qint64 extra = -1;
    if (pid < 0 || read(fds[0], &extra, sizeof extra) != sizeof extra)
        extra = -1;
    close(fds[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    return extra;
}

template <typename F> double nsPerRound(int rounds, F &&body)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i)
        body();
    return double(t.nsecsElapsed()) / rounds;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::printf("%8s %10s %12s %12s %12s %10s %12s\n", "records", "answer KB", "cycle ms", "us/record",
                "scan us", "ratio", "peak KB");
    for (const int records : {30, 1000, 10000}) {
        const QString answer = answerOf(records);
        const int rounds = std::max(3, 30000 / records);
        RequestBoard board;
        board.setLayout(1, 2);
        oneCycle(answer, board); // warm up
        const double cycleNs = nsPerRound(rounds, [&] { oneCycle(answer, board); });
        volatile qsizetype sink = 0;
        const double scanNs = nsPerRound(rounds * 20, [&] { sink = sink + answer.indexOf(QChar(0x1)); });
        std::printf("%8d %10lld %12.3f %12.2f %12.2f %10.1f %12lld\n", records,
                    static_cast<long long>(answer.size() * 2 / 1024), cycleNs / 1e6, cycleNs / 1e3 / records,
                    scanNs / 1e3, cycleNs / scanNs, static_cast<long long>(extraPeakKb(answer)));
    }
    return 0;
}
