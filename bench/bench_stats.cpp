// What reading the response-time statistics costs: a day file at the program's own
// 8 MB cap, read as `--stats` reads it, and the statistics window opened on it
// offscreen; for the window, the wall time until its table is filled and the
// longest stretch in which its event loop could not run (a 1 ms timer measures
// the gaps: that is how long polls, alerts and ticks would wait).
//   build/bench/bench_stats [runs]
//   build/bench/bench_stats --write <application folder>   (today's day file only, for
//                                                          timing `kavri-display --stats 1`)
#include "StallMeter.h"
#include "board/StatsWindow.h"
#include "stats/ResponseStats.h"
#include "stats/StatsReport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;
using namespace kavri::monitor;
using namespace kavri::stats;

namespace {

/// Today's file grown the way the recorder grows it: lines until the 8 MB cap.
qsizetype writeDayFile(const QString &folder, const QDate &day)
{
    QDir().mkpath(folder + u"/stats"_s);
    QFile file(statsFilePath(folder, day));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    QByteArray bytes = statsHeader().toUtf8() + '\n';
    const char *how[] = {"staff", "staff", "staff", "staff", "staff",
                         "staff", "staff", "auto",  "gone",  "staff"};
    qsizetype lines = 0;
    for (int i = 0; bytes.size() < ResponseStats::MaxFileBytes; ++i, ++lines) {
        // Written as wall times; UTC spares the generator a time-zone lookup per line.
        const QDateTime came = QDateTime(day, QTime(10, 0), Qt::UTC).addSecs(i * 7 % 43200);
        const StatsLine line{QString::number(i + 1), u"창가%1"_s.arg(i % 40 + 1), came,
                             came.addSecs(5),        came.addSecs(60 + i % 1200), LeftHow::Staff};
        QByteArray text = statsCsvLine(line).toUtf8();
        text.chop(5);
        bytes += text + how[i % 10] + '\n';
    }
    file.write(bytes);
    return lines;
}

using kavri::bench::Measure;

/// Opens the window and lets its events run until its table is filled.
Measure openWindow(const QString &folder, const QDate &day)
{
    // Closed after the measure, as a person reads the table first.
    std::unique_ptr<StatsWindow> window;
    return kavri::bench::measureStalls([&] {
        window = std::make_unique<StatsWindow>(folder, day);
        window->show();
        auto *table = window->findChild<QTableWidget *>(u"statsTable"_s);
        while (!table->item(0, 1) || table->item(0, 1)->text().isEmpty())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--write") == 0) {
        const qsizetype lines = writeDayFile(QString::fromLocal8Bit(argv[2]), QDate::currentDate());
        std::printf("%lld lines\n", static_cast<long long>(lines));
        return lines > 0 ? 0 : 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 3;
    QTemporaryDir dir;
    const QDate day = QDate::currentDate();
    const qsizetype lines = writeDayFile(dir.path(), day);
    std::printf("day file: %lld lines, %lld bytes\n", static_cast<long long>(lines),
                static_cast<long long>(QFileInfo(statsFilePath(dir.path(), day)).size()));
    QTemporaryDir empty;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        int unreadable = 0;
        const QList<StatsLine> lines = readStatsFile(statsFilePath(dir.path(), day), &unreadable);
        const double readMs = clock.nsecsElapsed() / 1e6;
        clock.restart();
        dayFigures(day, lines, unreadable);
        hourFigures(day, lines);
        const double figuresMs = clock.nsecsElapsed() / 1e6;
        const Measure window = openWindow(dir.path(), day);
        const Measure bare = openWindow(empty.path(), day);
        std::printf("  read %lld lines %7.1f ms, their figures %6.1f ms | window: filled after %7.1f ms, "
                    "longest stall %6.1f ms | without files: %6.1f ms, stall %6.1f ms\n",
                    static_cast<long long>(lines.size()), readMs, figuresMs, window.ms, window.stallMs,
                    bare.ms, bare.stallMs);
    }
    return 0;
}
