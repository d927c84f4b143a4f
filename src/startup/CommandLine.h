#pragma once

#include <QStringList>

namespace kavri {

struct CommandLineFlags
{
    bool developerMode = false;
    bool filePrint = false;
    /// Items that are none of the program's options, in order (at most 16 kept).
    QStringList unknown;
};

/// The argument the upgrade hands the downloaded program; it asks for nothing here.
inline constexpr char16_t HandOverArgument[] = u"/a";

/// Reads "-developermode" and "-fileprint" from the arguments after the program
/// name: the text is split at every single space, each item compared whole
/// without regard to case. Sets gDevMode and gFilePrint; always true.
bool Main_Command_Argument_취득(const QStringList &arguments);

/// The reading itself, without touching the process-wide flags.
CommandLineFlags parseCommandLine(const QStringList &arguments);

/// What the command line asks for before any start-up: these answer and end
/// without a window, a log line or a look at a running copy.
enum class QuickCommand { None, Help, Version, AutostartOn, AutostartOff, Stats, BadUsage };

/// Looks for "--help" ("-h"), "--version", "--autostart on|off" ("--autostart=on")
/// and "--stats [days]" among the arguments after the program name, without
/// regard to case; the first one found decides.
QuickCommand parseQuickCommand(const QStringList &arguments);

/// The command line, in Korean and English.
QString helpText();
/// "kavri-display <gVersion>".
QString versionLine();

/// Carries out a quick command: prints to standard output (errors to standard
/// error) and returns the exit code. Needs a QCoreApplication.
int runQuickCommand(QuickCommand command, const QStringList &arguments = {});

/// The days of "--stats [days]" ("--stats=days"): 7 when none is given; 0 (refused)
/// when the value is not a whole number from 1 to 90.
int statsDays(const QStringList &arguments);

} // namespace kavri
