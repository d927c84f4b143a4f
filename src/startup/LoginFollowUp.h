#pragma once

namespace kavri {

class frmAlarm;
namespace monitor {
class MonitorSession;
}

/// What a successful login leads to, in this order: the upgrade decision (which
/// may end the process), loading the printer settings and the selected tables,
/// and opening the main window. The login window closes after it; from then on
/// the program lives until logout or terminate.
void continueAfterLogin();

/// Shows the main window, making it the first time. It lives until the
/// application's event loop ends.
frmAlarm *openMainWindow();

/// The board, the request cycle and the poll loop: they outlive every showing
/// of the main window.
monitor::MonitorSession &session();

/// The main window once it has been made; nullptr before.
frmAlarm *mainWindow();

} // namespace kavri
