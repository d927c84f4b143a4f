#include "platform/Audio.h"
#include "platform/Dialogs.h"
#include "platform/DisplayPlatform.h"
#include "platform/Heap.h"
#include "platform/InstanceLock.h"
#include "platform/RaiseChannel.h"
#include "platform/gui/ProgramIcon.h"
#include "platform/gui/QtDialogs.h"
#include "startup/CommandLine.h"
#include "startup/EndOnSignal.h"
#include "startup/LoginWindow.h"
#include "startup/SecondStart.h"
#include "startup/StartUp.h"

#include <QApplication>
#include <QCoreApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    kavri::platform::useOneHeap();

    // --help, --version, --autostart and --stats answer without a display, a window, a log
    // line or a look at a copy already running in the same folder.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (const kavri::QuickCommand quick = kavri::parseQuickCommand(arguments);
        quick != kavri::QuickCommand::None) {
        QCoreApplication core(argc, argv);
        return kavri::runQuickCommand(quick, arguments);
    }

    // X11 (XWayland on a Wayland session) unless a window system is asked for.
    kavri::platform::selectDisplayPlatform(argc, argv);
    QApplication app(argc, argv);
    kavri::platform::nameApplication();
    kavri::platform::useProgramIcon();

    // The one place the real message boxes, chime player and speaker are chosen;
    // without them (tests, tools) boxes answer No/OK unseen and sound stays silent.
    static kavri::platform::QtDialogs messageBoxes;
    static kavri::platform::ProcessChimePlayer chimePlayer;
    static kavri::platform::ProcessSpeaker speaker;
    kavri::platform::setDialogs(&messageBoxes);
    kavri::platform::setChimePlayer(&chimePlayer);
    kavri::platform::setSpeaker(&speaker);

    static kavri::platform::InstanceLock instanceLock;
    const kavri::StartOutcome outcome = kavri::Main(app.arguments().mid(1), instanceLock);
    if (outcome != kavri::StartOutcome::Proceed)
        return outcome == kavri::StartOutcome::AlreadyRunning ? 0 : 1;
    // A shutdown, a logout or Ctrl+C ends the board as 종료 does, not in the middle of a ticket.
    kavri::endOnStopSignals();

    // A second start in this folder asks this copy to bring its board to the front.
    kavri::platform::RaiseListener raiseListener;
    kavri::listenForSecondStart(raiseListener);

    kavri::frmLogin login;
    login.m_FirstActivated = true;
    login.show();
    return app.exec();
}
