#pragma once

#include "monitor/AlertRepeat.h"
#include "monitor/Confirmation.h"
#include "monitor/PollLoop.h"
#include "monitor/RequestBoard.h"
#include "monitor/RequestCycle.h"
#include "platform/ExecutableWatch.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

namespace kavri {

class frmAlarm;

namespace monitor {

/// What lives from the login to the end of the process, whatever happens to the
/// main window: the board, the request cycle with its memory of the previous
/// answer and top request, and the poll loop. The window shown is attached to
/// it: it draws the board, drives the loop with its timer, passes row clicks
/// and the confirm button on, and lends the cycle its wait picture, banner
/// highlight, chime, speech and the expiry minutes it shows.
class MonitorSession : public QObject
{
    Q_OBJECT
public:
    MonitorSession();
    ~MonitorSession() override;

    RequestBoard &board() { return m_board; }
    RequestCycle &cycle() { return m_cycle; }
    PollLoop &pollLoop() { return m_pollLoop; }
    /// The row marks and the confirm button.
    ConfirmFlow &confirmFlow() { return m_confirm; }

    /// Makes `window` the one the session works with (the previous one is let
    /// go). The window must draw this session's board.
    void attach(frmAlarm *window);
    /// Takes the loop and the hooks back from the attached window.
    void detach();
    frmAlarm *window() const { return m_window; }

    /// The new-request alert on the attached window: the banner highlighted,
    /// chime and speech unless `silent`, then `LoopBlinking`.
    void newRequestAlert(bool silent);
    /// The sound test of `lblSound`; a click during a running test is ignored.
    void soundTest();

    /// Logout or terminate: no cycle, alert or tick runs any more.
    void shutDown();

    /// The repeat of an unanswered top request's alert ("AlertRepeat").
    AlertRepeat &alertRepeat() { return m_repeat; }
    /// One tick of the window's loop: the steady frame, and a repeat when one is
    /// due and neither a cycle, a confirmation, an alert nor a near poll is in its way.
    void repeatTick();
    /// A repeat starts only when the next poll is at least this far away, and a
    /// poll that comes due meanwhile cuts it short: it never delays a poll.
    static constexpr quint32 kRepeatRoomMs = 3000;

    /// The program file watched for a newer version (the running program unless set).
    void watchExecutable(const platform::ExecutableWatch &watch) { m_executable = watch; }
    /// Run by a timer once a minute: a newer version installed over the running
    /// program is written to the main log once and noted on the health line; the
    /// board keeps running the old one until it is started again.
    void checkExecutable();
    static constexpr int kExecutableCheckMs = 60000;
    const QTimer &executableTimer() const { return m_executableTimer; }

private:
    RequestBoard m_board;
    RequestCycle m_cycle{m_board};
    PollLoop m_pollLoop;
    ConfirmFlow m_confirm{m_board, m_cycle, m_pollLoop};
    QPointer<frmAlarm> m_window;
    QMetaObject::Connection m_endingConnection;
    QMetaObject::Connection m_soundTestConnection;
    QMetaObject::Connection m_destroyedConnection;
    QList<QMetaObject::Connection> m_windowConnections;
    AlertRepeat m_repeat;
    void showHealth();
    bool m_soundTestRunning = false;
    bool m_alertRunning = false;
    bool m_repeatRunning = false;
    bool m_shutDown = false;
    platform::ExecutableWatch m_executable = platform::ExecutableWatch::runningProgram();
    QTimer m_executableTimer;
    bool m_newVersionNoticed = false;
};

} // namespace monitor
} // namespace kavri
