// The command line that answers without starting the board (--version, --help,
// --autostart, --stats), against the real program and a temporary home folder.
#include "startup/Autostart.h"
#include "startup/CommandLine.h"
#include "support/FileBytes.h"

#include <QDate>
#include <QDir>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

const QString Program = QString::fromUtf8(KAVRI_DISPLAY_PATH);

/// The keys of a desktop entry's one group, as a desktop reads them.
QMap<QString, QString> entryKeys(const QByteArray &entry)
{
    QMap<QString, QString> keys;
    for (const QString &line : QString::fromUtf8(entry).split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0)
            keys.insert(line.left(equals), line.mid(equals + 1));
    }
    return keys;
}

} // namespace

class TstQuickCommands : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString home() const { return m_dir.path() + u"/home"_s; }
    QString appDir() const { return m_dir.path() + u"/app"_s; }
    QString autostartFile() const { return home() + u"/.config/autostart/kavri-display.desktop"_s; }
    QString todaysLog() const
    {
        return appDir() + u'/' + QDate::currentDate().toString(u"yyMMdd"_s) + u".log"_s;
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env;
        env.insert(u"PATH"_s, u"/usr/bin:/bin"_s);
        env.insert(u"HOME"_s, home());
        env.insert(u"LANG"_s, u"C.UTF-8"_s);
        env.insert(u"KAVRI_APP_DIR"_s, appDir());
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        return env;
    }

    Run run(const QStringList &args, const QProcessEnvironment &env) const
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(Program, args);
        Run r;
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    Run run(const QStringList &args) const { return run(args, environment()); }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(home()).removeRecursively();
        QDir(appDir()).removeRecursively();
        QVERIFY(QDir().mkpath(home()));
        QVERIFY(QDir().mkpath(appDir()));
    }

    void versionAndHelp()
    {
        const Run version = run({u"--version"_s});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, versionLine() + u'\n');
        QVERIFY(version.out.startsWith(u"kavri-display 1."_s));

        const Run help = run({u"--help"_s});
        QCOMPARE(help.exitCode, 0);
        for (const QString &part : {u"사용법"_s, u"Usage"_s, u"-DeveloperMode"_s, u"-FilePrint"_s, u"/a "_s,
                                    u"--autostart on|off"_s, u"--version"_s, u"KAVRI_APP_DIR"_s})
            QVERIFY2(help.out.contains(part), qPrintable(part));
        QCOMPARE(run({u"-h"_s}).out, help.out);
        // Nothing of a start: no log, no lock, no per-user folder.
        QVERIFY(QDir(appDir()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QVERIFY(!QFileInfo::exists(home() + u"/.local"_s));
    }

    // A shell on the counter PC without a display (a vendor's remote session) still gets answers.
    void answersWithoutADisplay()
    {
        QProcessEnvironment env = environment();
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        env.remove(u"DISPLAY"_s);
        env.remove(u"WAYLAND_DISPLAY"_s);
        QCOMPARE(run({u"--version"_s}, env).exitCode, 0);
        QCOMPARE(run({u"--autostart"_s, u"on"_s}, env).exitCode, 0);
        QVERIFY(QFileInfo::exists(autostartFile()));
    }

    void autostartOnAndOff()
    {
        const Run on = run({u"--autostart"_s, u"on"_s});
        QCOMPARE(on.exitCode, 0);
        QVERIFY(on.out.contains(autostartFile()));
        const QByteArray entry = test::readBytes(autostartFile());
        QVERIFY(entry.startsWith("[Desktop Entry]\n"));
        QVERIFY(entry.contains("\nType=Application\n"));
        // The copy that was asked starts, with the folder it was asked in.
        QVERIFY2(
            entry.contains("\nExec=env KAVRI_APP_DIR=" + appDir().toUtf8() + ' ' + Program.toUtf8() + '\n'),
            entry.constData());
        QCOMPARE(entryKeys(entry).value(u"TryExec"_s), Program);
        QCOMPARE(run({u"--AUTOSTART=on"_s}).exitCode, 0);
        QCOMPARE(test::readBytes(autostartFile()), entry);

        QCOMPARE(run({u"--autostart=off"_s}).exitCode, 0);
        QVERIFY(!QFileInfo::exists(autostartFile()));
        QCOMPARE(run({u"--autostart"_s, u"off"_s}).exitCode, 0); // already off

        QProcessEnvironment env = environment();
        env.remove(u"KAVRI_APP_DIR"_s);
        QCOMPARE(run({u"--autostart"_s, u"on"_s}, env).exitCode, 0);
        QVERIFY(test::readBytes(autostartFile()).contains("\nExec=" + Program.toUtf8() + '\n'));

        const Run bad = run({u"--autostart"_s, u"maybe"_s});
        QCOMPARE(bad.exitCode, 2);
        QVERIFY(!bad.err.isEmpty());
        QCOMPARE(run({u"--autostart"_s}).exitCode, 2);
    }

    // Under umask 000 (inherited by the program) the folders made for the entry
    // are the user's alone, and no one else may change what the session starts.
    void autostartUnderUmask000()
    {
        const mode_t old = ::umask(0);
        const Run on = run({u"--autostart"_s, u"on"_s});
        ::umask(old);
        QCOMPARE(on.exitCode, 0);
        auto modeOf = [](const QString &path) {
            struct stat st
            {
            };
            return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
        };
        QCOMPARE(modeOf(home() + u"/.config"_s), 0700);
        QCOMPARE(modeOf(home() + u"/.config/autostart"_s), 0700);
        QCOMPARE(modeOf(autostartFile()) & 022, 0);
    }

    // The package's copy writes the name on PATH, so the entry outlives upgrades and a
    // desktop skips it (TryExec) once the package is removed; any other copy, or the
    // package's when PATH does not reach it, writes its absolute path. Played by a copy
    // of the built program laid out as the package lays it out.
    void autostartCommandAsInstalled_data()
    {
        QTest::addColumn<bool>("marker");
        QTest::addColumn<bool>("binOnPath");
        QTest::addColumn<QString>("appDir");
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QString>("tryExec");
        const QString lib = u"@/usr/lib/kavri-display/kavri-display"_s;
        QTest::newRow("installed, on PATH")
            << true << true << QString() << u"kavri-display"_s << u"kavri-display"_s;
        QTest::newRow("installed, own folder")
            << true << true << u"/srv/매장"_s << u"env KAVRI_APP_DIR=/srv/매장 kavri-display"_s
            << u"kavri-display"_s;
        QTest::newRow("installed, not on PATH") << true << false << QString() << lib << lib;
        QTest::newRow("portable copy on PATH") << false << true << QString() << lib << lib;
    }
    void autostartCommandAsInstalled()
    {
        QFETCH(bool, marker);
        QFETCH(bool, binOnPath);
        QFETCH(QString, appDir);
        QFETCH(QString, exec);
        QFETCH(QString, tryExec);
        const QString root = m_dir.path() + u"/root"_s;
        QDir(root).removeRecursively();
        const QString lib = root + u"/usr/lib/kavri-display"_s;
        QVERIFY(QDir().mkpath(lib) && QDir().mkpath(root + u"/usr/bin"_s));
        QVERIFY(QFile::copy(Program, lib + u"/kavri-display"_s));
        if (marker)
            QVERIFY(test::writeBytes(lib + u"/kavri-display.installed"_s, {}));
        QVERIFY(QFile::link(u"../lib/kavri-display/kavri-display"_s, root + u"/usr/bin/kavri-display"_s));

        QProcessEnvironment env = environment();
        env.insert(u"PATH"_s, (binOnPath ? root + u"/usr/bin:"_s : QString()) + u"/usr/bin:/bin"_s);
        if (appDir.isEmpty())
            env.remove(u"KAVRI_APP_DIR"_s);
        else
            env.insert(u"KAVRI_APP_DIR"_s, appDir);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(root + u"/usr/bin/kavri-display"_s, {u"--autostart"_s, u"on"_s});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QMap<QString, QString> keys = entryKeys(test::readBytes(autostartFile()));
        QCOMPARE(keys.value(u"Exec"_s), QString(exec).replace(u'@', root));
        QCOMPARE(keys.value(u"TryExec"_s), QString(tryExec).replace(u'@', root));
        QCOMPARE(keys.value(u"Type"_s), u"Application"_s);
        QCOMPARE(keys.value(u"Icon"_s), u"kavri-display"_s);
    }

    void autostartCommand_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("onPath");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("command");
        const QString lib = u"/usr/lib/kavri-display/kavri-display"_s;
        QTest::newRow("package") << lib << lib << true << u"kavri-display"_s;
        QTest::newRow("another kavri-display on PATH")
            << lib << u"/home/a/bin/kavri-display"_s << true << lib;
        QTest::newRow("none on PATH") << lib << QString() << true << lib;
        QTest::newRow("build folder")
            << u"/work/build/src/kavri-display"_s << u"/work/build/src/kavri-display"_s << false
            << u"/work/build/src/kavri-display"_s;
    }
    void autostartCommand()
    {
        QFETCH(QString, program);
        QFETCH(QString, onPath);
        QFETCH(bool, installed);
        QFETCH(QString, command);
        QCOMPARE(kavri::autostartCommand(program, onPath, installed), command);
    }

    // While a board runs in the same folder the quick commands still answer and
    // leave its log alone; an unknown option is logged and the board starts.
    void besideARunningBoard()
    {
        QProcess board;
        board.setProcessEnvironment(environment());
        board.start(Program, {u"-NoSuchOption"_s, u"/a"_s, u"-FilePrint"_s});
        QVERIFY(board.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(test::readBytes(todaysLog()).contains("Form_Activate] Enter"), 30000);
        const QByteArray log = test::readBytes(todaysLog());
        QVERIFY(log.contains("Version: "));
        QVERIFY(log.contains("-NoSuchOption"));
        QVERIFY(!log.contains("/a\r\n")); // the hand-over argument is known

        QCOMPARE(run({u"--version"_s}).exitCode, 0);
        QCOMPARE(run({u"--help"_s}).exitCode, 0);
        QCOMPARE(run({u"--autostart"_s, u"on"_s}).exitCode, 0);
        QCOMPARE(run({u"--autostart"_s, u"off"_s}).exitCode, 0);
        const Run stats = run({u"--stats"_s});
        QCOMPARE(stats.exitCode, 0);
        QVERIFY2(stats.out.contains(QDate::currentDate().toString(u"yyyy-MM-dd"_s)), qPrintable(stats.out));
        QCOMPARE(test::readBytes(todaysLog()), log);
        QCOMPARE(board.state(), QProcess::Running);
        board.kill();
        board.waitForFinished();
    }

    // The statistics of a fixed file, printed without a window, a log or a lock.
    void statsReport()
    {
        const QDate today = QDate::currentDate();
        QVERIFY(QDir().mkpath(appDir() + u"/stats"_s));
        QFile file(appDir() + u"/stats/"_s + today.toString(u"yyyy-MM-dd"_s) + u".csv"_s);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QString day = today.toString(u"yyyy-MM-dd "_s);
        file.write((u"number,table,registered,first_seen,left,how\n1,A5,"_s + day + u"09:00:00,,"_s + day +
                    u"09:06:00,staff\n2,B4,"_s + day + u"09:00:00,,"_s + day + u"09:02:00,staff\n"_s)
                       .toUtf8());
        file.close();
        const Run stats = run({u"--stats"_s, u"3"_s});
        QCOMPARE(stats.exitCode, 0);
        const QStringList lines = stats.out.split(u'\n');
        QCOMPARE(lines.size(), 6); // header, three days, the note, the final line end
        QVERIFY2(lines.at(3).startsWith(day.trimmed() +
                                        u"     2         4.0      6.0         0%  A5 6.0, B4 2.0"_s),
                 qPrintable(stats.out));
        QVERIFY(lines.at(1).startsWith(today.addDays(-2).toString(u"yyyy-MM-dd"_s) + u"     0"_s));
        QCOMPARE(QDir(appDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{u"stats"_s});
        QCOMPARE(run({u"--stats"_s, u"많이"_s}).exitCode, 2);
    }

    // A day file of an older version holds the service's table names as they came,
    // control characters and all: the report reaches the terminal without any.
    void statsReportWithoutControls()
    {
        const QDate today = QDate::currentDate();
        QVERIFY(QDir().mkpath(appDir() + u"/stats"_s));
        QFile file(appDir() + u"/stats/"_s + today.toString(u"yyyy-MM-dd"_s) + u".csv"_s);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray day = today.toString(u"yyyy-MM-dd "_s).toUtf8();
        const QList<QByteArray> tables{"\x1b[2J\x1b]0;pwned\x07"
                                       "A5",
                                       "B\tC", QByteArray("D\0E", 3), "F\x7fG", "\"H\rI\""};
        QByteArray bytes = "number,table,registered,first_seen,left,how\n";
        for (int i = 0; i < tables.size(); ++i)
            bytes += QByteArray::number(i + 1) + ',' + tables.at(i) + ',' + day + "09:00:00,," + day +
                     "09:0" + QByteArray::number(i + 1) + ":00,staff\n";
        file.write(bytes);
        file.close();
        const Run stats = run({u"--stats"_s, u"1"_s});
        QCOMPARE(stats.exitCode, 0);
        for (const QChar c : stats.out)
            QVERIFY2((c.unicode() >= 0x20 && c.unicode() != 0x7f) || c == u'\n',
                     qPrintable(u"control character %1 in: "_s.arg(c.unicode()) + stats.out));
        for (const QString &name :
             {u" [2J ]0;pwned A5 1.0"_s, u"B C 2.0"_s, u"D E 3.0"_s, u"F G 4.0"_s, u"H I 5.0"_s})
            QVERIFY2(stats.out.contains(name), qPrintable(name + u" in: "_s + stats.out));
    }

    void statsDays_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("days");
        QTest::newRow("default") << QStringList{u"--stats"_s} << 7;
        QTest::newRow("next is an option") << QStringList{u"--stats"_s, u"-FilePrint"_s} << 7;
        QTest::newRow("given") << QStringList{u"--stats"_s, u"30"_s} << 30;
        QTest::newRow("joined") << QStringList{u"--stats=2"_s} << 2;
        QTest::newRow("one") << QStringList{u"--stats"_s, u"1"_s} << 1;
        QTest::newRow("ninety") << QStringList{u"--stats"_s, u"90"_s} << 90;
        // Out of range is refused (0), never made into another number of days.
        QTest::newRow("zero") << QStringList{u"--stats"_s, u"0"_s} << 0;
        QTest::newRow("negative is a number, not an option") << QStringList{u"--stats"_s, u"-3"_s} << 0;
        QTest::newRow("negative joined") << QStringList{u"--stats=-3"_s} << 0;
        QTest::newRow("ninety-one") << QStringList{u"--stats"_s, u"91"_s} << 0;
        QTest::newRow("huge") << QStringList{u"--stats"_s, u"99999999999"_s} << 0;
        QTest::newRow("not a number") << QStringList{u"--stats"_s, u"일주일"_s} << 0;
    }
    void statsDays()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, days);
        QCOMPARE(kavri::statsDays(arguments), days);
    }

    // The program itself: a number of days outside 1..90 is refused as a word is, with
    // the range in the message; the bounds themselves are reports.
    void statsDaysRange_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("dayLines");
        QTest::newRow("0") << QStringList{u"--stats"_s, u"0"_s} << 2 << 0;
        QTest::newRow("-3") << QStringList{u"--stats"_s, u"-3"_s} << 2 << 0;
        QTest::newRow("91") << QStringList{u"--stats"_s, u"91"_s} << 2 << 0;
        QTest::newRow("abc") << QStringList{u"--stats"_s, u"abc"_s} << 2 << 0;
        QTest::newRow("=0") << QStringList{u"--stats=0"_s} << 2 << 0;
        QTest::newRow("1") << QStringList{u"--stats"_s, u"1"_s} << 0 << 1;
        QTest::newRow("90") << QStringList{u"--stats=90"_s} << 0 << 90;
    }
    void statsDaysRange()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(int, dayLines);
        const Run r = run(arguments);
        QCOMPARE(r.exitCode, exitCode);
        if (exitCode != 0) {
            QVERIFY(r.out.isEmpty());
            QVERIFY2(r.err.contains(u"--stats 뒤에는 1부터 90까지의 일수"_s), qPrintable(r.err));
            QVERIFY2(r.err.contains(u"--stats a number of days from 1 to 90"_s), qPrintable(r.err));
            return;
        }
        QVERIFY(r.err.isEmpty());
        // The heading, a line per day, the note and the final line end.
        QCOMPARE(r.out.split(u'\n').size(), dayLines + 3);
    }

    void parsing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("command");
        QTest::newRow("none") << QStringList{u"-FilePrint"_s} << int(QuickCommand::None);
        QTest::newRow("help") << QStringList{u"-FilePrint"_s, u"--help"_s} << int(QuickCommand::Help);
        QTest::newRow("version upper") << QStringList{u"--VERSION"_s} << int(QuickCommand::Version);
        QTest::newRow("first decides")
            << QStringList{u"--version"_s, u"--help"_s} << int(QuickCommand::Version);
        QTest::newRow("on") << QStringList{u"--autostart"_s, u"ON"_s} << int(QuickCommand::AutostartOn);
        QTest::newRow("off joined") << QStringList{u"--autostart=off"_s} << int(QuickCommand::AutostartOff);
        QTest::newRow("no value") << QStringList{u"--autostart"_s} << int(QuickCommand::BadUsage);
        QTest::newRow("empty value") << QStringList{u"--autostart="_s} << int(QuickCommand::BadUsage);
        QTest::newRow("single dash is not it") << QStringList{u"-version"_s} << int(QuickCommand::None);
        QTest::newRow("stats") << QStringList{u"--stats"_s} << int(QuickCommand::Stats);
        QTest::newRow("stats days") << QStringList{u"--stats"_s, u"30"_s} << int(QuickCommand::Stats);
        QTest::newRow("stats joined") << QStringList{u"--STATS=40"_s} << int(QuickCommand::Stats);
        QTest::newRow("stats too many") << QStringList{u"--STATS=400"_s} << int(QuickCommand::BadUsage);
        QTest::newRow("stats words") << QStringList{u"--stats=a"_s} << int(QuickCommand::BadUsage);
    }
    void parsing()
    {
        QFETCH(QStringList, args);
        QFETCH(int, command);
        QCOMPARE(int(parseQuickCommand(args)), command);
    }

    void execArgument_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << u"/usr/lib/kavri-display/kavri-display"_s
                               << u"/usr/lib/kavri-display/kavri-display"_s;
        QTest::newRow("blank") << u"/home/a b/kavri-display"_s << u"\"/home/a b/kavri-display\""_s;
        QTest::newRow("dollar and quote") << u"/x/$y\"z"_s << u"\"/x/\\$y\\\"z\""_s;
        QTest::newRow("backslash") << u"/x\\y"_s << u"\"/x\\\\y\""_s;
        QTest::newRow("percent") << u"/100%/k"_s << u"/100%%/k"_s;
        QTest::newRow("korean") << u"/매장/kavri-display"_s << u"/매장/kavri-display"_s;
        QTest::newRow("line break") << u"/x\ny"_s << QString();
    }
    void execArgument()
    {
        QFETCH(QString, argument);
        QFETCH(QString, written);
        QCOMPARE(desktopExecArgument(argument), written);
    }

    // Exec is itself an escaped string value: a quoted backslash is written twice over.
    void entryEscapesExecOnceMore()
    {
        const QByteArray entry = autostartEntry(u"/x\\y"_s, {});
        QVERIFY2(entry.contains("\nExec=\"/x\\\\\\\\y\"\n"), entry.constData());
        QVERIFY2(entry.contains("\nTryExec=/x\\\\y\n"), entry.constData());
        QVERIFY(autostartEntry(u"/x\ny"_s, {}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstQuickCommands)
#include "tst_quickcommands.moc"
