#include "platform/InstanceLock.h"
#include "services/AppFolder.h"
#include "services/EventLog.h"
#include "startup/StartUp.h"

#include <QApplication>
#include <QDateTime>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"kavri-display"_s);
    QApplication::setApplicationDisplayName(u"Kavri 디스플레이"_s);

    static kavri::platform::InstanceLock instanceLock;
    const kavri::StartOutcome outcome = kavri::Main(app.arguments().mid(1), instanceLock);
    if (outcome != kavri::StartOutcome::Proceed)
        return outcome == kavri::StartOutcome::AlreadyRunning ? 0 : 1;

    // The login window comes next; until it exists start-up ends here.
    std::printf("%s\n", qPrintable(u"log: "_s + kavri::logFilePath(QDateTime::currentDateTime(), {})));
    return 0;
}
