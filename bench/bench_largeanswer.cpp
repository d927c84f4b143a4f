// Where the running program spends a request list cycle on a large answer:
// the main window and its session, offscreen, polling a loopback server that
// answers a list of N records (default 10,000 and 50,000). For each part of the
// cycle and for the whole cycle: the wall time, the longest stretch in which
// the window's event loop could not run (a 1 ms timer measures the gaps), and
// the process's peak and resident memory.
//   build/bench/bench_largeanswer [records...]
#include "StallMeter.h"
#include "board/MainWindow.h"
#include "monitor/MonitorSession.h"
#include "monitor/RequestList.h"
#include "platform/Audio.h"
#include "platform/Heap.h"
#include "platform/HttpTransport.h"
#include "services/EventLog.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "services/WinHttp.h"
#include "support/HostileServer.h"
#include "support/RecordingAudio.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <malloc.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

QString tag(const QString &name, const QString &value)
{
    return u'<' + name + u'>' + value + u"</"_s + name + u'>';
}

// The service's grammar; registration times within the last hour, so every
// record is on time and the board shows the newest ones.
QByteArray answerOf(int records)
{
    const QDateTime now = QDateTime::currentDateTime();
    QString out = u"<memolist>\n"_s;
    for (int i = 0; i < records; ++i) {
        const int num = records - i;
        out += u"<memochecks>"_s + tag(u"memonum"_s, QString::number(num)) + tag(u"memoqr"_s, u"s1-3"_s) +
               tag(u"memotablegroupname"_s, {}) +
               tag(u"memotablename"_s, u"1층/"_s + QString::number(num % 40)) + tag(u"memoYN"_s, u"N"_s) +
               tag(u"memophonet"_s, {}) +
               tag(u"regdatememo"_s, now.addSecs(-(i % 3000)).toString(u"yyyy-MM-dd HH:mm:ss"_s)) +
               tag(u"memotext"_s, u"물 좀 더 주세요"_s) + tag(u"ordercount"_s, QString::number(1 + i % 3)) +
               tag(u"paytype1"_s, i % 2 ? u"card"_s : u"cash"_s) + u"</memochecks>\n"_s;
    }
    return (out + u"</memolist>\n"_s).toUtf8();
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

/// Starts the process's peak (VmHWM) again from its present resident size.
void resetPeak()
{
    QFile f(u"/proc/self/clear_refs"_s);
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

using bench::Measure;

template <typename F> Measure measure(F &&body)
{
    return bench::measureStalls(std::forward<F>(body));
}

void row(const char *what, const Measure &m)
{
    std::printf("  %-34s %9.1f ms  stall %8.1f ms  peak %6lld MB  rss %6lld MB\n", what, m.ms, m.stallMs,
                statusKb("VmHWM:") / 1024, statusKb("VmRSS:") / 1024);
}

// The answer lives in the server's process only, so the figures are the program's own.
pid_t serve(int records, quint16 *port, qint64 *answerBytes)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        int argc = 1;
        char name[] = "answer-server";
        char *argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        const QByteArray answer = answerOf(records);
        test::HostileServer server(test::HostileServer::response("HTTP/1.1 200 OK", answer));
        const quint16 p = server.port();
        const qint64 size = answer.size();
        (void)!write(fds[1], &p, sizeof p);
        (void)!write(fds[1], &size, sizeof size);
        close(fds[1]);
        app.exec();
        _exit(0);
    }
    close(fds[1]);
    if (read(fds[0], port, sizeof *port) != sizeof *port ||
        read(fds[0], answerBytes, sizeof *answerBytes) != sizeof *answerBytes)
        *port = 0;
    close(fds[0]);
    return pid;
}

} // namespace

int main(int argc, char *argv[])
{
    platform::useOneHeap(); // as the program does
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(QByteArray(argv[i]).toInt());
    if (sizes.isEmpty())
        sizes = {10000, 50000};

    // The servers are forked before any Qt object exists.
    QList<qint64> answerBytes;
    QList<quint16> ports;
    QList<pid_t> servers;
    for (const int n : sizes) {
        quint16 port = 0;
        qint64 bytes = 0;
        servers.append(serve(n, &port, &bytes));
        ports.append(port);
        answerBytes.append(bytes);
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir folder;
    qputenv("KAVRI_APP_DIR", folder.path().toUtf8());
    QApplication app(argc, argv);
    CfgMain.setFileName(folder.filePath(u"Zarazo.cfg"_s));
    WriteINI(u"Set"_s, u"DisplayIDX"_s, u"2"_s, CfgMain.fileName());
    WriteINI(u"Set"_s, u"ResolutionIDX"_s, u"1"_s, CfgMain.fileName());
    gLoginID = u"shop1"_s;
    gLoginPW = u"pass1"_s;
    platform::RecordingChimePlayer player;
    platform::RecordingSpeaker speaker;
    platform::setChimePlayer(&player);
    platform::setSpeaker(&speaker);

    std::printf("start: peak %lld MB, rss %lld MB\n", statusKb("VmHWM:") / 1024, statusKb("VmRSS:") / 1024);
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        gBaseURL = u"http://127.0.0.1:"_s + QString::number(ports[i]);
        const QString address = gBaseURL + u"/program/qrtablememolistloading.php"_s;
        std::printf("%d records, answer %lld KB\n", sizes[i], static_cast<long long>(answerBytes[i] / 1024));

        // The cycle's road first, while the heap is fresh: the bytes, then their text
        // in pieces, each piece read at once.
        WinHttpAnswer answer;
        row("transport (GetWinHttpAnswer)",
            measure([&] { answer = GetWinHttpAnswer(address, u"ID=shop1&PassWord=pass1&checked=Y"_s); }));
        monitor::AnswerReading reading;
        QString head;
        qsizetype chars = 0;
        row("decoding + reading in pieces", measure([&] {
                monitor::AnswerReader reader(QDateTime::currentDateTime());
                reader.reserve(QByteArrayView(answer.body).count(web::kRecordMarkerBytes));
                platform::decodeResponsePieces(answer.body, answer.contentType, [&](QStringView piece) {
                    chars += piece.size();
                    if (head.size() < kLogAnswerLimit)
                        head += piece.first(std::min(piece.size(), kLogAnswerLimit - head.size()));
                    reader.feed(piece);
                    QCoreApplication::processEvents();
                    return true;
                });
                reading = reader.finish();
            }));
        row("logging the answer", measure([&] {
                WriteLog(u"Load_Kavri() ... ResponseStr:"_s + gCrLf + answerForLog(head, chars), u"_bench"_s);
            }));
        reading = {};
        head.clear();
        // For comparison, the whole text at once: what a cycle held before.
        QString text;
        row("decoding at once (for comparison)",
            measure([&] { text = platform::decodeResponseBody(answer.body, answer.contentType); }));
        answer = {};
        row("reading the whole text at once",
            measure([&] { reading = monitor::readAnswer(text, QDateTime::currentDateTime()); }));
        text.clear();
        reading = {};

        monitor::MonitorSession session;
        frmAlarm window(session.board());
        window.setEndProcess([](int) {});
        window.setSession(&session);
        window.show();
        // The first poll of the loop, then cycles of our own, each with a new answer text.
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 500 || session.cycle().isRunning())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        // The peak of the cycles alone: the parts above each held a copy of the answer.
        malloc_trim(0);
        resetPeak();
        std::printf("  window open, before its cycles: rss %lld MB\n", statusKb("VmRSS:") / 1024);
        for (int round = 0; round < 3; ++round) {
            row(round == 0 ? "whole cycle (Load_Kavri + paint)" : "  again", measure([&] {
                    session.cycle().Load_Kavri(true);
                    window.repaint();
                }));
        }
        // The cycle hands the freed heap back right after itself.
        QCoreApplication::processEvents();
        std::printf("  after the cycles, their trim done: rss %lld MB\n", statusKb("VmRSS:") / 1024);
        session.shutDown();
        malloc_trim(0);
        std::printf("  after the window closed: rss %lld MB\n", statusKb("VmRSS:") / 1024);
    }
    for (const pid_t pid : servers) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    return 0;
}
