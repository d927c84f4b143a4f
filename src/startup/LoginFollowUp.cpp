#include "startup/LoginFollowUp.h"

#include "board/MainWindow.h"
#include "monitor/MonitorSession.h"
#include "printing/PrinterSettings.h"
#include "upgrade/UpgradeDecision.h"

#include <QCoreApplication>
#include <QPointer>

namespace kavri {
namespace {

QPointer<frmAlarm> theMainWindow;

} // namespace

monitor::MonitorSession &session()
{
    static monitor::MonitorSession theSession;
    return theSession;
}

void continueAfterLogin()
{
    if (TNV_자동_업그레이드() == UpgradeOutcome::Ending)
        return;
    Load_프린터설정();
    Load_선택된테이블설정();
    // Shown before the login window closes, so the application never sees its last window close.
    openMainWindow();
}

frmAlarm *openMainWindow()
{
    if (!theMainWindow) {
        theMainWindow = new frmAlarm(session().board());
        theMainWindow->setSession(&session());
        // Deleted when the event loop ends (logout, terminate), never while a handler of it runs.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, theMainWindow, &QObject::deleteLater);
    }
    theMainWindow->show();
    return theMainWindow;
}

frmAlarm *mainWindow()
{
    return theMainWindow;
}

} // namespace kavri
