#include "platform/Dialogs.h"
#include "platform/InstanceLock.h"
#include "startup/LoginWindow.h"
#include "startup/StartUp.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    kavri::platform::nameApplication();

    static kavri::platform::InstanceLock instanceLock;
    const kavri::StartOutcome outcome = kavri::Main(app.arguments().mid(1), instanceLock);
    if (outcome != kavri::StartOutcome::Proceed)
        return outcome == kavri::StartOutcome::AlreadyRunning ? 0 : 1;

    kavri::frmLogin login;
    login.m_FirstActivated = true;
    login.show();
    return app.exec();
}
