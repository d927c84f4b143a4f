#include "monitor/MonitorSession.h"

#include "alerts/Alerts.h"
#include "monitor/Expiry.h"
#include "monitor/MainWindow.h"
#include "platform/Audio.h"

namespace kavri::monitor {

MonitorSession::MonitorSession()
    : m_pollLoop([this] { m_cycle.Load_Kavri(false); }, [this] { return m_cycle.isRunning(); })
{
}

MonitorSession::~MonitorSession()
{
    detach();
}

void MonitorSession::attach(frmAlarm *window)
{
    detach();
    if (!window || m_shutDown)
        return;
    Q_ASSERT(&window->board() == &m_board);
    m_window = window;
    RequestCycle::Hooks hooks = window->cycleHooks();
    hooks.newRequestAlert = [this](bool silent) { newRequestAlert(silent); };
    // The pass reads the minutes the window shows in `삭제`.
    hooks.expiryPass = [this] {
        if (m_window && !m_shutDown)
            runExpiryPass(m_window->shownDisplayDelete(), m_board, m_cycle);
    };
    m_confirm.setHooks({hooks.showWait, hooks.hideWait});
    m_cycle.setHooks(std::move(hooks));
    window->setPollLoop(&m_pollLoop);
    window->setRequestCycle(&m_cycle);
    window->setConfirmFlow(&m_confirm);
    m_endingConnection = connect(window, &frmAlarm::endingProcess, this, &MonitorSession::shutDown);
    m_soundTestConnection = connect(window, &frmAlarm::soundTestRequested, this, &MonitorSession::soundTest);
    // A window that goes away unannounced takes its hooks with it.
    m_destroyedConnection = connect(window, &QObject::destroyed, this, [this] {
        m_cycle.setHooks({});
        m_confirm.setHooks({});
        m_window = nullptr;
    });
}

void MonitorSession::detach()
{
    disconnect(m_endingConnection);
    disconnect(m_soundTestConnection);
    disconnect(m_destroyedConnection);
    m_cycle.setHooks({});
    m_confirm.setHooks({});
    if (m_window) {
        m_window->setPollLoop(nullptr);
        m_window->setRequestCycle(nullptr);
        m_window->setConfirmFlow(nullptr);
    }
    m_window = nullptr;
}

void MonitorSession::newRequestAlert(bool silent)
{
    const QPointer<frmAlarm> window = m_window;
    if (!window || m_shutDown)
        return;
    window->highlightBanner();
    // The spoken text is what the banner shows now.
    const Banner banner = m_board.banner();
    m_alertRunning = true;
    const bool alive =
        alerts::announce(banner.table, banner.text, silent, window, [this] { return m_shutDown; });
    m_alertRunning = false;
    if (!alive)
        return; // the window went away, or the process is ending
    if (window && !m_shutDown)
        window->startLoopBlinking();
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
    detach();
}

} // namespace kavri::monitor
