#include "startup/SecondStart.h"

#include "board/MainWindow.h"
#include "platform/Clock.h"
#include "platform/RaiseChannel.h"
#include "services/AppFolder.h"
#include "services/EventLog.h"
#include "startup/LoginFollowUp.h"

#include <QApplication>
#include <QWidget>

#include <optional>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

void toFront(QWidget *window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
}

} // namespace

void listenForSecondStart(platform::RaiseListener &listener)
{
    // A burst of starts, or anything else of this user's that keeps sending the message,
    // brings the window up (and writes its log line) once a second at most.
    auto raise = [last = std::optional<quint32>()]() mutable {
        const quint32 now = platform::clock().tick();
        if (last && now - *last < 1000)
            return;
        last = now;
        bringToFront();
    };
    QString error;
    if (!listener.listen(platform::raiseChannelPath(appFolder()), raise, &error))
        WriteLog(u"다시 실행할 때 창을 앞으로 가져올 수 없습니다: "_s + error.left(300));
}

bool askRunningCopyToRaise()
{
    return platform::requestRaise(platform::raiseChannelPath(appFolder()));
}

void bringToFront()
{
    WriteLog(u"프로그램을 다시 실행하여 창을 앞으로 가져옵니다."_s);
    frmAlarm *board = mainWindow();
    if (board && board->isVisible()) {
        board->bringToFront();
    } else if (board && board->settingsWindow()) {
        toFront(board->settingsWindow());
    } else {
        // Before the login, or between the login and the board: the window shown.
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->windowType() == Qt::Window && !window->isModal()) {
                toFront(window);
                break;
            }
        }
    }
    if (QWidget *box = QApplication::activeModalWidget())
        toFront(box);
}

} // namespace kavri
