#pragma once

namespace kavri {

class frmAlarm;

/// What a successful login leads to, in this order: the upgrade decision (which
/// may end the process), loading the printer settings and the selected tables,
/// and opening the main window. The login window closes after it; from then on
/// the program lives until logout or terminate.
void continueAfterLogin();

/// Shows the main window, making it the first time. It lives until the
/// application's event loop ends.
frmAlarm *openMainWindow();

/// The main window once it has been made; nullptr before.
frmAlarm *mainWindow();

} // namespace kavri
