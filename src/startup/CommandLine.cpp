#include "startup/CommandLine.h"

#include "services/ErrorReport.h"
#include "services/ProcessValues.h"

#include <exception>

using namespace Qt::StringLiterals;

namespace kavri {

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
    }
    return flags;
}

bool Main_Command_Argument_취득(const QStringList &arguments)
{
    try {
        const CommandLineFlags flags = parseCommandLine(arguments);
        gDevMode = gDevMode || flags.developerMode;
        gFilePrint = gFilePrint || flags.filePrint;
    } catch (const std::exception &e) {
        reportError(u"StartUp"_s, u"Main_Command_Argument_취득"_s, {1, 5, QString::fromLocal8Bit(e.what())}, {},
                    ReportPrefix::Capital);
    }
    return true;
}

} // namespace kavri
