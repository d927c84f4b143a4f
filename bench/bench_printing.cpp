// What ten new requests in one poll cost on the printers: the time from the
// list answer to the last byte of the tenth ticket at the printer, beside the
// line's own time for those bytes, and the time from the answer to the chime.
// Printers: a pseudo terminal at 19200 and 115200 baud whose far end models the
// line (bytes leave no faster than it carries them), and a
// network printer on loopback (a child process accepting raw ESC/POS and
// answering status requests). The answer comes from the simulator; the alert
// is the chime's pause (2 s of events running), without sound.
//   build/bench/bench_printing [rounds]
#include "monitor/RequestBoard.h"
#include "monitor/RequestCycle.h"
#include "printing/PrinterSettings.h"
#include "services/Housekeeping.h"
#include "support/FileBytes.h"
#include "support/PrintingTestEnvironment.h"
#include "support/PtyPair.h"
#include "support/Simulator.h"

#include <QCoreApplication>
#include <QFile>

#include <arpa/inet.h>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

constexpr int kTickets = 10;
const QString kSlot = u"주방"_s;

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

/// What the printer child saw: ticket bytes, and when the last cut arrived.
struct Arrival
{
    qint64 bytes = 0;
    double lastCutMs = 0;
};

/// Counts ticket bytes (status requests answered "ready" and left out) and notes
/// when the kTickets-th cut ("ESC i") came. True once it has.
struct CutCounter
{
    Arrival seen;
    int cuts = 0;
    char previous = 0;
    bool feed(const char *data, qsizetype n, int replyFd)
    {
        for (qsizetype i = 0; i < n; ++i) {
            if (data[i] == 0x10 && i + 2 < n && data[i + 1] == 0x04) {
                const char ready = 0x12;
                if (replyFd >= 0)
                    (void)!::write(replyFd, &ready, 1);
                i += 2;
                continue;
            }
            ++seen.bytes;
            if (previous == 0x1b && data[i] == 'i' && ++cuts == kTickets)
                seen.lastCutMs = nowMs();
            previous = data[i];
        }
        return cuts >= kTickets;
    }
};

/// A receipt printer on a serial line of `speed` baud. Runs in a child process:
/// the pty hands bytes over at once, so the line is modelled: each byte leaves
/// one byte time after the one before it, or after it arrived when the line
/// had run dry. The last cut's time is when its bytes would have left the line.
[[noreturn]] void pacedReader(const QByteArray &path, qint32 speed, int resultFd)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOCTTY);
    CutCounter counter;
    double lineFree = 0;
    char buffer[4096];
    while (true) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20000) <= 0)
            break;
        const double arrived = nowMs();
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        const qint64 before = counter.seen.bytes;
        const bool done = counter.feed(buffer, n, -1);
        lineFree = std::max(lineFree, arrived) + double(counter.seen.bytes - before) * 10 * 1000 / speed;
        if (done) {
            counter.seen.lastCutMs = lineFree;
            break;
        }
    }
    (void)!::write(resultFd, &counter.seen, sizeof counter.seen);
    _exit(0);
}

/// A network printer on `listener`: one connection after another, status requests
/// answered "ready". Runs in a child process.
[[noreturn]] void networkPrinter(int listener, int resultFd)
{
    CutCounter counter;
    bool done = false;
    while (!done) {
        pollfd p{listener, POLLIN, 0};
        if (::poll(&p, 1, 20000) <= 0)
            break;
        const int c = ::accept(listener, nullptr, nullptr);
        char buffer[4096];
        ssize_t n = 0;
        while (!done && (n = ::read(c, buffer, sizeof buffer)) > 0)
            done = counter.feed(buffer, n, c);
        ::close(c);
    }
    (void)!::write(resultFd, &counter.seen, sizeof counter.seen);
    _exit(0);
}

int listenOnLoopback(quint16 *port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&a), size) != 0 || ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &size) != 0)
        return -1;
    *port = ntohs(a.sin_port);
    return fd;
}

struct Figures
{
    qint64 bytes = 0;
    double lineMs = 0;
    double toLastByteMs = 0;
    double toChimeMs = 0;
};

/// One poll with kTickets new requests on the printer `portLine` at `speed`;
/// `startPrinter` forks the printer child and returns its pid.
Figures onePoll(const QString &portLine, qint32 speed, const std::function<pid_t(int resultFd)> &startPrinter)
{
    // A service of its own: no request of an earlier poll is open.
    test::Simulator sim;
    test::PrintingTestEnvironment env;
    sim.logIn(5000);
    test::writeBytes(env.filePath(u"Deploy.ini"_s), (u"[Ports]\nCOM3="_s + portLine + u"\n"_s).toUtf8());
    gPrinterSettings.이름[0] = kSlot;
    gPrinterSettings.포트[0] = 3;
    gPrinterSettings.통신속도[0] = speed;
    gPrinterSettings.선택된테이블 = u"전체"_s;

    int pipeFds[2];
    (void)!::pipe(pipeFds);
    const pid_t child = startPrinter(pipeFds[1]);
    ::close(pipeFds[1]);
    monitor::RequestBoard board;
    board.setLayout(0, 0);
    monitor::RequestCycle cycle(board);
    // A poll before the requests: as a running program, it has looked at its printer once.
    cycle.Load_Kavri(true);
    for (int i = 0; i < kTickets; ++i)
        sim.addRequest(test::Simulator::shopId, u"T"_s + QString::number(i + 1), u"물 좀 더 주세요"_s,
                       u"card"_s);

    double answerAt = 0;
    double chimeAt = 0;
    int hides = 0;
    monitor::RequestCycle::Hooks hooks;
    hooks.hideWait = [&] {
        if (hides++ == 0)
            answerAt = nowMs();
    };
    hooks.newRequestAlert = [&](bool) {
        chimeAt = nowMs();
        Delay(2000);
    };
    cycle.setHooks(hooks);
    cycle.Load_Kavri(false);

    Arrival arrival;
    (void)!::read(pipeFds[0], &arrival, sizeof arrival);
    ::close(pipeFds[0]);
    waitpid(child, nullptr, 0);
    Figures f;
    f.bytes = arrival.bytes;
    f.lineMs = speed > 0 && !portLine.startsWith(u"tcp:"_s) ? double(arrival.bytes) * 10 * 1000 / speed : 0;
    f.toLastByteMs = arrival.lastCutMs - answerAt;
    f.toChimeMs = chimeAt - answerAt;
    return f;
}

void print(const char *printer, const Figures &f)
{
    if (f.lineMs > 0)
        std::printf("%-20s %6lld %8.1f %13.1f %6.2f %14.1f\n", printer, static_cast<long long>(f.bytes),
                    f.lineMs, f.toLastByteMs, f.toLastByteMs / f.lineMs, f.toChimeMs);
    else
        std::printf("%-20s %6lld %8s %13.1f %6s %14.1f\n", printer, static_cast<long long>(f.bytes), "-",
                    f.toLastByteMs, "-", f.toChimeMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    if (!test::PtyPair::socatAvailable()) {
        std::fprintf(stderr, "needs socat\n");
        return 1;
    }
    std::printf("%-20s %6s %8s %13s %6s %14s\n", "printer", "bytes", "line ms", "answer->last", "ratio",
                "answer->chime");
    for (int round = 0; round < rounds; ++round) {
        for (const qint32 speed : {19200, 115200}) {
            test::PtyPair pty;
            const QByteArray reader = QFile::encodeName(pty.readerPath());
            const Figures f = onePoll(pty.printerPath(), speed, [&](int resultFd) {
                const pid_t pid = fork();
                if (pid == 0)
                    pacedReader(reader, speed, resultFd);
                return pid;
            });
            print(speed == 19200 ? "pty 19200 (paced)" : "pty 115200 (paced)", f);
        }
        quint16 port = 0;
        const int listener = listenOnLoopback(&port);
        const Figures f = onePoll(u"tcp://127.0.0.1:"_s + QString::number(port), 9600, [&](int resultFd) {
            const pid_t pid = fork();
            if (pid == 0)
                networkPrinter(listener, resultFd);
            return pid;
        });
        ::close(listener);
        print("network (loopback)", f);
    }
    return 0;
}
