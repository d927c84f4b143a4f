#include "monitor/MonitorSession.h"

#include "alerts/Alerts.h"
#include "monitor/Expiry.h"
#include "platform/Audio.h"
#include "platform/Clock.h"
#include "printing/Unprinted.h"
#include "services/AppFolder.h"
#include "services/EventLog.h"

using namespace Qt::StringLiterals;

namespace kavri::monitor {

MonitorSession::MonitorSession()
    : m_pollLoop([this] { m_cycle.Load_Kavri(false); },
                 // A repeated alert counts as a cycle under way: no poll starts inside its pause.
                 [this] { return m_cycle.isRunning() || m_repeatRunning; })
{
    // Tickets a printer did not take before the last exit are still owed.
    unprintedTickets().load(appFilePath(u"unprinted.json"_s), platform::clock().now());
    m_cycle.health().setUnprinted(unprintedTickets().count());
    // Staff who confirm anything have seen the board.
    connect(&m_confirm, &ConfirmFlow::confirmed, this, [this] { m_repeat.stop(); });
    m_loopTimer.setObjectName(u"LoopTimer"_s);
    m_loopTimer.setInterval(int(PollLoop::kTickMs));
    connect(&m_loopTimer, &QTimer::timeout, this, &MonitorSession::loopTick);
    m_executableTimer.setInterval(kExecutableCheckMs);
    connect(&m_executableTimer, &QTimer::timeout, this, &MonitorSession::checkExecutable);
    m_executableTimer.start();
}

MonitorSession::~MonitorSession()
{
    detach();
}

void MonitorSession::attach(QObject *window)
{
    detach();
    if (!window || m_shutDown)
        return;
    m_window = window;
    RequestCycle::Hooks hooks;
    hooks.showWait = [this] { emit waitStarted(); };
    hooks.hideWait = [this] { emit waitEnded(); };
    hooks.newRequestAlert = [this](bool silent) { newRequestAlert(silent); };
    hooks.healthChanged = [this] { showHealth(); };
    // A row keeps the number it showed last; an empty top row has no request to repeat.
    hooks.boardFilled = [this] {
        m_repeat.observeTop(m_board.row(0).isEmpty() ? QString() : m_board.row(0).numTag,
                            platform::clock().tick());
    };
    // The pass reads the minutes the window shows in `삭제`.
    hooks.expiryPass = [this] {
        if (m_window && !m_shutDown)
            runExpiryPass(m_shownExpiryMinutes, m_board, m_cycle);
    };
    m_confirm.setHooks({hooks.showWait, hooks.hideWait});
    m_cycle.setHooks(std::move(hooks));
    showHealth();
    // A window that goes away unannounced takes its hooks with it.
    connect(window, &QObject::destroyed, this, [this] {
        m_loopTimer.stop();
        m_cycle.setHooks({});
        m_confirm.setHooks({});
        m_window = nullptr;
    });
}

void MonitorSession::detach()
{
    m_loopTimer.stop();
    m_cycle.setHooks({});
    m_confirm.setHooks({});
    if (!m_window)
        return;
    QObject *window = m_window;
    m_window = nullptr;
    emit detached();
    // Every tie between the two goes, whichever side made it.
    disconnect(window, nullptr, this, nullptr);
    disconnect(this, nullptr, window, nullptr);
}

void MonitorSession::activate()
{
    if (!m_window || m_shutDown)
        return;
    m_pollLoop.activate();
    m_loopTimer.start(int(PollLoop::kTickMs));
}

void MonitorSession::loopTick()
{
    if (!m_window || m_shutDown)
        return;
    // Qt does not fire a timer again while its own handler runs, and the cycle
    // runs inside this one: restarted first, LoopTimer goes on ticking every
    // 100 ms through the cycle, and each of those ticks writes the skip line.
    m_loopTimer.start(int(PollLoop::kTickMs));
    m_pollLoop.LoopTimer_Timer();
    // A counter PC runs this all day: armed for the moment a poll is due.
    if (m_loopTimer.isActive())
        m_loopTimer.setInterval(m_pollLoop.nextTickMs());
    repeatTick();
}

void MonitorSession::bannerSeen()
{
    m_repeat.stop();
    if (m_window)
        emit bannerStaleChanged(false);
}

void MonitorSession::setAlertRepeatSeconds(int seconds)
{
    m_repeat.setInterval(seconds, platform::clock().tick());
}

void MonitorSession::newRequestAlert(bool silent)
{
    const QPointer<QObject> window = m_window;
    if (!window || m_shutDown)
        return;
    emit bannerHighlighted();
    // The spoken text is what the banner shows now.
    const Banner banner = m_board.banner();
    m_alertRunning = true;
    const bool alive =
        alerts::announce(banner.table, banner.text, silent, window, [this] { return m_shutDown; });
    m_alertRunning = false;
    if (!alive)
        return; // the window went away, or the process is ending
    if (!silent) {
        m_cycle.health().setSpeechUnavailable(platform::speechUnavailable());
        m_cycle.healthUpdated();
    }
    if (window && !m_shutDown)
        emit blinkingStarted();
}

void MonitorSession::showHealth()
{
    if (m_window)
        emit healthChanged(m_cycle.health().text(), m_cycle.health().wantsAttention());
}

void MonitorSession::checkExecutable()
{
    // Said once: the file stays replaced until the program is started again.
    if (m_newVersionNoticed || !m_executable.replaced())
        return;
    m_newVersionNoticed = true;
    m_executableTimer.stop();
    WriteLog(u"새 버전이 설치되었습니다: "_s + m_executable.path() +
             u" - 다시 시작하면 새 버전이 실행됩니다."_s);
    m_cycle.health().setNewVersionInstalled(true);
    m_cycle.healthUpdated();
}

void MonitorSession::repeatTick()
{
    const QPointer<QObject> window = m_window;
    if (!window || m_shutDown)
        return;
    const quint32 now = platform::clock().tick();
    emit bannerStaleChanged(m_repeat.isStale(now));
    if (!m_repeat.isDue(now) || m_alertRunning || m_soundTestRunning || m_cycle.isRunning() ||
        m_pollLoop.LoopTimerDoing() || m_pollLoop.msUntilNextDecision() < kRepeatRoomMs)
        return;
    const QString top = m_board.row(0).numTag;
    m_repeat.noteRepeated(now);
    WriteLog(u"알림 반복 "_s + QString::number(m_repeat.repeats()) + u"/"_s +
             QString::number(AlertRepeat::MaxRepeats) + u": "_s + m_board.row(0).table);
    emit bannerHighlighted();
    const Banner banner = m_board.banner();
    m_alertRunning = m_repeatRunning = true;
    // Cut short by a poll coming due, by staff answering, or by the top changing.
    const bool alive = alerts::announce(banner.table, banner.text, false, window, [this, top] {
        const bool pollDue =
            quint32(platform::clock().tick() - m_pollLoop.LastLoopTick()) >= m_pollLoop.LoopInterval();
        return m_shutDown || pollDue || m_repeat.stopped() || m_board.row(0).isEmpty() ||
               m_board.row(0).numTag != top;
    });
    m_alertRunning = m_repeatRunning = false;
    if (!alive && !m_shutDown)
        platform::speaker().stop();
    if (alive && window && !m_shutDown)
        emit blinkingStarted();
}

void MonitorSession::soundTest()
{
    if (m_soundTestRunning || !m_window || m_shutDown)
        return;
    m_soundTestRunning = true;
    alerts::soundTest(m_window, [this] { return m_shutDown; });
    m_soundTestRunning = false;
}

void MonitorSession::shutDown()
{
    m_shutDown = true;
    // After the answer to logout or terminate nothing more is said: a pause
    // under way ends at once, and a text being spoken is cut.
    if (m_alertRunning || m_soundTestRunning)
        platform::speaker().stop();
    m_cycle.shutDown();
    m_executableTimer.stop();
    detach();
}

} // namespace kavri::monitor
