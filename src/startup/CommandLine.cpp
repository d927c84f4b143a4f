#include "startup/CommandLine.h"

#include "platform/Clock.h"
#include "services/AppFolder.h"
#include "services/ErrorReport.h"
#include "services/ProcessValues.h"
#include "startup/Autostart.h"
#include "stats/StatsReport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <exception>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

constexpr qsizetype MaxUnknownKept = 16;

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

CommandLineFlags parseCommandLine(const QStringList &arguments)
{
    CommandLineFlags flags;
    const QString text = arguments.join(u' ');
    for (const QString &item : text.split(u' ')) {
        const QString lower = item.toLower();
        if (lower == u"-developermode"_s)
            flags.developerMode = true;
        else if (lower == u"-fileprint"_s)
            flags.filePrint = true;
        else if (!item.isEmpty() && lower != QString::fromUtf16(HandOverArgument) &&
                 flags.unknown.size() < MaxUnknownKept)
            flags.unknown.append(item);
    }
    return flags;
}

bool Main_Command_Argument_취득(const QStringList &arguments)
{
    const CommandLineFlags flags = parseCommandLine(arguments);
    gDevMode = gDevMode || flags.developerMode;
    gFilePrint = gFilePrint || flags.filePrint;
    return true;
}

QuickCommand parseQuickCommand(const QStringList &arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString item = arguments.at(i).toLower();
        if (item == u"--help"_s || item == u"-h"_s)
            return QuickCommand::Help;
        if (item == u"--version"_s)
            return QuickCommand::Version;
        if (item == u"--stats"_s || item.startsWith(u"--stats="_s))
            return statsDays(arguments) ? QuickCommand::Stats : QuickCommand::BadUsage;
        QString value;
        if (item == u"--autostart"_s)
            value = i + 1 < arguments.size() ? arguments.at(i + 1).toLower() : QString();
        else if (item.startsWith(u"--autostart="_s))
            value = item.mid(12);
        else
            continue;
        if (value == u"on"_s)
            return QuickCommand::AutostartOn;
        if (value == u"off"_s)
            return QuickCommand::AutostartOff;
        return QuickCommand::BadUsage;
    }
    return QuickCommand::None;
}

int statsDays(const QStringList &arguments)
{
    const auto wholeNumber = [](const QString &text, qlonglong *value) {
        bool ok = false;
        *value = text.toLongLong(&ok);
        return ok;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString item = arguments.at(i).toLower();
        QString value;
        qlonglong days = 0;
        if (item == u"--stats"_s) {
            // The number is optional: a following option is not it, but "-3" is a number (refused).
            if (i + 1 >= arguments.size() ||
                (arguments.at(i + 1).startsWith(u'-') && !wholeNumber(arguments.at(i + 1), &days)))
                return 7;
            value = arguments.at(i + 1);
        } else if (item.startsWith(u"--stats="_s)) {
            value = item.mid(8);
        } else {
            continue;
        }
        if (!wholeNumber(value, &days) || days < 1 || days > stats::MaxReportDays)
            return 0;
        return int(days);
    }
    return 7;
}

QString versionLine()
{
    return u"kavri-display "_s +
           buildVersionText(KAVRI_VERSION_MAJOR, KAVRI_VERSION_MINOR, KAVRI_VERSION_PATCH);
}

QString helpText()
{
    return u"사용법: kavri-display [옵션...]\n"
           "Usage:  kavri-display [options...]\n"
           "\n"
           "Kavri 디스플레이: 손님의 요청을 받아 보여 주고, 알리고, 티켓으로 인쇄합니다.\n"
           "Kavri Display: shows, announces and prints the requests customers send from their tables.\n"
           "\n"
           "  -DeveloperMode       개발용 배포 채널에서 업그레이드를 찾습니다.\n"
           "                       Looks for upgrades on the development release channel.\n"
           "  -FilePrint           티켓을 프린터로 보내지 않고 티켓 로그(yyMMdd_PRN.log)에만 씁니다.\n"
           "                       Writes tickets to the ticket log (yyMMdd_PRN.log) only, not to the "
           "printers.\n"
           "  /a                   업그레이드가 새로 받은 프로그램을 시작할 때 붙이는 인수입니다(직접 쓸 일 "
           "없음).\n"
           "                       Given by the upgrade to the downloaded program it starts (not typed by "
           "hand).\n"
           "  --autostart on|off   로그인할 때 자동으로 시작할지 "
           "정합니다(~/.config/autostart/kavri-display.desktop).\n"
           "                       Starts the program at login, or no longer "
           "(~/.config/autostart/kavri-display.desktop).\n"
           "  --stats [일수]       최근 일수(기본 7, 최대 90)의 응답 시간 통계를 보여 줍니다(stats/*.csv).\n"
           "                       Prints the response-time statistics of the last days (default 7, at most "
           "90).\n"
           "  --version            버전을 보여 줍니다. / Prints the version.\n"
           "  --help, -h           이 도움말을 보여 줍니다. / Prints this help.\n"
           "\n"
           "-DeveloperMode와 -FilePrint는 대소문자를 가리지 않습니다. 모르는 옵션은 로그에 남기고 "
           "무시합니다.\n"
           "-DeveloperMode and -FilePrint are read without regard to case. Unknown options are logged and "
           "ignored.\n"
           "\n"
           "프로그램 폴더 / application folder:\n"
           "  KAVRI_APP_DIR가 있으면 그 폴더, 설치된 프로그램은 ~/.local/share/kavri-display\n"
           "  ($XDG_DATA_HOME/kavri-display), 그 밖에는 실행 파일이 있는 폴더입니다.\n"
           "  KAVRI_APP_DIR when set; for the installed program ~/.local/share/kavri-display\n"
           "  ($XDG_DATA_HOME/kavri-display); otherwise the folder of the executable.\n"_s;
}

int runQuickCommand(QuickCommand command, const QStringList &arguments)
{
    switch (command) {
    case QuickCommand::None:
        return 0;
    case QuickCommand::Help:
        print(stdout, helpText());
        return 0;
    case QuickCommand::Version:
        print(stdout, versionLine() + u'\n');
        return 0;
    case QuickCommand::Stats:
        print(stdout, stats::statsReportText(stats::recentDays(appFolder(), platform::clock().now().date(),
                                                               statsDays(arguments))));
        return 0;
    case QuickCommand::BadUsage:
        print(stderr,
              u"kavri-display: --autostart 뒤에는 on 또는 off를, --stats 뒤에는 1부터 %1까지의 일수를 "
              "씁니다. / --autostart takes on or off, --stats a number of days from 1 to %1.\n"_s.arg(
                  stats::MaxReportDays));
        return 2;
    case QuickCommand::AutostartOn:
    case QuickCommand::AutostartOff: {
        const bool on = command == QuickCommand::AutostartOn;
        QString error;
        const QString program = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
        const QString onPath = QStandardPaths::findExecutable(u"kavri-display"_s);
        const QString command =
            autostartCommand(program, onPath.isEmpty() ? QString() : QFileInfo(onPath).canonicalFilePath(),
                             isInstalledProgramFolder(programFolder()));
        if (!setAutostart(on, command, qEnvironmentVariable("KAVRI_APP_DIR"), &error)) {
            print(stderr, u"kavri-display: "_s + error + u'\n');
            return 1;
        }
        print(stdout, (on ? u"로그인할 때 시작합니다 / starts at login: "_s
                          : u"로그인할 때 시작하지 않습니다 / no longer starts at login: "_s) +
                          autostartFilePath() + u'\n');
        return 0;
    }
    }
    return 0;
}

} // namespace kavri
