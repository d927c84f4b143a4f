#pragma once

#include "board/MainWindow.h"
#include "monitor/MonitorSession.h"

#include <functional>
#include <memory>

namespace kavri::test {

/// A session and its shown window, as the program makes them after the login.
/// The window's end of the process goes to `end` (by default nowhere: a test
/// must never quit the test runner). Reset the window before the session.
inline void openBoard(
    std::unique_ptr<monitor::MonitorSession> &session, std::unique_ptr<frmAlarm> &window,
    std::function<void(int code)> end = [](int) {})
{
    session = std::make_unique<monitor::MonitorSession>();
    window = std::make_unique<frmAlarm>(session->board());
    window->setEndProcess(std::move(end));
    window->setSession(session.get());
    window->show();
}

} // namespace kavri::test
