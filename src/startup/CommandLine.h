#pragma once

#include <QStringList>

namespace kavri {

struct CommandLineFlags
{
    bool developerMode = false;
    bool filePrint = false;
};

/// Reads "-developermode" and "-fileprint" from the arguments after the program
/// name: the text is split at every single space, each item compared whole
/// without regard to case. Sets gDevMode and gFilePrint; always true.
bool Main_Command_Argument_취득(const QStringList &arguments);

/// The reading itself, without touching the process-wide flags.
CommandLineFlags parseCommandLine(const QStringList &arguments);

} // namespace kavri
