#pragma once

#include "monitor/AlertRepeat.h"
#include "monitor/Confirmation.h"
#include "monitor/PollLoop.h"
#include "monitor/RequestBoard.h"
#include "monitor/RequestCycle.h"
#include "platform/ExecutableWatch.h"
#include "printing/TicketOutput.h"
#include "printing/Unprinted.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

namespace kavri::monitor {

/// What lives from the login to the end of the process, whatever happens to the
/// main window: the board, the request cycle with its memory of the previous
/// answer and top request, the poll loop and its timer, the alert and its repeat.
/// It draws nothing: the window attached to it hears through the signals what to
/// show, and passes row clicks, the confirm button and option changes back
/// through the calls below.
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

    /// Makes `window` the one the session works for (the previous one is let
    /// go): while it lives the cycle shows its wait, alerts and health through
    /// the signals, which must be connected first (the health is sent at once).
    void attach(QObject *window);
    /// Stops the loop, takes the cycle's hooks back and lets the window go;
    /// `detached` is sent first.
    void detach();
    QObject *window() const { return m_window; }

    /// The attached window was activated: "calltime" is read again and
    /// `LoopTimer` ticks, armed for the moment a poll is due.
    void activate();
    /// `LoopTimer`: 100 ms while a poll is near; each tick runs the poll loop,
    /// then the alert repeat.
    QTimer *loopTimer() { return &m_loopTimer; }

    /// The expiry minutes as the window shows them in `삭제`; the expiry pass reads them.
    void setShownExpiryMinutes(const QString &shown) { m_shownExpiryMinutes = shown; }
    /// Staff clicked the banner: the top request is seen and repeats no more.
    void bannerSeen();
    /// "AlertRepeat" in seconds (0 off), as the window's option shows it.
    void setAlertRepeatSeconds(int seconds);

    /// The new-request alert: the banner highlighted, chime and speech unless
    /// `silent`, then `LoopBlinking`.
    void newRequestAlert(bool silent);
    /// The sound test of `lblSound`; a click during a running test is ignored.
    void soundTest();

    /// Logout or terminate: no cycle, alert or tick runs any more.
    void shutDown();

    /// The repeat of an unanswered top request's alert ("AlertRepeat").
    AlertRepeat &alertRepeat() { return m_repeat; }
    /// One tick of the loop: the steady frame, and a repeat when one is due and
    /// neither a cycle, a confirmation, an alert nor a near poll is in its way.
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

signals:
    /// The wait picture goes over the board (it must be on screen before the
    /// exchange starts), or away.
    void waitStarted();
    void waitEnded();
    /// The banner's highlight, at once and through the chime and the speech.
    void bannerHighlighted();
    /// The alert is over: `LoopBlinking` keeps the highlight for a while.
    void blinkingStarted();
    /// The steady frame of a top request nobody answered, on or off (each tick).
    void bannerStaleChanged(bool stale);
    /// The health line: its text, and whether something is wrong.
    void healthChanged(const QString &text, bool faulty);
    /// The window is let go: it no longer calls the session.
    void detached();

private:
    void loopTick();
    void showHealth();

    // The session's own print spool and kept tickets, lent as the program's while it
    // lives: a logout leaves no queue or pending fault box for the next login, which
    // loads the kept tickets from their file again.
    PrintSpoolScope m_spool;
    UnprintedTicketsScope m_unprinted;
    RequestBoard m_board;
    RequestCycle m_cycle{m_board};
    PollLoop m_pollLoop;
    ConfirmFlow m_confirm{m_board, m_cycle, m_pollLoop};
    QPointer<QObject> m_window;
    QTimer m_loopTimer;
    QString m_shownExpiryMinutes;
    AlertRepeat m_repeat;
    bool m_soundTestRunning = false;
    bool m_alertRunning = false;
    bool m_repeatRunning = false;
    bool m_shutDown = false;
    platform::ExecutableWatch m_executable = platform::ExecutableWatch::runningProgram();
    QTimer m_executableTimer;
    bool m_newVersionNoticed = false;
};

} // namespace kavri::monitor
