#pragma once

namespace kavri {

/// What a successful login leads to, in this order: the upgrade decision (which
/// may end the process), loading the printer settings and the selected tables,
/// and opening the main window. The upgrade decision and the main window are not
/// built yet; until they are, the program ends when the login window closes.
void continueAfterLogin();

} // namespace kavri
